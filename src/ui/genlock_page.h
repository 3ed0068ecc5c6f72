// The "Gen-lock" page: genlock source, fixed standard, PSF mode.
#pragma once

#include "ui/settings_sheet.h"

namespace qz7 {

class GenlockPage : public SettingsSheet<GenlockSettings> {
    Q_OBJECT
public:
    GenlockPage(Deck& deck, QWidget* parent);

    RadioGroup* const RadioGroup7;   // "Genlock source"
    RadioGroup* const RadioGroup20;  // "Fixed Standard"
    RadioGroup* const RadioGroup21;  // "PSF mode"
    QPushButton* const Button12;     // "SET"

public slots:
    void Button12Click();
};

}  // namespace qz7
