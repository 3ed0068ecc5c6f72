// The "  CUE MARK/SEARCH  " group (objectName "GroupBox5"): the cue list with Mrk, Cue,
// Srh, CLR, SEL and the typed position field. Cue and Srh go to the
// selected cue, or in typed-position mode to the typed position; Cue stops
// short by the preroll time so the recorder can run up.
#pragma once

#include <QGroupBox>
#include <cstdint>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace qz7 {

class ControlPage;
class Forms;
class Deck;

class CueGroup : public QGroupBox {
    Q_OBJECT
public:
    // Mrk copies the status panel's timecode; a typed Cue counts off the Control
    // page's preroll; "CUE Edit" is the forms' dialog.
    CueGroup(Deck& deck, const ControlPage& control, Forms& forms, QWidget* parent);

    // 1 = Cue and Srh use the typed position field instead of the list.
    int typedPositionMode = 0;

    QPushButton* markButton;
    QPushButton* cueButton;
    QPushButton* searchButton;
    QListWidget* cueList;
    QLineEdit* typedPositionEdit;  // typed position hh:mm:ss:ff
    QPushButton* clearCueButton;
    QPushButton* typedModeButton;  // "SEL"

public slots:
    void markCue();
    void cue();
    void search();
    void deleteSelectedCue();
    void toggleTypedPosition();
    void editSelectedCue();

private:
    // Go to the selected cue (list mode); the flag tells Cue (1) from Srh (0).
    void goToSelectedCue(std::uint8_t flag);

    Deck& deck_;
    const ControlPage& control_;
    Forms& forms_;
};

}  // namespace qz7
