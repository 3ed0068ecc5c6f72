// The "  Audio  " page: input, channels, sample rate converter, delay.
#pragma once

#include "ui/settings_sheet.h"

namespace qz7 {

class AudioPage : public SettingsSheet<AudioSettings> {
    Q_OBJECT
public:
    AudioPage(Deck& deck, QWidget* parent);

    RadioGroup* const inputGroup;  // "Input"
    RadioGroup* const channelsGroup;  // "Audio channels"
    RadioGroup* const converterGroup;  // "Sample rate converter"
    RadioGroup* const delayGroup;  // "Audio delay (frame)"
    QPushButton* const setButton;

public slots:
    void sendSettings();
};

}  // namespace qz7
