// The "  Audio  " page: input, channels, sample rate converter, delay.
#pragma once

#include <QWidget>
#include <cstdint>

namespace qz7 {

class TForm1;

class AudioPage : public QWidget {
    Q_OBJECT
public:
    AudioPage(TForm1& main, QWidget* parent);

    // The audio bits of a status reply (byte 23), applied once after the page was entered.
    void applyStatusAudioBits(std::uint8_t byte23);

private:
    TForm1& main_;
};

}  // namespace qz7
