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
      recordModeGroup(radio(QStringLiteral("RadioGroup3"))),
      rateEdit(field(QStringLiteral("MaskEdit11"))),
      playbackModeGroup(radio(QStringLiteral("RadioGroup17"))),
      prerollEdit(field(QStringLiteral("MaskEdit10"))),
      stillModeGroup(radio(QStringLiteral("RadioGroup22"))),
      setButton(button(QStringLiteral("Button16"))) {
    onSignal(setButton, &QPushButton::clicked, this, &ControlPage::sendSettings);
    onSignal(rateEdit, &QLineEdit::textEdited, this, &ControlPage::rateEdited);
}

QString ControlPage::prerollText() const { return maskedText(prerollEdit); }
int ControlPage::prerollSeconds() const { return toInteger(prerollText()); }

// "SET": playback mode, record mode with rate, preroll, still mode; the
// recorder gets them in the reverse order. A rate that is not a number ends
// the action, but the playback mode goes, as it always has. A marked rate
// field still sends what it shows; the recorder's own rate is in its tooltip
// and the operator decides.
void ControlPage::sendSettings() {
    ControlSettings value = selected();
    try {
        value.rate = static_cast<unsigned>(toInteger(maskedText(rateEdit)));
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
    if (fields & ControlSettings::Preroll) prerollEdit->setText(QString::asprintf("%02x", value.preroll));
}

// A rate beyond what the field holds would show cut to three digits and go
// back wrong, so the field keeps its text and says what the recorder
// reported instead.
void ControlPage::showRate(unsigned rate) {
    if (rate > kMaxRate) {
        markRateOutOfRange(rate);
        return;
    }
    rateEdit->setText(QString::asprintf("%03u", rate));
    clearRateMark();
}

void ControlPage::rateEdited() { clearRateMark(); }

// Without a mark the field would look as if the recorder ran at its rate.
void ControlPage::markRateOutOfRange(unsigned rate) {
    rateEdit->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #d01010; }"));
    rateEdit->setToolTip(
        QStringLiteral("The recorder reports an intermittent rate of %1 frames; this field holds 000 to 999.")
            .arg(rate));
}

void ControlPage::clearRateMark() {
    rateEdit->setStyleSheet(QString());
    rateEdit->setToolTip(QString());
}

}  // namespace qz7
