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
    sequenceListLabel = makeLabel(QStringLiteral("Label23"), QStringLiteral("Sequence   List"), this);
    sequenceList = new QListWidget(this);
    sequenceList->setObjectName(QStringLiteral("ListBox3"));
    for (int s = 0; s < kSequenceCount; ++s) sequenceList->addItem(QString());
    editSequenceButton = makeButton(QStringLiteral("BitBtn18"), QStringLiteral("EDIT"), this);
    deleteSequenceButton = makeButton(QStringLiteral("BitBtn8"), QStringLiteral("DEL"), this);
    openSequenceButton = makeButton(QStringLiteral("BitBtn12"), QStringLiteral("OPEN"), this);

    auto* list = new QVBoxLayout;
    list->addWidget(sequenceListLabel);
    list->addWidget(sequenceList);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(editSequenceButton);
    buttons->addWidget(deleteSequenceButton);
    buttons->addWidget(openSequenceButton);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(list, 1);
    layout->addLayout(buttons);

    // A click on a line, or a selection moved by the keyboard, prepares the editor.
    onSignal(sequenceList, &QListWidget::itemClicked, this, &SequencePage::showSelectedSequence);
    onSignal(sequenceList, &QListWidget::currentRowChanged, this, &SequencePage::showSelectedSequence);
    onSignal(editSequenceButton, &QPushButton::clicked, this, &SequencePage::editSequence);
    onSignal(deleteSequenceButton, &QPushButton::clicked, this, &SequencePage::deleteSequence);
    onSignal(openSequenceButton, &QPushButton::clicked, this, &SequencePage::openSequence);
}

void SequencePage::requestBlocks() { act(deck_.requestSequenceBlocks(Origin::panel())); }

// Shows the selected sequence's steps in the "Sequence Play" window.
void SequencePage::showSelectedSequence() {
    const int s = selectedLine(sequenceList);
    if (s < 0) return;
    forms_.scheduleWindow()->showSequence(s, deck_.media().sequence(s));
}

// EDIT: the selected sequence in the "Sequence Play" window; once saved there,
// into the table and to the recorder.
void SequencePage::editSequence() {
    const int s = selectedLine(sequenceList);
    if (s < 0) return;
    ScheduleWindow* editor = forms_.scheduleWindow();
    editor->loadWorkingCopy(deck_.media().sequence(s));
    // Show what is being edited: the window may still hold edits that CLOSE
    // discarded, or the steps from before the block replies came in.
    editor->showSequence(s, editor->workingCopy);
    if (editor->exec() != QDialog::Accepted) return;
    act(deck_.saveSequence(s, editor->editedSequence(), editor->workingCopy, Origin::panel()));
}

// DEL: deletes the sequence on the recorder. The table keeps it until the
// next header reply or "Clear Seq ".
void SequencePage::deleteSequence() {
    const int s = selectedLine(sequenceList);
    if (s < 0) return;
    act(deck_.deleteSequence(s, Origin::panel()));
}

// OPEN: selects the sequence on the recorder; a blank line opens nothing.
void SequencePage::openSequence() {
    const int s = selectedLine(sequenceList);
    if (s < 0) return;
    act(deck_.openSequence(s, Origin::panel()));
}

}  // namespace qz7
