// The "Control" page: record mode, intermittent rate, playback mode,
// preroll time, still mode.
#pragma once

#include <QByteArray>
#include <cstdint>

#include <QWidget>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace qz7 {

class Deck;
class RadioGroup;

class ControlPage : public QWidget {
    Q_OBJECT
public:
    ControlPage(Deck& deck, QWidget* parent);

    // A settings answer from the recorder (the whole datagram; byte 4 is the
    // first data byte). Codes that are not this page's are ignored.
    void applySettingsAnswer(std::uint8_t code, const QByteArray& datagram);

    // The "Preroll time" field (MaskEdit10) as it shows, read by Cue.
    QString prerollText() const;
    // The recorder's preroll seconds (BCD, top bit a flag) into the field.
    void applyPrerollAnswer(std::uint8_t secondsByte);
    // The record mode answer: mode bits and the intermittent rate. A rate the
    // field cannot hold leaves the field as it was and marks it (red frame,
    // the reported rate in its tooltip) until an answer it can hold comes or
    // the operator edits the field.
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
    // The operator typed in "Intermittent rate": the field is theirs again.
    void MaskEdit11Edited();

private:
    void markRateOutOfRange(unsigned rate);
    void clearRateMark();

    Deck& deck_;
};

}  // namespace qz7
