// The "  Video  " page: compression quality, ANC, output phase.
#pragma once

#include "ui/settings_sheet.h"

class QSpinBox;

namespace qz7 {

class VideoPage : public SettingsSheet<VideoSettings> {
    Q_OBJECT
public:
    VideoPage(Deck& deck, QWidget* parent);

    RadioGroup* const qualityGroup;
    RadioGroup* const ancGroup;
    QPushButton* const setButton;
    // "Output phase": shown for the operator's reference; nothing sends it,
    // and the arrows are not tied to the fields.
    QLineEdit* const hPhaseEdit;
    QSpinBox* const hPhaseArrows;  // 1..1920, wraps
    QLineEdit* const vPhaseEdit;
    QSpinBox* const vPhaseArrows;  // 1..720, wraps

public slots:
    void sendSettings();
};

}  // namespace qz7
