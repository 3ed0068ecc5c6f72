// The "Sequence" page (TabSheet9): the list of the recorder's 16 sequences,
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
    // "Sequence Play" is the forms' TForm2.
    SequencePage(Deck& deck, Forms& forms, QWidget* parent);

    // Entering the page asks for the blocks of every sequence in use.
    void requestBlocks();

    QLabel* Label23;        // "Sequence   List"
    QListWidget* ListBox3;  // line s = sequence s: "%03d" when it exists
    QPushButton* BitBtn18;  // "EDIT"
    QPushButton* BitBtn8;   // "DEL"
    QPushButton* BitBtn12;  // "OPEN"

public slots:
    void ListBox3Click();
    void BitBtn18Click();  // EDIT
    void BitBtn8Click();   // DEL
    void BitBtn12Click();  // OPEN

private:
    Deck& deck_;
    Forms& forms_;
};

}  // namespace qz7
