#include "ui/schedule_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "media/media_model.h"
#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

TForm2::TForm2(const MediaModel& media, QWidget* parent) : QDialog(parent), media_(media) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Sequence Play"));

    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("CLIPS"), this);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    for (int i = 0; i < 100; ++i) ListBox1->addItem(QString());

    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("SEQUENCE"), this);
    Label3 = makeLabel(QStringLiteral("Label3"), QStringLiteral("001"), this);
    ListBox2 = new QListWidget(this);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    for (int k = 0; k < kEditableSteps; ++k) ListBox2->addItem(QString::asprintf("%3d", k + 1));

    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("ADD"), this);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("DEL"), this);
    BitBtn18 = makeButton(QStringLiteral("BitBtn18"), QStringLiteral("CANCEL"), this);
    BitBtn19 = makeButton(QStringLiteral("BitBtn19"), QStringLiteral("SAVE"), this);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("CLOSE"), this);
    // Fixed texts of the layout; nothing computes a duration.
    Label4 = makeLabel(QStringLiteral("Label4"), QStringLiteral("Duration"), this);
    Label5 = makeLabel(QStringLiteral("Label5"), QStringLiteral("00:02:01:00"), this);

    auto* clips = new QVBoxLayout;
    clips->addWidget(Label1);
    clips->addWidget(ListBox1);
    auto* title = new QHBoxLayout;
    title->addWidget(Label2);
    title->addWidget(Label3);
    title->addStretch();
    auto* steps = new QVBoxLayout;
    steps->addLayout(title);
    steps->addWidget(ListBox2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch();
    buttons->addWidget(Label4);
    buttons->addWidget(Label5);
    buttons->addStretch();
    buttons->addWidget(BitBtn18);
    buttons->addWidget(BitBtn19);
    buttons->addWidget(Button3);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(clips, 1);
    layout->addLayout(steps, 1);
    layout->addLayout(buttons);

    onSignal(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    onSignal(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    onSignal(BitBtn18, &QPushButton::clicked, this, &TForm2::BitBtn18Click);
    onSignal(BitBtn19, &QPushButton::clicked, this, &TForm2::BitBtn19Click);
    onSignal(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
}

void TForm2::loadWorkingCopy(const SequenceRecord& record) {
    std::copy_n(record.steps.begin(), kEditableSteps, workingCopy.steps.begin());
    // A header reply may claim more steps than the editor holds; the editor
    // never works past its 128 lines.
    workingCopy.entryCount = std::min<std::uint8_t>(record.entryCount, kEditableSteps);
    std::fill(workingCopy.steps.begin() + workingCopy.entryCount, workingCopy.steps.end(), std::int16_t{-1});
}

void TForm2::showSequence(int sequence, const SequenceRecord& record) {
    Label3->setText(QString::fromStdString(sequenceLine(sequence)));
    const bool used = record.entryCount != 0;
    for (int k = 0; k < kEditableSteps; ++k)
        replaceLine(ListBox2, k, stepLine(k, used ? record.steps[static_cast<std::size_t>(k)] : -1));
}

std::string TForm2::stepLine(int k, int clip) const { return qz7::stepLine(k, clip, media_.tables()); }

void TForm2::redrawStep(int k) { replaceLine(ListBox2, k, stepLine(k, workingCopy.steps[static_cast<std::size_t>(k)])); }

int TForm2::editedSequence() const {
    const int m = toInteger(Label3->text());
    if (m < 0 || m >= kSequenceCount)
        throw std::out_of_range("Sequence number out of range (" + std::to_string(m) + ")");
    return m;
}

// ADD: inserts the selected clip before the selected step (or right after the last one).
void TForm2::Button1Click() {
    const int c = selectedLine(ListBox1);
    const int p = selectedLine(ListBox2);
    const int n = workingCopy.entryCount;
    if (p < 0 || p > n || c < 0 || c >= media_.clipCount() || c >= kTableSize) return;
    // A full sequence takes no more: an insertion would push its last step out.
    if (n >= kEditableSteps) return;

    auto& steps = workingCopy.steps;
    // Every step moves, empty or not, so a gap left by a lost block reply stays a gap.
    for (int j = n; j > p; --j) {
        steps[static_cast<std::size_t>(j)] = steps[static_cast<std::size_t>(j - 1)];
        redrawStep(j);
    }
    steps[static_cast<std::size_t>(p)] = static_cast<std::int16_t>(c);
    redrawStep(p);
    workingCopy.entryCount = static_cast<std::uint8_t>(n + 1);
}

// DEL: removes the selected step; the later steps move up one line.
void TForm2::Button2Click() {
    const int p = selectedLine(ListBox2);
    const int n = workingCopy.entryCount;
    if (p < 0 || p >= n) return;

    auto& steps = workingCopy.steps;
    for (int i = p; i < n - 1; ++i) {
        steps[static_cast<std::size_t>(i)] = steps[static_cast<std::size_t>(i + 1)];
        redrawStep(i);
    }
    steps[static_cast<std::size_t>(n - 1)] = -1;
    redrawStep(n - 1);
    workingCopy.entryCount = static_cast<std::uint8_t>(n - 1);
}

// CANCEL: back to the table's copy; the window stays open.
void TForm2::BitBtn18Click() {
    const int m = editedSequence();
    loadWorkingCopy(media_.sequence(m));
    showSequence(m, workingCopy);
}

// SAVE: accept the working copy; "EDIT" writes it to the table and sends it.
void TForm2::BitBtn19Click() {
    editedSequence();  // a window showing no sequence has nothing to save
    accept();
}

// CLOSE: leave without accepting; the edits stay here until the next reload.
void TForm2::Button3Click() { reject(); }

}  // namespace qz7
