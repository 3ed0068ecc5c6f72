// The "Timecode" page: time code generator settings, preset and reset.
#pragma once

#include <QWidget>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace qz7 {

class TForm1;
class RadioGroup;

class TimecodePage : public QWidget {
    Q_OBJECT
public:
    TimecodePage(TForm1& main, QWidget* parent);

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
    TForm1& main_;
};

}  // namespace qz7
