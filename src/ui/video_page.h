// The "  Video  " page: compression quality, ANC, output phase.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QSpinBox;

namespace qz7 {

class TForm1;
class RadioGroup;

class VideoPage : public QWidget {
    Q_OBJECT
public:
    VideoPage(TForm1& main, QWidget* parent);

    RadioGroup* RadioGroup14;  // "Compression Quality"
    RadioGroup* RadioGroup15;  // "ANC"
    QPushButton* Button11;     // "SET"
    // "Output phase": shown for the operator's reference; nothing sends it,
    // and the arrows are not tied to the fields.
    QLineEdit* Edit17;         // "H phase"
    QSpinBox* UpDown1;         // 1..1920, wraps
    QLineEdit* Edit15;         // "V phase"
    QSpinBox* UpDown2;         // 1..720, wraps

public slots:
    void Button11Click();

private:
    TForm1& main_;
};

}  // namespace qz7
