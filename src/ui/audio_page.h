// The "  Audio  " page: input, channels, sample rate converter, delay.
#pragma once

#include "ui/settings_sheet.h"

namespace qz7 {

class AudioPage : public SettingsSheet<AudioSettings> {
    Q_OBJECT
public:
    AudioPage(Deck& deck, QWidget* parent);

    RadioGroup* const RadioGroup10;  // "Input"
    RadioGroup* const RadioGroup11;  // "Audio channels"
    RadioGroup* const RadioGroup12;  // "Sample rate converter"
    RadioGroup* const RadioGroup13;  // "Audio delay (frame)"
    QPushButton* const Button8;      // "SET"

public slots:
    void Button8Click();
};

}  // namespace qz7
