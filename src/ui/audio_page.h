// The "  Audio  " page: input, channels, sample rate converter, delay.
#pragma once

#include <QWidget>
#include <cstdint>

class QPushButton;

namespace qz7 {

class TForm1;
class RadioGroup;

class AudioPage : public QWidget {
    Q_OBJECT
public:
    AudioPage(TForm1& main, QWidget* parent);

    // The audio bits of a status reply (byte 23), applied once after the page was entered.
    void applyStatusAudioBits(std::uint8_t byte23);

    RadioGroup* RadioGroup10;  // "Input"
    RadioGroup* RadioGroup11;  // "Audio channels"
    RadioGroup* RadioGroup12;  // "Sample rate converter"
    RadioGroup* RadioGroup13;  // "Audio delay (frame)"
    QPushButton* Button8;      // "SET"

public slots:
    void Button8Click();

private:
    TForm1& main_;
};

}  // namespace qz7
