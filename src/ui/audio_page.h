// The "  Audio  " page: input, channels, sample rate converter, delay.
#pragma once

#include <QByteArray>
#include <cstdint>

#include <QWidget>
#include <cstdint>

class QPushButton;

namespace qz7 {

class Deck;
class RadioGroup;

class AudioPage : public QWidget {
    Q_OBJECT
public:
    AudioPage(Deck& deck, QWidget* parent);

    // A settings answer from the recorder (the whole datagram; byte 4 is the
    // first data byte). Codes that are not this page's are ignored.
    void applySettingsAnswer(std::uint8_t code, const QByteArray& datagram);

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
    Deck& deck_;
};

}  // namespace qz7
