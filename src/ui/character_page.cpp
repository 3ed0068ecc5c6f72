#include "ui/character_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "deck/deck_settings.h"
#include "ui/handler.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
QCheckBox* makeCheckBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(true);
    return box;
}
}  // namespace

CharacterPage::CharacterPage(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("TabSheet8"));

    auto* display = new QGroupBox(QStringLiteral("Character display"), this);
    display->setObjectName(QStringLiteral("GroupBox1"));
    diskModeBox = makeCheckBox("CheckBox1", QStringLiteral("Disk mode"), display);
    remainTimeBox = makeCheckBox("CheckBox2", QStringLiteral("Remain time"), display);
    referenceBox = makeCheckBox("CheckBox3", QStringLiteral("Reference"), display);
    fileCountBox = makeCheckBox("CheckBox12", QStringLiteral("File count"), display);
    qualityBox = makeCheckBox("CheckBox13", QStringLiteral("Quality"), display);
    standardBox = makeCheckBox("CheckBox14", QStringLiteral("Standard"), display);
    operationModeBox = makeCheckBox("CheckBox15", QStringLiteral("Operation mode"), display);
    timeCodeBox = makeCheckBox("CheckBox16", QStringLiteral("Time code"), display);
    auto* displayLayout = new QGridLayout(display);
    const auto boxes = items();
    for (int i = 0; i < 8; ++i) displayLayout->addWidget(boxes[static_cast<std::size_t>(i)], i % 4, i / 4);

    audioLevelGroup = new RadioGroup(QStringLiteral("RadioGroup1"), QStringLiteral("Audio Level"),
                                 {QStringLiteral("OFF"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                  QStringLiteral("4")},
                                 1, this);
    insertionGroup = new RadioGroup(QStringLiteral("RadioGroup16"), QStringLiteral("Character insertion"),
                                  {QStringLiteral("OFF"), QStringLiteral("ON")}, 1, this);
    sizeGroup = new RadioGroup(QStringLiteral("RadioGroup23"), QStringLiteral("Caharcter Size for 1080"),
                                  {QStringLiteral("Large"), QStringLiteral("Small")}, 0, this);

    auto* position = new QGroupBox(QStringLiteral("Position"), this);
    position->setObjectName(QStringLiteral("GroupBox4"));
    upButton = makeButton(QStringLiteral("BitBtn19"), QStringLiteral("U"), position);
    downButton = makeButton(QStringLiteral("BitBtn23"), QStringLiteral("D"), position);
    leftButton = makeButton(QStringLiteral("BitBtn24"), QStringLiteral("L"), position);
    rightButton = makeButton(QStringLiteral("BitBtn29"), QStringLiteral("R"), position);
    auto* positionLayout = new QGridLayout(position);
    positionLayout->addWidget(upButton, 0, 1);
    positionLayout->addWidget(leftButton, 1, 0);
    positionLayout->addWidget(rightButton, 1, 2);
    positionLayout->addWidget(downButton, 2, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(insertionGroup);
    right->addWidget(sizeGroup);
    right->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(display, 0, Qt::AlignTop);
    row->addWidget(audioLevelGroup, 0, Qt::AlignTop);
    row->addLayout(right);
    row->addWidget(position, 0, Qt::AlignTop);
    row->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch();

    // clicked, not toggled: operator clicks and changes from an answer send;
    // nothing else that touches the controls does.
    onSignal(diskModeBox, &QCheckBox::clicked, this, &CharacterPage::sendSettings);
    onSignal(remainTimeBox, &QCheckBox::clicked, this, &CharacterPage::sendSettings);
    onSignal(referenceBox, &QCheckBox::clicked, this, &CharacterPage::sendSettings);
    onSignal(fileCountBox, &QCheckBox::clicked, this, &CharacterPage::sendSettings);
    onSignal(qualityBox, &QCheckBox::clicked, this, &CharacterPage::sendSettings);
    onSignal(standardBox, &QCheckBox::clicked, this, &CharacterPage::sendSettings);
    onSignal(operationModeBox, &QCheckBox::clicked, this, &CharacterPage::sendSettings);
    onSignal(timeCodeBox, &QCheckBox::clicked, this, &CharacterPage::sendSettings);
    onSignal(audioLevelGroup, &RadioGroup::clicked, this, &CharacterPage::sendSettings);
    onSignal(insertionGroup, &RadioGroup::clicked, this, &CharacterPage::sendSettings);
    onSignal(sizeGroup, &RadioGroup::clicked, this, &CharacterPage::sendSettings);
    onSignal(upButton, &QPushButton::clicked, this, &CharacterPage::moveUp);
    onSignal(downButton, &QPushButton::clicked, this, &CharacterPage::moveDown);
    onSignal(leftButton, &QPushButton::clicked, this, &CharacterPage::moveLeft);
    onSignal(rightButton, &QPushButton::clicked, this, &CharacterPage::moveRight);
    onSignal(&deck_.settings(), &DeckSettings::characterReported, this,
             [this](const CharacterSettings& answer, SettingsFields) { applyAnswer(answer); });
}

std::array<QCheckBox*, 8> CharacterPage::items() const {
    return {diskModeBox, remainTimeBox, referenceBox, fileCountBox, qualityBox, standardBox, operationModeBox, timeCodeBox};
}

CharacterSettings CharacterPage::value() const {
    CharacterSettings v;
    v.horizontal = horizontal_;
    v.vertical = vertical_;
    v.audioLevel = audioLevelGroup->itemIndex();
    v.diskMode = diskModeBox->isChecked();
    v.remainTime = remainTimeBox->isChecked();
    v.reference = referenceBox->isChecked();
    v.fileCount = fileCountBox->isChecked();
    v.quality = qualityBox->isChecked();
    v.standard = standardBox->isChecked();
    v.operationMode = operationModeBox->isChecked();
    v.timeCode = timeCodeBox->isChecked();
    v.insertion = insertionGroup->itemIndex();
    v.size = sizeGroup->itemIndex();
    return v;
}

void CharacterPage::sendSettings() { sendFrom(Origin::panel()); }

void CharacterPage::sendFrom(const Origin& origin) {
    if (deferredCommands_ >= 0) {
        ++deferredCommands_;
        return;
    }
    act(deck_.settings().write(value(), origin));
}


// Position steps: a press at the edge moves nothing and sends nothing.
void CharacterPage::moveUp() {
    if (vertical_ <= 1) return;
    --vertical_;
    sendSettings();
}

void CharacterPage::moveDown() {
    if (vertical_ >= kMaxVertical) return;
    ++vertical_;
    sendSettings();
}

void CharacterPage::moveLeft() {
    if (horizontal_ <= 1) return;
    --horizontal_;
    sendSettings();
}

void CharacterPage::moveRight() {
    if (horizontal_ >= kMaxHorizontal) return;
    ++horizontal_;
    sendSettings();
}

// Each control the answer changes runs its click action and so queues one
// command, but every one of them is built once the whole answer is on the
// page. Built control by control, the first command queued (the last one the
// recorder receives, last in first out) would carry the page's old values for
// the later controls, and merely opening the page would change the recorder.
void CharacterPage::applyAnswer(const CharacterSettings& answer) {
    deferredCommands_ = 0;
    setFromAnswer(answer);
    const int commands = deferredCommands_;
    deferredCommands_ = -1;
    for (int i = 0; i < commands; ++i) sendFrom(Origin::recorder());
}

void CharacterPage::setFromAnswer(const CharacterSettings& a) {
    horizontal_ = a.horizontal;
    vertical_ = a.vertical;
    audioLevelGroup->setFromReply(a.audioLevel);
    const bool shown[] = {a.diskMode, a.remainTime, a.reference, a.fileCount,
                          a.quality,  a.standard,   a.operationMode, a.timeCode};
    const auto boxes = items();
    for (std::size_t i = 0; i < boxes.size(); ++i) setCheckedFromReply(boxes[i], shown[i]);
    insertionGroup->setFromReply(a.insertion);
    sizeGroup->setFromReply(a.size);
}

}  // namespace qz7
