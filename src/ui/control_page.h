// The "Control" page: record mode, intermittent rate, playback mode,
// preroll time, still mode.
#pragma once

#include "ui/settings_sheet.h"

namespace qz7 {

class ControlPage : public SettingsSheet<ControlSettings> {
    Q_OBJECT
public:
    ControlPage(Deck& deck, QWidget* parent);

    // The "Preroll time" field (prerollEdit) as it shows, read by Cue.
    QString prerollText() const;
    // The same in seconds; a field that does not hold a number fails as any
    // typed number does ("'%s' は整数ではありません").
    int prerollSeconds() const;

    // Largest rate the "Intermittent rate" field can show.
    static constexpr unsigned kMaxRate = 999;

    RadioGroup* const recordModeGroup;
    QLineEdit* const rateEdit;  // "Intermittent rate", frames
    RadioGroup* const playbackModeGroup;
    QLineEdit* const prerollEdit;  // "Preroll time", seconds
    RadioGroup* const stillModeGroup;  // "Stll mode"
    QPushButton* const setButton;

public slots:
    void sendSettings();
    // The operator typed in "Intermittent rate": the field is theirs again.
    void rateEdited();

protected:
    // Besides the groups: the rate and the preroll fields.
    void reported(const ControlSettings& value, SettingsFields fields) override;

private:
    void showRate(unsigned rate);
    void markRateOutOfRange(unsigned rate);
    void clearRateMark();
};

}  // namespace qz7
