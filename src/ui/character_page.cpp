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
    CheckBox1 = makeCheckBox("CheckBox1", QStringLiteral("Disk mode"), display);
    CheckBox2 = makeCheckBox("CheckBox2", QStringLiteral("Remain time"), display);
    CheckBox3 = makeCheckBox("CheckBox3", QStringLiteral("Reference"), display);
    CheckBox12 = makeCheckBox("CheckBox12", QStringLiteral("File count"), display);
    CheckBox13 = makeCheckBox("CheckBox13", QStringLiteral("Quality"), display);
    CheckBox14 = makeCheckBox("CheckBox14", QStringLiteral("Standard"), display);
    CheckBox15 = makeCheckBox("CheckBox15", QStringLiteral("Operation mode"), display);
    CheckBox16 = makeCheckBox("CheckBox16", QStringLiteral("Time code"), display);
    auto* displayLayout = new QGridLayout(display);
    const auto boxes = items();
    for (int i = 0; i < 8; ++i) displayLayout->addWidget(boxes[static_cast<std::size_t>(i)], i % 4, i / 4);

    RadioGroup1 = new RadioGroup(QStringLiteral("RadioGroup1"), QStringLiteral("Audio Level"),
                                 {QStringLiteral("OFF"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                  QStringLiteral("4")},
                                 1, this);
    RadioGroup16 = new RadioGroup(QStringLiteral("RadioGroup16"), QStringLiteral("Character insertion"),
                                  {QStringLiteral("OFF"), QStringLiteral("ON")}, 1, this);
    RadioGroup23 = new RadioGroup(QStringLiteral("RadioGroup23"), QStringLiteral("Caharcter Size for 1080"),
                                  {QStringLiteral("Large"), QStringLiteral("Small")}, 0, this);

    auto* position = new QGroupBox(QStringLiteral("Position"), this);
    position->setObjectName(QStringLiteral("GroupBox4"));
    BitBtn19 = makeButton(QStringLiteral("BitBtn19"), QStringLiteral("U"), position);
    BitBtn23 = makeButton(QStringLiteral("BitBtn23"), QStringLiteral("D"), position);
    BitBtn24 = makeButton(QStringLiteral("BitBtn24"), QStringLiteral("L"), position);
    BitBtn29 = makeButton(QStringLiteral("BitBtn29"), QStringLiteral("R"), position);
    auto* positionLayout = new QGridLayout(position);
    positionLayout->addWidget(BitBtn19, 0, 1);
    positionLayout->addWidget(BitBtn24, 1, 0);
    positionLayout->addWidget(BitBtn29, 1, 2);
    positionLayout->addWidget(BitBtn23, 2, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(RadioGroup16);
    right->addWidget(RadioGroup23);
    right->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(display, 0, Qt::AlignTop);
    row->addWidget(RadioGroup1, 0, Qt::AlignTop);
    row->addLayout(right);
    row->addWidget(position, 0, Qt::AlignTop);
    row->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch();

    // clicked, not toggled: operator clicks and changes from an answer send;
    // nothing else that touches the controls does.
    onSignal(CheckBox1, &QCheckBox::clicked, this, &CharacterPage::CheckBox1Click);
    onSignal(CheckBox2, &QCheckBox::clicked, this, &CharacterPage::CheckBox2Click);
    onSignal(CheckBox3, &QCheckBox::clicked, this, &CharacterPage::CheckBox3Click);
    onSignal(CheckBox12, &QCheckBox::clicked, this, &CharacterPage::CheckBox12Click);
    onSignal(CheckBox13, &QCheckBox::clicked, this, &CharacterPage::CheckBox13Click);
    onSignal(CheckBox14, &QCheckBox::clicked, this, &CharacterPage::CheckBox14Click);
    onSignal(CheckBox15, &QCheckBox::clicked, this, &CharacterPage::CheckBox15Click);
    onSignal(CheckBox16, &QCheckBox::clicked, this, &CharacterPage::CheckBox16Click);
    onSignal(RadioGroup1, &RadioGroup::clicked, this, &CharacterPage::RadioGroup1Click);
    onSignal(RadioGroup16, &RadioGroup::clicked, this, &CharacterPage::RadioGroup16Click);
    onSignal(RadioGroup23, &RadioGroup::clicked, this, &CharacterPage::RadioGroup23Click);
    onSignal(BitBtn19, &QPushButton::clicked, this, &CharacterPage::BitBtn19Click);
    onSignal(BitBtn23, &QPushButton::clicked, this, &CharacterPage::BitBtn23Click);
    onSignal(BitBtn24, &QPushButton::clicked, this, &CharacterPage::BitBtn24Click);
    onSignal(BitBtn29, &QPushButton::clicked, this, &CharacterPage::BitBtn29Click);
    onSignal(&deck_.settings(), &DeckSettings::characterReported, this,
             [this](const CharacterSettings& answer, SettingsFields) { applyAnswer(answer); });
}

std::array<QCheckBox*, 8> CharacterPage::items() const {
    return {CheckBox1, CheckBox2, CheckBox3, CheckBox12, CheckBox13, CheckBox14, CheckBox15, CheckBox16};
}

CharacterSettings CharacterPage::value() const {
    CharacterSettings v;
    v.horizontal = horizontal_;
    v.vertical = vertical_;
    v.audioLevel = RadioGroup1->itemIndex();
    v.diskMode = CheckBox1->isChecked();
    v.remainTime = CheckBox2->isChecked();
    v.reference = CheckBox3->isChecked();
    v.fileCount = CheckBox12->isChecked();
    v.quality = CheckBox13->isChecked();
    v.standard = CheckBox14->isChecked();
    v.operationMode = CheckBox15->isChecked();
    v.timeCode = CheckBox16->isChecked();
    v.insertion = RadioGroup16->itemIndex();
    v.size = RadioGroup23->itemIndex();
    return v;
}

void CharacterPage::sendSettings(const Origin& origin) {
    if (deferredCommands_ >= 0) {
        ++deferredCommands_;
        return;
    }
    act(deck_.settings().write(value(), origin));
}

void CharacterPage::CheckBox1Click() { sendSettings(); }
void CharacterPage::CheckBox2Click() { sendSettings(); }
void CharacterPage::CheckBox3Click() { sendSettings(); }
void CharacterPage::CheckBox12Click() { sendSettings(); }
void CharacterPage::CheckBox13Click() { sendSettings(); }
void CharacterPage::CheckBox14Click() { sendSettings(); }
void CharacterPage::CheckBox15Click() { sendSettings(); }
void CharacterPage::CheckBox16Click() { sendSettings(); }
void CharacterPage::RadioGroup1Click() { sendSettings(); }
void CharacterPage::RadioGroup16Click() { sendSettings(); }
void CharacterPage::RadioGroup23Click() { sendSettings(); }

// Position steps: a press at the edge moves nothing and sends nothing.
void CharacterPage::BitBtn19Click() {
    if (vertical_ <= 1) return;
    --vertical_;
    sendSettings();
}

void CharacterPage::BitBtn23Click() {
    if (vertical_ >= kMaxVertical) return;
    ++vertical_;
    sendSettings();
}

void CharacterPage::BitBtn24Click() {
    if (horizontal_ <= 1) return;
    --horizontal_;
    sendSettings();
}

void CharacterPage::BitBtn29Click() {
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
    for (int i = 0; i < commands; ++i) sendSettings(Origin::recorder());
}

void CharacterPage::setFromAnswer(const CharacterSettings& a) {
    horizontal_ = a.horizontal;
    vertical_ = a.vertical;
    RadioGroup1->setFromReply(a.audioLevel);
    const bool shown[] = {a.diskMode, a.remainTime, a.reference, a.fileCount,
                          a.quality,  a.standard,   a.operationMode, a.timeCode};
    const auto boxes = items();
    for (std::size_t i = 0; i < boxes.size(); ++i) setCheckedFromReply(boxes[i], shown[i]);
    RadioGroup16->setFromReply(a.insertion);
    RadioGroup23->setFromReply(a.size);
}

}  // namespace qz7
