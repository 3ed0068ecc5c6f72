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

ScheduleWindow::ScheduleWindow(const MediaModel& media, QWidget* parent) : QDialog(parent), media_(media) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Sequence Play"));

    clipsLabel = makeLabel(QStringLiteral("Label1"), QStringLiteral("CLIPS"), this);
    clipList = new QListWidget(this);
    clipList->setObjectName(QStringLiteral("ListBox1"));
    for (int i = 0; i < 100; ++i) clipList->addItem(QString());

    sequenceCaptionLabel = makeLabel(QStringLiteral("Label2"), QStringLiteral("SEQUENCE"), this);
    sequenceNumberLabel = makeLabel(QStringLiteral("Label3"), QStringLiteral("001"), this);
    stepList = new QListWidget(this);
    stepList->setObjectName(QStringLiteral("ListBox2"));
    for (int k = 0; k < kEditableSteps; ++k) stepList->addItem(QString::asprintf("%3d", k + 1));

    addStepButton = makeButton(QStringLiteral("Button1"), QStringLiteral("ADD"), this);
    deleteStepButton = makeButton(QStringLiteral("Button2"), QStringLiteral("DEL"), this);
    cancelButton = makeButton(QStringLiteral("BitBtn18"), QStringLiteral("CANCEL"), this);
    saveButton = makeButton(QStringLiteral("BitBtn19"), QStringLiteral("SAVE"), this);
    closeButton = makeButton(QStringLiteral("Button3"), QStringLiteral("CLOSE"), this);
    // Fixed texts of the layout; nothing computes a duration.
    durationCaptionLabel = makeLabel(QStringLiteral("Label4"), QStringLiteral("Duration"), this);
    durationLabel = makeLabel(QStringLiteral("Label5"), QStringLiteral("00:02:01:00"), this);

    auto* clips = new QVBoxLayout;
    clips->addWidget(clipsLabel);
    clips->addWidget(clipList);
    auto* title = new QHBoxLayout;
    title->addWidget(sequenceCaptionLabel);
    title->addWidget(sequenceNumberLabel);
    title->addStretch();
    auto* steps = new QVBoxLayout;
    steps->addLayout(title);
    steps->addWidget(stepList);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(addStepButton);
    buttons->addWidget(deleteStepButton);
    buttons->addStretch();
    buttons->addWidget(durationCaptionLabel);
    buttons->addWidget(durationLabel);
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(clips, 1);
    layout->addLayout(steps, 1);
    layout->addLayout(buttons);

    onSignal(addStepButton, &QPushButton::clicked, this, &ScheduleWindow::addStep);
    onSignal(deleteStepButton, &QPushButton::clicked, this, &ScheduleWindow::deleteStep);
    onSignal(cancelButton, &QPushButton::clicked, this, &ScheduleWindow::revertEdits);
    onSignal(saveButton, &QPushButton::clicked, this, &ScheduleWindow::save);
    onSignal(closeButton, &QPushButton::clicked, this, &ScheduleWindow::closeWithoutSaving);
}

void ScheduleWindow::loadWorkingCopy(const SequenceRecord& record) {
    std::copy_n(record.steps.begin(), kEditableSteps, workingCopy.steps.begin());
    // A header reply may claim more steps than the editor holds; the editor
    // never works past its 128 lines.
    workingCopy.entryCount = std::min<std::uint8_t>(record.entryCount, kEditableSteps);
    std::fill(workingCopy.steps.begin() + workingCopy.entryCount, workingCopy.steps.end(), std::int16_t{-1});
}

void ScheduleWindow::showSequence(int sequence, const SequenceRecord& record) {
    sequenceNumberLabel->setText(QString::fromStdString(sequenceLine(sequence)));
    const bool used = record.entryCount != 0;
    for (int k = 0; k < kEditableSteps; ++k)
        replaceLine(stepList, k, stepLine(k, used ? record.steps[static_cast<std::size_t>(k)] : -1));
}

std::string ScheduleWindow::stepLine(int k, int clip) const { return qz7::stepLine(k, clip, media_.tables()); }

void ScheduleWindow::redrawStep(int k) { replaceLine(stepList, k, stepLine(k, workingCopy.steps[static_cast<std::size_t>(k)])); }

int ScheduleWindow::editedSequence() const {
    const int m = toInteger(sequenceNumberLabel->text());
    if (m < 0 || m >= kSequenceCount)
        throw std::out_of_range("Sequence number out of range (" + std::to_string(m) + ")");
    return m;
}

// ADD: inserts the selected clip before the selected step (or right after the last one).
void ScheduleWindow::addStep() {
    const int c = selectedLine(clipList);
    const int p = selectedLine(stepList);
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
void ScheduleWindow::deleteStep() {
    const int p = selectedLine(stepList);
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
void ScheduleWindow::revertEdits() {
    const int m = editedSequence();
    loadWorkingCopy(media_.sequence(m));
    showSequence(m, workingCopy);
}

// SAVE: accept the working copy; "EDIT" writes it to the table and sends it.
void ScheduleWindow::save() {
    editedSequence();  // a window showing no sequence has nothing to save
    accept();
}

// CLOSE: leave without accepting; the edits stay here until the next reload.
void ScheduleWindow::closeWithoutSaving() { reject(); }

}  // namespace qz7
