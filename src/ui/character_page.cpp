#include "ui/handler.h"
#include "ui/character_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "link/commands.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
// Each display item is sent as its own item code, in command bytes 5 to 12.
constexpr std::array<std::uint8_t, 8> kItemCodes{0x10, 0x0E, 0x0F, 0x0D, 0x0B, 0x0A, 0x0C, 0x09};

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
}

std::array<QCheckBox*, 8> CharacterPage::items() const {
    return {CheckBox1, CheckBox2, CheckBox3, CheckBox12, CheckBox13, CheckBox14, CheckBox15, CheckBox16};
}

Packet CharacterPage::settingsCommand() const {
    std::array<std::uint8_t, 16> d{};
    d[0] = static_cast<std::uint8_t>(horizontal_ & 0xFF);
    d[1] = static_cast<std::uint8_t>(vertical_ & 0xFF);
    // "Audio Level" n (1..4) is the pair 2n-1, 2n; "OFF" is 0, 0.
    const int level = RadioGroup1->itemIndex();
    d[2] = static_cast<std::uint8_t>(level > 0 ? 2 * level - 1 : 0);
    d[3] = static_cast<std::uint8_t>(level > 0 ? 2 * level : 0);
    d[4] = 0x00;
    const auto boxes = items();
    for (std::size_t i = 0; i < boxes.size(); ++i) d[5 + i] = boxes[i]->isChecked() ? kItemCodes[i] : std::uint8_t{0};
    d[13] = 0x11;
    d[14] = RadioGroup16->itemIndex() == 1 ? 0x02 : 0x00;
    d[15] = RadioGroup23->itemIndex() == 1 ? 0x01 : 0x00;
    return cmd::character(d);
}

void CharacterPage::sendSettings() {
    if (deferredCommands_ >= 0) {
        ++deferredCommands_;
        return;
    }
    settingFallback(deck_, settingsCommand());
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
void CharacterPage::applyAnswer(const std::array<std::uint8_t, 16>& d) {
    deferredCommands_ = 0;
    setFromAnswer(d);
    const int commands = deferredCommands_;
    deferredCommands_ = -1;
    for (int i = 0; i < commands; ++i) sendSettings();
}

void CharacterPage::setFromAnswer(const std::array<std::uint8_t, 16>& d) {
    horizontal_ = static_cast<std::int8_t>(d[0]);
    vertical_ = static_cast<std::int8_t>(d[1]);
    // The first byte of the level pair: 0, 1, 3, 5 for "OFF" to "3"; anything else is "4".
    int level = 4;
    switch (d[2]) {
    case 0x00: level = 0; break;
    case 0x01: level = 1; break;
    case 0x03: level = 2; break;
    case 0x05: level = 3; break;
    default: break;
    }
    RadioGroup1->setFromReply(level);
    const auto boxes = items();
    for (std::size_t i = 0; i < boxes.size(); ++i) setCheckedFromReply(boxes[i], d[5 + i] != 0);
    RadioGroup16->setFromReply(d[14] != 0 ? 1 : 0);
    RadioGroup23->setFromReply((d[15] & 0x01) ? 1 : 0);
}


}  // namespace qz7
