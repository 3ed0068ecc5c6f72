// The " Clip" page (TabSheet7): edits one clip at a time. IN and OUT take
// the running timecode; SAVE and DEL act on the number in "Clip No.", not on
// the list's selection, so a clip can be saved under any number.
#pragma once

#include <QWidget>
#include <array>

#include "media/media_tables.h"

class QLineEdit;
class QPushButton;

namespace qz7 {

class Deck;

class ClipPage : public QWidget {
    Q_OBJECT
public:
    // The status panel's timecode is what IN and OUT copy.
    ClipPage(Deck& deck, QWidget* parent);

    // Loads clip k into the fields (the clip list's selection does this).
    void showClip(int k);

    QLineEdit* MaskEdit16;    // "Clip No."
    QLineEdit* LabeledEdit2;  // "Clip name"
    QLineEdit* MaskEdit2;     // start hours
    QLineEdit* MaskEdit3;     // start minutes
    QLineEdit* MaskEdit4;     // start seconds
    QLineEdit* MaskEdit5;     // start frames
    QLineEdit* MaskEdit6;     // stop hours
    QLineEdit* MaskEdit7;     // stop minutes
    QLineEdit* MaskEdit8;     // stop seconds
    QLineEdit* MaskEdit9;     // stop frames
    QPushButton* BitBtn13;    // "IN"
    QPushButton* BitBtn16;    // "OUT"
    QPushButton* BitBtn27;    // "SAVE"
    QPushButton* BitBtn28;    // "DEL"

public slots:
    void BitBtn13Click();
    void BitBtn16Click();
    void BitBtn27Click();
    void BitBtn28Click();

private:
    std::array<QLineEdit*, 4> startFields() const { return {MaskEdit2, MaskEdit3, MaskEdit4, MaskEdit5}; }
    std::array<QLineEdit*, 4> stopFields() const { return {MaskEdit6, MaskEdit7, MaskEdit8, MaskEdit9}; }
    // The clip number SAVE and DEL act on; throws outside the clip table.
    int clipNumber() const;
    void copyTimecodeInto(const std::array<QLineEdit*, 4>& fields);

    Deck& deck_;
};

}  // namespace qz7
