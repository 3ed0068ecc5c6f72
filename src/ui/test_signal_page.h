// The "Test signal" page: video and audio test signal generator.
#pragma once

#include <QByteArray>
#include <cstdint>

#include <QWidget>

class QPushButton;

namespace qz7 {

class Deck;
class RadioGroup;

class TestSignalPage : public QWidget {
    Q_OBJECT
public:
    TestSignalPage(Deck& deck, QWidget* parent);

    // A settings answer from the recorder (the whole datagram; byte 4 is the
    // first data byte). Codes that are not this page's are ignored.
    void applySettingsAnswer(std::uint8_t code, const QByteArray& datagram);

    RadioGroup* RadioGroup8;  // "Video"
    RadioGroup* RadioGroup9;  // "Audio"
    QPushButton* Button10;    // "SET"

public slots:
    void Button10Click();

private:
    Deck& deck_;
};

}  // namespace qz7
