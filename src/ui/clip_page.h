// The " Clip" page (objectName "TabSheet7"): edits one clip at a time. IN and OUT take
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

    QLineEdit* clipNumberEdit;
    QLineEdit* clipNameEdit;
    QLineEdit* startHoursEdit;
    QLineEdit* startMinutesEdit;
    QLineEdit* startSecondsEdit;
    QLineEdit* startFramesEdit;
    QLineEdit* stopHoursEdit;
    QLineEdit* stopMinutesEdit;
    QLineEdit* stopSecondsEdit;
    QLineEdit* stopFramesEdit;
    QPushButton* inButton;
    QPushButton* outButton;
    QPushButton* saveClipButton;
    QPushButton* deleteClipButton;

public slots:
    void markIn();
    void markOut();
    void saveClip();
    void deleteClip();

private:
    std::array<QLineEdit*, 4> startFields() const { return {startHoursEdit, startMinutesEdit, startSecondsEdit, startFramesEdit}; }
    std::array<QLineEdit*, 4> stopFields() const { return {stopHoursEdit, stopMinutesEdit, stopSecondsEdit, stopFramesEdit}; }
    // The clip number SAVE and DEL act on; throws outside the clip table.
    int clipNumber() const;
    void copyTimecodeInto(const std::array<QLineEdit*, 4>& fields);

    Deck& deck_;
};

}  // namespace qz7
