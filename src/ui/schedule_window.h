// TForm2, "Sequence Play": the sequence editor. It edits a working copy of one
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

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // Clip names for the step lines come from the media model.
    TForm2(const MediaModel& media, QWidget* parent);

    // Working copy <- steps 0..127 and entry count of a table record. Steps
    // at or past the entry count are empty: only what the step list shows is
    // ever sent.
    void loadWorkingCopy(const SequenceRecord& record);
    // Label3 <- the sequence number, the step list <- the record's steps.
    void showSequence(int sequence, const SequenceRecord& record);
    // Line k of the step list for a step holding `clip` (-1 = empty):
    // "%3d  " of k + 1, then for a clip "%03d  " of it and its name.
    std::string stepLine(int k, int clip) const;

    QLabel* Label1;         // "CLIPS"
    QListWidget* ListBox1;  // line i = clip i, like the main window's clip list
    QLabel* Label2;         // "SEQUENCE"
    QLabel* Label3;         // number of the sequence being edited, "%03d"
    QListWidget* ListBox2;  // line k = step k
    QPushButton* Button1;   // "ADD"
    QPushButton* Button2;   // "DEL"
    QPushButton* BitBtn18;  // "CANCEL"
    QPushButton* BitBtn19;  // "SAVE"
    QPushButton* Button3;   // "CLOSE"
    QLabel* Label4;         // "Duration"
    QLabel* Label5;         // "00:02:01:00"

    // The sequence being edited; only the entry count and steps 0..127 are used.
    SequenceRecord workingCopy;
    // The number in Label3: the sequence being edited (throws when it is none).
    int editedSequence() const;

public slots:
    void Button1Click();   // ADD
    void Button2Click();   // DEL
    void BitBtn18Click();  // CANCEL
    void BitBtn19Click();  // SAVE
    void Button3Click();   // CLOSE

private:
    void redrawStep(int k);

    const MediaModel& media_;
};

}  // namespace qz7
