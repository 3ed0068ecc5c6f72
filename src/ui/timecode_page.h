// The "Timecode" page: time code generator settings, preset and reset.
#pragma once

#include "ui/settings_sheet.h"

namespace qz7 {

class TimecodePage : public SettingsSheet<TimecodeSettings> {
    Q_OBJECT
public:
    TimecodePage(Deck& deck, QWidget* parent);

    RadioGroup* const RadioGroup4;  // "TCG Source"
    RadioGroup* const RadioGroup5;  // "TC Count"
    RadioGroup* const RadioGroup6;  // "User bit"
    QPushButton* const Button3;     // "SET"
    // "TIME CODE SET": hours, minutes, seconds, frames, left to right.
    QLineEdit* const MaskEdit12;
    QLineEdit* const MaskEdit13;
    QLineEdit* const MaskEdit14;
    QLineEdit* const MaskEdit15;
    QPushButton* const Button4;     // "PRESET"
    QPushButton* const Button5;     // "RESET"

public slots:
    void Button3Click();
    void Button4Click();
    void Button5Click();
};

}  // namespace qz7
