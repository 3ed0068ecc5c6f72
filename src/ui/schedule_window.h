// "Sequence Play": the sequence editor. It edits a working copy of one
// sequence; "SAVE" marks the copy accepted and the Sequence page's "EDIT",
// which showed the window, writes it back to the table and sends it.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "media/media_tables.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace qz7 {

class MediaModel;

class ScheduleWindow : public QDialog {
    Q_OBJECT
public:
    // Clip names for the step lines come from the media model.
    ScheduleWindow(const MediaModel& media, QWidget* parent);

    // Working copy <- steps 0..127 and entry count of a table record. Steps
    // at or past the entry count are empty: only what the step list shows is
    // ever sent.
    void loadWorkingCopy(const SequenceRecord& record);
    // sequenceNumberLabel <- the sequence number, the step list <- the record's steps.
    void showSequence(int sequence, const SequenceRecord& record);
    // Line k of the step list for a step holding `clip` (-1 = empty):
    // "%3d  " of k + 1, then for a clip "%03d  " of it and its name.
    std::string stepLine(int k, int clip) const;

    QLabel* clipsLabel;
    QListWidget* clipList;  // line i = clip i, like the main window's clip list
    QLabel* sequenceCaptionLabel;
    QLabel* sequenceNumberLabel;  // number of the sequence being edited, "%03d"
    QListWidget* stepList;  // line k = step k
    QPushButton* addStepButton;
    QPushButton* deleteStepButton;
    QPushButton* cancelButton;  // "CANCEL"
    QPushButton* saveButton;
    QPushButton* closeButton;
    QLabel* durationCaptionLabel;
    QLabel* durationLabel;  // "00:02:01:00"

    // The sequence being edited; only the entry count and steps 0..127 are used.
    SequenceRecord workingCopy;
    // The number in sequenceNumberLabel: the sequence being edited (throws when it is none).
    int editedSequence() const;

public slots:
    void addStep();
    void deleteStep();
    void revertEdits();
    void save();
    void closeWithoutSaving();

private:
    void redrawStep(int k);

    const MediaModel& media_;
};

}  // namespace qz7
