// The "  Video  " page: compression quality, ANC, output phase.
#pragma once

#include "ui/settings_sheet.h"

class QSpinBox;

namespace qz7 {

class VideoPage : public SettingsSheet<VideoSettings> {
    Q_OBJECT
public:
    VideoPage(Deck& deck, QWidget* parent);

    RadioGroup* const RadioGroup14;  // "Compression Quality"
    RadioGroup* const RadioGroup15;  // "ANC"
    QPushButton* const Button11;     // "SET"
    // "Output phase": shown for the operator's reference; nothing sends it,
    // and the arrows are not tied to the fields.
    QLineEdit* const Edit17;         // "H phase"
    QSpinBox* const UpDown1;         // 1..1920, wraps
    QLineEdit* const Edit15;         // "V phase"
    QSpinBox* const UpDown2;         // 1..720, wraps

public slots:
    void Button11Click();
};

}  // namespace qz7
