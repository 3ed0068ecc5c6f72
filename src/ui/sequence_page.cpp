#include "ui/sequence_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "deck/deck.h"
#include "ui/forms.h"
#include "ui/handler.h"
#include "ui/schedule_window.h"
#include "ui/widgets.h"

namespace qz7 {

SequencePage::SequencePage(Deck& deck, Forms& forms, QWidget* parent)
    : QWidget(parent), deck_(deck), forms_(forms) {
    setObjectName(QStringLiteral("TabSheet9"));
    Label23 = makeLabel(QStringLiteral("Label23"), QStringLiteral("Sequence   List"), this);
    ListBox3 = new QListWidget(this);
    ListBox3->setObjectName(QStringLiteral("ListBox3"));
    for (int s = 0; s < kSequenceCount; ++s) ListBox3->addItem(QString());
    BitBtn18 = makeButton(QStringLiteral("BitBtn18"), QStringLiteral("EDIT"), this);
    BitBtn8 = makeButton(QStringLiteral("BitBtn8"), QStringLiteral("DEL"), this);
    BitBtn12 = makeButton(QStringLiteral("BitBtn12"), QStringLiteral("OPEN"), this);

    auto* list = new QVBoxLayout;
    list->addWidget(Label23);
    list->addWidget(ListBox3);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(BitBtn18);
    buttons->addWidget(BitBtn8);
    buttons->addWidget(BitBtn12);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(list, 1);
    layout->addLayout(buttons);

    // A click on a line, or a selection moved by the keyboard, prepares the editor.
    onSignal(ListBox3, &QListWidget::itemClicked, this, &SequencePage::ListBox3Click);
    onSignal(ListBox3, &QListWidget::currentRowChanged, this, &SequencePage::ListBox3Click);
    onSignal(BitBtn18, &QPushButton::clicked, this, &SequencePage::BitBtn18Click);
    onSignal(BitBtn8, &QPushButton::clicked, this, &SequencePage::BitBtn8Click);
    onSignal(BitBtn12, &QPushButton::clicked, this, &SequencePage::BitBtn12Click);
}

void SequencePage::requestBlocks() { act(deck_.requestSequenceBlocks(Origin::panel())); }

// Shows the selected sequence's steps in the "Sequence Play" window.
void SequencePage::ListBox3Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    forms_.form2()->showSequence(s, deck_.media().sequence(s));
}

// EDIT: the selected sequence in the "Sequence Play" window; once saved there,
// into the table and to the recorder.
void SequencePage::BitBtn18Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    TForm2* editor = forms_.form2();
    editor->loadWorkingCopy(deck_.media().sequence(s));
    // Show what is being edited: the window may still hold edits that CLOSE
    // discarded, or the steps from before the block replies came in.
    editor->showSequence(s, editor->workingCopy);
    if (editor->exec() != QDialog::Accepted) return;
    act(deck_.saveSequence(s, editor->editedSequence(), editor->workingCopy, Origin::panel()));
}

// DEL: deletes the sequence on the recorder. The table keeps it until the
// next header reply or "Clear Seq ".
void SequencePage::BitBtn8Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    act(deck_.deleteSequence(s, Origin::panel()));
}

// OPEN: selects the sequence on the recorder; a blank line opens nothing.
void SequencePage::BitBtn12Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    act(deck_.openSequence(s, Origin::panel()));
}

}  // namespace qz7
