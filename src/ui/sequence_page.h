// The "Sequence" page (objectName "TabSheet9"): the list of the recorder's 16 sequences,
// with EDIT (in the "Sequence Play" window), DEL and OPEN.
#pragma once

#include <QWidget>
#include <vector>

#include "link/protocol.h"
#include "media/media_tables.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace qz7 {

class Forms;
class Deck;

class SequencePage : public QWidget {
    Q_OBJECT
public:
    // "Sequence Play" is the forms' schedule window.
    SequencePage(Deck& deck, Forms& forms, QWidget* parent);

    // Entering the page asks for the blocks of every sequence in use.
    void requestBlocks();

    QLabel* sequenceListLabel;
    QListWidget* sequenceList;  // line s = sequence s: "%03d" when it exists
    QPushButton* editSequenceButton;
    QPushButton* deleteSequenceButton;
    QPushButton* openSequenceButton;

public slots:
    void showSelectedSequence();
    void editSequence();
    void deleteSequence();
    void openSequence();

private:
    Deck& deck_;
    Forms& forms_;
};

}  // namespace qz7
