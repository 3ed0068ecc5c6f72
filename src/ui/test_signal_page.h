// The "Test signal" page: video and audio test signal generator.
#pragma once

#include "ui/settings_sheet.h"

namespace qz7 {

class TestSignalPage : public SettingsSheet<TestSignalSettings> {
    Q_OBJECT
public:
    TestSignalPage(Deck& deck, QWidget* parent);

    RadioGroup* const RadioGroup8;  // "Video"
    RadioGroup* const RadioGroup9;  // "Audio"
    QPushButton* const Button10;    // "SET"

public slots:
    void Button10Click();
};

}  // namespace qz7
