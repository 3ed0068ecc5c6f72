#include "ui/sequence_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "link/commands.h"
#include "media/media_model.h"
#include "net/recorder_link.h"
#include "ui/forms.h"
#include "ui/handler.h"
#include "ui/schedule_window.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
constexpr int kBlocks = kSequenceSteps / 5;  // blocks 0..25
}  // namespace

SequencePage::SequencePage(RecorderLink& link, MediaModel& media, Forms& forms, QWidget* parent)
    : QWidget(parent), link_(link), media_(media), forms_(forms) {
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

void SequencePage::requestBlocks() {
    for (int i = 0; i < kSequenceCount; ++i) {
        const SequenceRecord& r = media_.sequence(i);
        if (r.entryCount == 0) continue;
        // The count as the recorder reported it, read as a signed byte. No
        // sequence has more than 26 blocks; a larger count would only flood
        // the command stack with requests whose answers are dropped.
        const int blocks = std::min<int>(static_cast<std::int8_t>(r.blockCount), kBlocks);
        for (int j = 0; j < blocks; ++j)
            link_.queue(cmd::sequenceBlockRequest(i, j));
    }
}

// Shows the selected sequence's steps in the "Sequence Play" window.
void SequencePage::ListBox3Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    forms_.form2()->showSequence(s, media_.sequence(s));
}

// EDIT: the selected sequence in the "Sequence Play" window; once saved there,
// into the table and to the recorder.
void SequencePage::BitBtn18Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    TForm2* editor = forms_.form2();
    editor->loadWorkingCopy(media_.sequence(s));
    // Show what is being edited: the window may still hold edits that CLOSE
    // discarded, or the steps from before the block replies came in.
    editor->showSequence(s, editor->workingCopy);
    if (editor->exec() != QDialog::Accepted) return;

    const int m = editor->editedSequence();
    replaceLine(ListBox3, m, sequenceLine(m));
    for (const Packet& p : sequenceTransfer(s, media_.saveSequence(s, editor->workingCopy))) link_.queue(p);
}

// DEL: deletes the sequence on the recorder. The table keeps it until the
// next header reply or "Clear Seq ".
void SequencePage::BitBtn8Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    replaceLine(ListBox3, s, kBlankLine);
    link_.queue(cmd::deleteSequence(s));
}

// OPEN: selects the sequence on the recorder; a blank line opens nothing.
void SequencePage::BitBtn12Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    bool ok = false;
    const int n = ListBox3->item(s)->text().toInt(&ok, 10);
    if (!ok || n < 0 || n >= kSequenceCount) return;
    link_.queue(cmd::openSequence(n));
}

}  // namespace qz7
