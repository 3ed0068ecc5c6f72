#include "ui/control_page.h"

#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

#include "deck/deck.h"
#include "deck/deck_settings.h"
#include "ui/handler.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
using Row = SheetRow<ControlSettings>;

const std::vector<Row>& rows() {
    using T = ControlSettings;
    static const std::vector<Row> table{
        Row::radio(QStringLiteral("RadioGroup3"), QStringLiteral("Record mode"),
                   {QStringLiteral("NORMAL"), QStringLiteral("LOOP"), QStringLiteral("INHIBIT"),
                    QStringLiteral("INTERMITTENT")},
                   0, &T::recordMode, T::RecordMode, {0, 0}),
        Row::field(QStringLiteral("MaskEdit11"), QStringLiteral("000;_"), QStringLiteral("030"),
                   QStringLiteral("GroupBoxIntermittentRate"), QStringLiteral("Intermittent rate"),
                   QStringLiteral("Frames"), {0, 1}),
        Row::radio(QStringLiteral("RadioGroup17"), QStringLiteral("Playback mode"),
                   {QStringLiteral("NORMAL"), QStringLiteral("LOOP"), QStringLiteral("DUBBING PLAY")}, 0,
                   &T::playbackMode, T::PlaybackMode, {1, 0}),
        Row::field(QStringLiteral("MaskEdit10"), QStringLiteral("00;_"), QStringLiteral("06"),
                   QStringLiteral("GroupBoxPrerollTime"), QStringLiteral("Preroll time"), QStringLiteral("Sec"), {1, 1}),
        Row::radio(QStringLiteral("RadioGroup22"), QStringLiteral("Stll mode"),
                   {QStringLiteral("Frame"), QStringLiteral("Field")}, 1, &T::stillMode, T::StillMode, {2, 0}),
        Row::button(QStringLiteral("Button16"), QStringLiteral("SET"), {2, 1, {}, true}),
    };
    return table;
}
}  // namespace

ControlPage::ControlPage(Deck& deck, QWidget* parent)
    : SettingsSheet(deck, QStringLiteral("TabSheet6"), rows(), true, parent),
      RadioGroup3(radio(QStringLiteral("RadioGroup3"))),
      MaskEdit11(field(QStringLiteral("MaskEdit11"))),
      RadioGroup17(radio(QStringLiteral("RadioGroup17"))),
      MaskEdit10(field(QStringLiteral("MaskEdit10"))),
      RadioGroup22(radio(QStringLiteral("RadioGroup22"))),
      Button16(button(QStringLiteral("Button16"))) {
    onSignal(Button16, &QPushButton::clicked, this, &ControlPage::Button16Click);
    onSignal(MaskEdit11, &QLineEdit::textEdited, this, &ControlPage::MaskEdit11Edited);
}

QString ControlPage::prerollText() const { return maskedText(MaskEdit10); }
int ControlPage::prerollSeconds() const { return toInteger(prerollText()); }

// "SET": playback mode, record mode with rate, preroll, still mode; the
// recorder gets them in the reverse order. A rate that is not a number ends
// the action, but the playback mode goes, as it always has. A marked rate
// field still sends what it shows; the recorder's own rate is in its tooltip
// and the operator decides.
void ControlPage::Button16Click() {
    ControlSettings value = selected();
    try {
        value.rate = static_cast<unsigned>(toInteger(maskedText(MaskEdit11)));
    } catch (const std::invalid_argument&) {
        act(deck().settings().writePlaybackMode(value.playbackMode, Origin::panel()));
        throw;
    }
    value.preroll = bcd2(toBytes(prerollText()));
    write(value);
}

void ControlPage::reported(const ControlSettings& value, SettingsFields fields) {
    SettingsSheet::reported(value, fields);
    if (fields & ControlSettings::Rate) showRate(value.rate);
    if (fields & ControlSettings::Preroll) MaskEdit10->setText(QString::asprintf("%02x", value.preroll));
}

// A rate beyond what the field holds would show cut to three digits and go
// back wrong, so the field keeps its text and says what the recorder
// reported instead.
void ControlPage::showRate(unsigned rate) {
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

}  // namespace qz7
