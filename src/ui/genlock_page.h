// The "Gen-lock" page: genlock source, fixed standard, PSF mode.
#pragma once

#include <QByteArray>
#include <cstdint>

#include <QWidget>

class QPushButton;

namespace qz7 {

class Deck;
class RadioGroup;

class GenlockPage : public QWidget {
    Q_OBJECT
public:
    GenlockPage(Deck& deck, QWidget* parent);

    // A settings answer from the recorder (the whole datagram; byte 4 is the
    // first data byte). Codes that are not this page's are ignored.
    void applySettingsAnswer(std::uint8_t code, const QByteArray& datagram);

    RadioGroup* RadioGroup7;   // "Genlock source"
    RadioGroup* RadioGroup20;  // "Fixed Standard"
    RadioGroup* RadioGroup21;  // "PSF mode"
    QPushButton* Button12;     // "SET"

public slots:
    void Button12Click();

private:
    Deck& deck_;
};

}  // namespace qz7
