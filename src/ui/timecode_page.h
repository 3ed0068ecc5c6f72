// The "Timecode" page: time code generator settings, preset and reset.
#pragma once

#include <QByteArray>
#include <cstdint>

#include <QWidget>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace qz7 {

class Deck;
class RadioGroup;

class TimecodePage : public QWidget {
    Q_OBJECT
public:
    TimecodePage(Deck& deck, QWidget* parent);

    // A settings answer from the recorder (the whole datagram; byte 4 is the
    // first data byte). Codes that are not this page's are ignored.
    void applySettingsAnswer(std::uint8_t code, const QByteArray& datagram);

    // Bit 0 drop frame, bit 1 external user bit, bits 2-4 generator source.
    std::uint8_t settingsByte() const;

    RadioGroup* RadioGroup4;  // "TCG Source"
    RadioGroup* RadioGroup5;  // "TC Count"
    RadioGroup* RadioGroup6;  // "User bit"
    QPushButton* Button3;     // "SET"
    // "TIME CODE SET": hours, minutes, seconds, frames, left to right.
    QLineEdit* MaskEdit12;
    QLineEdit* MaskEdit13;
    QLineEdit* MaskEdit14;
    QLineEdit* MaskEdit15;
    QPushButton* Button4;     // "PRESET"
    QPushButton* Button5;     // "RESET"

public slots:
    void Button3Click();
    void Button4Click();
    void Button5Click();

private:
    Deck& deck_;
};

}  // namespace qz7
