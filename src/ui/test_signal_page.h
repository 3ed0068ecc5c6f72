// The "Test signal" page: video and audio test signal generator.
#pragma once

#include "ui/settings_sheet.h"

namespace qz7 {

class TestSignalPage : public SettingsSheet<TestSignalSettings> {
    Q_OBJECT
public:
    TestSignalPage(Deck& deck, QWidget* parent);

    RadioGroup* const videoGroup;
    RadioGroup* const audioGroup;
    QPushButton* const setButton;

public slots:
    void sendSettings();
};

}  // namespace qz7
