// The "Control" page: record mode, intermittent rate, playback mode,
// preroll time, still mode.
#pragma once

#include <QWidget>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace qz7 {

class TForm1;
class RadioGroup;

class ControlPage : public QWidget {
    Q_OBJECT
public:
    ControlPage(TForm1& main, QWidget* parent);

    // The "Preroll time" field (MaskEdit10) as it shows, read by Cue.
    QString prerollText() const;
    // The recorder's preroll seconds (BCD, top bit a flag) into the field.
    void applyPrerollAnswer(std::uint8_t secondsByte);
    // The record mode answer: mode bits and the intermittent rate.
    void applyRecordModeAnswer(std::uint8_t modeBits, unsigned rate);

    // Largest rate the "Intermittent rate" field can show.
    static constexpr unsigned kMaxRate = 999;

    RadioGroup* RadioGroup3;   // "Record mode"
    QLineEdit* MaskEdit11;     // "Intermittent rate", frames
    RadioGroup* RadioGroup17;  // "Playback mode"
    QLineEdit* MaskEdit10;     // "Preroll time", seconds
    RadioGroup* RadioGroup22;  // "Stll mode"
    QPushButton* Button16;     // "SET"

public slots:
    void Button16Click();

private:
    TForm1& main_;
};

}  // namespace qz7
