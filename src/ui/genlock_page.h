// The "Gen-lock" page: genlock source, fixed standard, PSF mode.
#pragma once

#include "ui/settings_sheet.h"

namespace qz7 {

class GenlockPage : public SettingsSheet<GenlockSettings> {
    Q_OBJECT
public:
    GenlockPage(Deck& deck, QWidget* parent);

    RadioGroup* const sourceGroup;
    RadioGroup* const fixedStandardGroup;
    RadioGroup* const psfGroup;
    QPushButton* const setButton;

public slots:
    void sendSettings();
};

}  // namespace qz7
