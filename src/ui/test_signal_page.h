// The "Test signal" page: video and audio test signal generator.
#pragma once

#include <QWidget>

class QPushButton;

namespace qz7 {

class TForm1;
class RadioGroup;

class TestSignalPage : public QWidget {
    Q_OBJECT
public:
    TestSignalPage(TForm1& main, QWidget* parent);

    RadioGroup* RadioGroup8;  // "Video"
    RadioGroup* RadioGroup9;  // "Audio"
    QPushButton* Button10;    // "SET"

public slots:
    void Button10Click();

private:
    TForm1& main_;
};

}  // namespace qz7
