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

class TForm1;

// The packets that send sequence s to the recorder, in queue order: the end
// packet first, then blocks B-1 down to 1, then block 0, so that the recorder,
// served last in first out, receives block 0 first and the end packet last.
// Empty when the sequence has no steps.
std::vector<Packet> sequenceTransfer(int s, const SequenceRecord& record);

class SequencePage : public QWidget {
    Q_OBJECT
public:
    SequencePage(TForm1& main, QWidget* parent);

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
    TForm1& main_;
};

}  // namespace qz7
