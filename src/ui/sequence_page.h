// The "Sequence" page (TabSheet9): the list of the recorder's 16 sequences.
#pragma once

#include <QWidget>

class QListWidget;

namespace qz7 {

class TForm1;

class SequencePage : public QWidget {
    Q_OBJECT
public:
    SequencePage(TForm1& main, QWidget* parent);

    // Entering the page asks for the blocks of every sequence in use.
    void requestBlocks();

    QListWidget* ListBox3;  // line s = sequence s

private:
    TForm1& main_;
};

}  // namespace qz7
