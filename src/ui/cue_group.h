// The "  CUE MARK/SEARCH  " group (GroupBox5): the cue list with Mrk, Cue,
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
    // page's preroll; "CUE Edit" is the forms' TForm6.
    CueGroup(Deck& deck, const ControlPage& control, Forms& forms, QWidget* parent);

    // 1 = Cue and Srh use the typed position field instead of the list.
    int typedPositionMode = 0;

    QPushButton* BitBtn20;  // Mrk
    QPushButton* BitBtn22;  // Cue
    QPushButton* BitBtn21;  // Srh
    QListWidget* ListBox4;  // line k = cue k
    QLineEdit* MaskEdit1;   // typed position hh:mm:ss:ff
    QPushButton* BitBtn14;  // "CLR"
    QPushButton* BitBtn17;  // "SEL"

public slots:
    void BitBtn20Click();  // Mrk
    void BitBtn22Click();  // Cue
    void BitBtn21Click();  // Srh
    void BitBtn14Click();  // CLR
    void BitBtn17Click();  // SEL
    void ListBox4DblClick();

private:
    // Go to the selected cue (list mode); the flag tells Cue (1) from Srh (0).
    void goToSelectedCue(std::uint8_t flag);

    Deck& deck_;
    const ControlPage& control_;
    Forms& forms_;
};

}  // namespace qz7
