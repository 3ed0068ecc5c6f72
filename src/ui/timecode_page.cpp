#include "ui/timecode_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "deck/deck_settings.h"
#include "ui/handler.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
using Row = SheetRow<TimecodeSettings>;

// "TIME CODE SET": four two-digit fields laid out like the status display's
// time code, then "PRESET" and "RESET".
QWidget* presetGroup(QWidget* sheet) {
    auto* preset = new QGroupBox(QStringLiteral("TIME CODE SET"), sheet);
    preset->setObjectName(QStringLiteral("GroupBoxTimeCodeSet"));
    QLineEdit* edits[4];
    const char* const names[] = {"MaskEdit12", "MaskEdit13", "MaskEdit14", "MaskEdit15"};
    for (int i = 0; i < 4; ++i) {
        edits[i] = makeMaskedEdit(QString::fromLatin1(names[i]), QStringLiteral("00;_"), QStringLiteral("00"), preset);
        edits[i]->setFixedWidth(edits[i]->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(makeButton(QStringLiteral("Button4"), QStringLiteral("PRESET"), preset));
    buttons->addWidget(makeButton(QStringLiteral("Button5"), QStringLiteral("RESET"), preset));
    buttons->addStretch();
    auto* fields = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) fields->addWidget(makeLabel(QStringLiteral("LabelColon%1").arg(i), QStringLiteral("："), preset));
        fields->addWidget(edits[i]);
    }
    fields->addStretch();
    auto* layout = new QVBoxLayout(preset);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    return preset;
}

const std::vector<Row>& rows() {
    using T = TimecodeSettings;
    static const std::vector<Row> table{
        Row::radio(QStringLiteral("RadioGroup4"), QStringLiteral("TCG Source"),
                   {QStringLiteral("EXT"), QStringLiteral("Internal REC"), QStringLiteral("VITC"), QStringLiteral("PB"),
                    QStringLiteral("Internal FREE")},
                   4, &T::source, T::Source, {0}),
        Row::radio(QStringLiteral("RadioGroup5"), QStringLiteral("TC Count"),
                   {QStringLiteral("Full frame"), QStringLiteral("Drop frame")}, 0, &T::count, T::Count,
                   {1, 0, Qt::AlignTop}),
        Row::radio(QStringLiteral("RadioGroup6"), QStringLiteral("User bit"),
                   {QStringLiteral("Internal"), QStringLiteral("EXT")}, 0, &T::userBit, T::UserBit, {2, 0, Qt::AlignTop}),
        Row::button(QStringLiteral("Button3"), QStringLiteral("SET"), {3, 1, Qt::AlignRight}),
        Row::group(QStringLiteral("GroupBoxTimeCodeSet"), presetGroup, {3, 0}),
    };
    return table;
}
}  // namespace

// The preset group takes the rest of the row, "SET" at its right edge.
TimecodePage::TimecodePage(Deck& deck, QWidget* parent)
    : SettingsSheet(deck, QStringLiteral("TabSheet1"), rows(), false, parent),
      sourceGroup(radio(QStringLiteral("RadioGroup4"))),
      countGroup(radio(QStringLiteral("RadioGroup5"))),
      userBitGroup(radio(QStringLiteral("RadioGroup6"))),
      setButton(button(QStringLiteral("Button3"))),
      presetHoursEdit(field(QStringLiteral("MaskEdit12"))),
      presetMinutesEdit(field(QStringLiteral("MaskEdit13"))),
      presetSecondsEdit(field(QStringLiteral("MaskEdit14"))),
      presetFramesEdit(field(QStringLiteral("MaskEdit15"))),
      presetButton(button(QStringLiteral("Button4"))),
      resetButton(button(QStringLiteral("Button5"))) {
    onSignal(setButton, &QPushButton::clicked, this, &TimecodePage::sendSettings);
    onSignal(presetButton, &QPushButton::clicked, this, &TimecodePage::presetTimecode);
    onSignal(resetButton, &QPushButton::clicked, this, &TimecodePage::resetTimecode);
}

// "SET": generator source, count mode and user bit source in one byte.
void TimecodePage::sendSettings() { write(selected()); }

// "PRESET": the fields in display order, hours first, as typed. The fields
// are sent as they stand; the recorder judges the digits.
void TimecodePage::presetTimecode() {
    const auto bcd = [](const QLineEdit* e) { return bcd2(toBytes(maskedText(e))); };
    act(deck().settings().preset({bcd(presetHoursEdit), bcd(presetMinutesEdit), bcd(presetSecondsEdit), bcd(presetFramesEdit)},
                                 Origin::panel()));
}

// "RESET": a preset of 00:00:00:00 that also leaves the fields at zero.
void TimecodePage::resetTimecode() {
    for (QLineEdit* e : {presetHoursEdit, presetMinutesEdit, presetSecondsEdit, presetFramesEdit}) e->setText(QStringLiteral("00"));
    presetTimecode();
}

}  // namespace qz7
