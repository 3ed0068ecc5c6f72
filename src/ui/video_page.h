// The "  Video  " page: compression quality, ANC, output phase.
#pragma once

#include <QByteArray>
#include <cstdint>

#include <QWidget>

class QLineEdit;
class QPushButton;
class QSpinBox;

namespace qz7 {

class Deck;
class RadioGroup;

class VideoPage : public QWidget {
    Q_OBJECT
public:
    VideoPage(Deck& deck, QWidget* parent);

    // A settings answer from the recorder (the whole datagram; byte 4 is the
    // first data byte). Codes that are not this page's are ignored.
    void applySettingsAnswer(std::uint8_t code, const QByteArray& datagram);

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
    Deck& deck_;
};

}  // namespace qz7
