#include "ui/sequence_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/forms.h"
#include "ui/main_window.h"
#include "ui/schedule_window.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
constexpr int kStepsPerBlock = 5;
constexpr int kBlocks = kSequenceSteps / kStepsPerBlock;  // blocks 0..25

enum TransferMarker : std::uint8_t { FirstBlock = 0x00, NextBlock = 0x01, EndOfTransfer = 0x02 };

void addSteps(Packet& p, const SequenceRecord& r, int block) {
    for (int i = 0; i < kStepsPerBlock; ++i)
        p.add16(static_cast<std::uint16_t>(r.steps[static_cast<std::size_t>(block * kStepsPerBlock + i)]));
}
}  // namespace

std::vector<Packet> sequenceTransfer(int s, const SequenceRecord& record) {
    std::vector<Packet> packets;
    if (record.entryCount == 0) return packets;
    const auto seq = static_cast<std::uint8_t>(s);
    const int blocks = std::min<int>(record.blockCount, kBlocks);

    Packet end = Packet::frame(Group::Operate, Op::SequenceTransfer, {EndOfTransfer, seq});
    for (int i = 0; i < 11; ++i) end.add(0x00);
    packets.push_back(end.finish());
    for (int j = blocks - 1; j >= 1; --j) {
        Packet p = Packet::frame(Group::Operate, Op::SequenceTransfer, {NextBlock, seq, static_cast<std::uint8_t>(j)});
        addSteps(p, record, j);
        packets.push_back(p.finish());
    }
    Packet first = Packet::frame(Group::Operate, Op::SequenceTransfer, {FirstBlock, seq, 0x00});
    addSteps(first, record, 0);
    packets.push_back(first.finish());
    return packets;
}

SequencePage::SequencePage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
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
    connect(ListBox3, &QListWidget::itemClicked, this, &SequencePage::ListBox3Click);
    connect(ListBox3, &QListWidget::currentRowChanged, this, &SequencePage::ListBox3Click);
    connect(BitBtn18, &QPushButton::clicked, this, &SequencePage::BitBtn18Click);
    connect(BitBtn8, &QPushButton::clicked, this, &SequencePage::BitBtn8Click);
    connect(BitBtn12, &QPushButton::clicked, this, &SequencePage::BitBtn12Click);
}

void SequencePage::requestBlocks() {
    const auto& sequences = main_.tables().sequences;
    for (int i = 0; i < kSequenceCount; ++i) {
        const SequenceRecord& r = sequences[static_cast<std::size_t>(i)];
        if (r.entryCount == 0) continue;
        // The count as the recorder reported it, read as a signed byte. No
        // sequence has more than 26 blocks; a larger count would only flood
        // the command stack with requests whose answers are dropped.
        const int blocks = std::min<int>(static_cast<std::int8_t>(r.blockCount), kBlocks);
        for (int j = 0; j < blocks; ++j)
            main_.queue(Packet::frame(Group::Sense, Sense::SequenceBlock,
                                      {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(j)}));
    }
}

// Shows the selected sequence's steps in the "Sequence Play" window.
void SequencePage::ListBox3Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    main_.forms().form2()->showSequence(s, main_.tables().sequences[static_cast<std::size_t>(s)]);
}

// EDIT: the selected sequence in the "Sequence Play" window; once saved there,
// into the table and to the recorder.
void SequencePage::BitBtn18Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    SequenceRecord& record = main_.tables().sequences[static_cast<std::size_t>(s)];
    TForm2* editor = main_.forms().form2();
    editor->loadWorkingCopy(record);
    // Show what is being edited: the window may still hold edits that CLOSE
    // discarded, or the steps from before the block replies came in.
    editor->showSequence(s, editor->workingCopy);
    editor->sequenceSaved = 0;
    editor->exec();
    if (editor->sequenceSaved == 0) return;

    std::copy_n(editor->workingCopy.steps.begin(), kEditableSteps, record.steps.begin());
    record.entryCount = editor->workingCopy.entryCount;
    record.blockCount = static_cast<std::uint8_t>(record.entryCount / kStepsPerBlock + 1);
    for (const Packet& p : sequenceTransfer(s, record)) main_.queue(p);
    editor->sequenceSaved = 0;
}

// DEL: deletes the sequence on the recorder. The table keeps it until the
// next header reply or "Clear Seq ".
void SequencePage::BitBtn8Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    replaceLine(ListBox3, s, kBlankLine);
    main_.queue(Packet::frame(Group::Operate, Op::DeleteSequence, {0x07, static_cast<std::uint8_t>(s), 0x00, 0x00, 0x00}));
}

// OPEN: selects the sequence on the recorder; a blank line opens nothing.
void SequencePage::BitBtn12Click() {
    const int s = selectedLine(ListBox3);
    if (s < 0) return;
    bool ok = false;
    const int n = ListBox3->item(s)->text().toInt(&ok, 10);
    if (!ok || n < 0 || n >= kSequenceCount) return;
    main_.queue(Packet::frame(Group::Operate, Op::OpenSequence, {static_cast<std::uint8_t>(n)}));
}

}  // namespace qz7
