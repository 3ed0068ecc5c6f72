#include "ui/handler.h"
#include "ui/control_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "link/commands.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
// A small framed group holding one masked field and its unit.
QGroupBox* fieldGroup(const QString& name, const QString& caption, QLineEdit* field, const QString& unit,
                      QWidget* parent) {
    auto* g = new QGroupBox(caption, parent);
    g->setObjectName(name);
    field->setParent(g);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    auto* l = new QHBoxLayout(g);
    l->addWidget(field);
    l->addWidget(makeLabel(name + QStringLiteral("Unit"), unit, g));
    l->addStretch();
    return g;
}

bool isBcd(std::uint8_t b) { return (b >> 4) <= 9 && (b & 0x0F) <= 9; }
}  // namespace

ControlPage::ControlPage(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("TabSheet6"));

    RadioGroup3 = new RadioGroup(QStringLiteral("RadioGroup3"), QStringLiteral("Record mode"),
                                 {QStringLiteral("NORMAL"), QStringLiteral("LOOP"), QStringLiteral("INHIBIT"),
                                  QStringLiteral("INTERMITTENT")},
                                 0, this);
    MaskEdit11 = makeMaskedEdit(QStringLiteral("MaskEdit11"), QStringLiteral("000;_"), QStringLiteral("030"), this);
    RadioGroup17 = new RadioGroup(QStringLiteral("RadioGroup17"), QStringLiteral("Playback mode"),
                                  {QStringLiteral("NORMAL"), QStringLiteral("LOOP"), QStringLiteral("DUBBING PLAY")}, 0,
                                  this);
    MaskEdit10 = makeMaskedEdit(QStringLiteral("MaskEdit10"), QStringLiteral("00;_"), QStringLiteral("06"), this);
    RadioGroup22 = new RadioGroup(QStringLiteral("RadioGroup22"), QStringLiteral("Stll mode"),
                                  {QStringLiteral("Frame"), QStringLiteral("Field")}, 1, this);
    Button16 = makeButton(QStringLiteral("Button16"), QStringLiteral("SET"), this);

    auto* record = new QVBoxLayout;
    record->addWidget(RadioGroup3);
    record->addWidget(fieldGroup(QStringLiteral("GroupBoxIntermittentRate"), QStringLiteral("Intermittent rate"),
                                 MaskEdit11, QStringLiteral("Frames"), this));
    record->addStretch();
    auto* playback = new QVBoxLayout;
    playback->addWidget(RadioGroup17);
    playback->addWidget(fieldGroup(QStringLiteral("GroupBoxPrerollTime"), QStringLiteral("Preroll time"), MaskEdit10,
                                   QStringLiteral("Sec"), this));
    playback->addStretch();
    auto* still = new QVBoxLayout;
    still->addWidget(RadioGroup22);
    still->addStretch();
    still->addWidget(Button16);
    auto* row = new QHBoxLayout;
    row->addLayout(record);
    row->addLayout(playback);
    row->addLayout(still);
    row->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch();

    onSignal(Button16, &QPushButton::clicked, this, &ControlPage::Button16Click);
    onSignal(MaskEdit11, &QLineEdit::textEdited, this, &ControlPage::MaskEdit11Edited);
}

QString ControlPage::prerollText() const { return maskedText(MaskEdit10); }

// "SET": playback mode, record mode with rate, preroll, still mode. The
// recorder gets them in the reverse order. A rate that is not a number ends
// the action after the playback mode. A marked rate field still sends what it
// shows; the recorder's own rate is in its tooltip and the operator decides.
void ControlPage::Button16Click() {
    settingFallback(deck_, cmd::playbackMode(static_cast<std::uint8_t>(RadioGroup17->itemIndex())));

    static constexpr std::uint8_t kModeBits[] = {0x00, 0x01, 0x02};
    const int mode = RadioGroup3->itemIndex();
    const std::uint8_t modeBits = mode >= 0 && mode < 3 ? kModeBits[mode] : 0x04;
    const int rate = toInteger(maskedText(MaskEdit11));
    settingFallback(deck_, cmd::recordMode(modeBits, static_cast<unsigned>(rate)));

    settingFallback(deck_, cmd::prerollPreset(bcd2(toBytes(prerollText()))));

    settingFallback(deck_, cmd::stillMode(static_cast<std::uint8_t>(RadioGroup22->itemIndex())));
}

// Bit 0 wins over bit 1, bit 1 over bit 2. A rate beyond what the field
// holds would show cut to three digits and go back wrong, so the field keeps
// its text and says what the recorder reported instead.
void ControlPage::applyRecordModeAnswer(std::uint8_t modeBits, unsigned rate) {
    int item = 0;
    if (modeBits & 0x01)
        item = 1;
    else if (modeBits & 0x02)
        item = 2;
    else if (modeBits & 0x04)
        item = 3;
    RadioGroup3->setFromReply(item);
    if (rate > kMaxRate) {
        markRateOutOfRange(rate);
        return;
    }
    MaskEdit11->setText(QString::asprintf("%03u", rate));
    clearRateMark();
}

void ControlPage::MaskEdit11Edited() { clearRateMark(); }

// Without a mark the field would look as if the recorder ran at its rate.
void ControlPage::markRateOutOfRange(unsigned rate) {
    MaskEdit11->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #d01010; }"));
    MaskEdit11->setToolTip(
        QStringLiteral("The recorder reports an intermittent rate of %1 frames; this field holds 000 to 999.")
            .arg(rate));
}

void ControlPage::clearRateMark() {
    MaskEdit11->setStyleSheet(QString());
    MaskEdit11->setToolTip(QString());
}

// The field takes digits only: a byte that is not two decimal digits would
// show with a gap and make the next preset and cue search wrong.
void ControlPage::applyPrerollAnswer(std::uint8_t secondsByte) {
    const auto seconds = static_cast<std::uint8_t>(secondsByte & 0x7F);
    if (!isBcd(seconds)) return;
    MaskEdit10->setText(QString::asprintf("%02x", seconds));
}



void ControlPage::applySettingsAnswer(std::uint8_t code, const QByteArray& datagram) {
    const auto d = std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(datagram.constData()),
                                                 static_cast<std::size_t>(datagram.size()));
    switch (code) {
    case Sense::RecordMode: applyRecordModeAnswer(d[4], le16(d, 5)); break;
    case Sense::PlaybackMode: RadioGroup17->setFromReply(d[4] & 0x03); break;
    case Sense::StillMode: RadioGroup22->setFromReply(d[4] & 0x03); break;
    default: break;
    }
}

}  // namespace qz7
