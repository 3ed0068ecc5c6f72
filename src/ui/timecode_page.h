// The "Timecode" page: time code generator settings, preset and reset.
#pragma once

#include "ui/settings_sheet.h"

namespace qz7 {

class TimecodePage : public SettingsSheet<TimecodeSettings> {
    Q_OBJECT
public:
    TimecodePage(Deck& deck, QWidget* parent);

    RadioGroup* const sourceGroup;  // "TCG Source"
    RadioGroup* const countGroup;  // "TC Count"
    RadioGroup* const userBitGroup;
    QPushButton* const setButton;
    // "TIME CODE SET": hours, minutes, seconds, frames, left to right.
    QLineEdit* const presetHoursEdit;
    QLineEdit* const presetMinutesEdit;
    QLineEdit* const presetSecondsEdit;
    QLineEdit* const presetFramesEdit;
    QPushButton* const presetButton;
    QPushButton* const resetButton;

public slots:
    void sendSettings();
    void presetTimecode();
    void resetTimecode();
};

}  // namespace qz7
