#include "ui/handler.h"
#include "ui/timecode_page.h"

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

TimecodePage::TimecodePage(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("TabSheet1"));

    RadioGroup4 = new RadioGroup(QStringLiteral("RadioGroup4"), QStringLiteral("TCG Source"),
                                 {QStringLiteral("EXT"), QStringLiteral("Internal REC"), QStringLiteral("VITC"),
                                  QStringLiteral("PB"), QStringLiteral("Internal FREE")},
                                 4, this);
    RadioGroup5 = new RadioGroup(QStringLiteral("RadioGroup5"), QStringLiteral("TC Count"),
                                 {QStringLiteral("Full frame"), QStringLiteral("Drop frame")}, 0, this);
    RadioGroup6 = new RadioGroup(QStringLiteral("RadioGroup6"), QStringLiteral("User bit"),
                                 {QStringLiteral("Internal"), QStringLiteral("EXT")}, 0, this);
    Button3 = makeButton(QStringLiteral("Button3"), QStringLiteral("SET"), this);

    auto* preset = new QGroupBox(QStringLiteral("TIME CODE SET"), this);
    preset->setObjectName(QStringLiteral("GroupBoxTimeCodeSet"));
    const auto field = [preset](const char* name) {
        auto* e = makeMaskedEdit(QString::fromLatin1(name), QStringLiteral("00;_"), QStringLiteral("00"), preset);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
        return e;
    };
    MaskEdit12 = field("MaskEdit12");
    MaskEdit13 = field("MaskEdit13");
    MaskEdit14 = field("MaskEdit14");
    MaskEdit15 = field("MaskEdit15");
    Button4 = makeButton(QStringLiteral("Button4"), QStringLiteral("PRESET"), preset);
    Button5 = makeButton(QStringLiteral("Button5"), QStringLiteral("RESET"), preset);

    auto* fields = new QHBoxLayout;
    QLineEdit* const order[] = {MaskEdit12, MaskEdit13, MaskEdit14, MaskEdit15};
    for (int i = 0; i < 4; ++i) {
        if (i > 0) fields->addWidget(makeLabel(QStringLiteral("LabelColon%1").arg(i), QStringLiteral("："), preset));
        fields->addWidget(order[i]);
    }
    fields->addStretch();
    auto* presetButtons = new QHBoxLayout;
    presetButtons->addWidget(Button4);
    presetButtons->addWidget(Button5);
    presetButtons->addStretch();
    auto* presetLayout = new QVBoxLayout(preset);
    presetLayout->addLayout(fields);
    presetLayout->addLayout(presetButtons);

    auto* groups = new QHBoxLayout;
    groups->addWidget(RadioGroup4);
    groups->addWidget(RadioGroup5, 0, Qt::AlignTop);
    groups->addWidget(RadioGroup6, 0, Qt::AlignTop);
    auto* right = new QVBoxLayout;
    right->addWidget(preset);
    right->addWidget(Button3, 0, Qt::AlignRight);
    right->addStretch();
    groups->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addStretch();

    onSignal(Button3, &QPushButton::clicked, this, &TimecodePage::Button3Click);
    onSignal(Button4, &QPushButton::clicked, this, &TimecodePage::Button4Click);
    onSignal(Button5, &QPushButton::clicked, this, &TimecodePage::Button5Click);
}

std::uint8_t TimecodePage::settingsByte() const {
    std::uint8_t b = 0;
    if (RadioGroup5->itemIndex() == 1) b |= 0x01;
    if (RadioGroup6->itemIndex() == 1) b |= 0x02;
    b |= static_cast<std::uint8_t>((RadioGroup4->itemIndex() << 2) & 0x1C);
    return b;
}

// "SET": generator source, count mode and user bit source in one byte.
void TimecodePage::Button3Click() {
    settingFallback(deck_, cmd::timecodeSettings(settingsByte()));
}

// "PRESET": the fields in display order, hours first, as typed. The fields
// are sent as they stand; the recorder judges the digits.
void TimecodePage::Button4Click() {
    const auto bcd = [](const QLineEdit* e) { return bcd2(toBytes(maskedText(e))); };
    settingFallback(deck_, cmd::timecodePreset(bcd(MaskEdit12), bcd(MaskEdit13), bcd(MaskEdit14), bcd(MaskEdit15)));
}

// "RESET": a preset of 00:00:00:00 that also leaves the fields at zero.
void TimecodePage::Button5Click() {
    for (QLineEdit* e : {MaskEdit12, MaskEdit13, MaskEdit14, MaskEdit15}) e->setText(QStringLiteral("00"));
    Button4Click();
}


void TimecodePage::applySettingsAnswer(std::uint8_t code, const QByteArray& datagram) {
    if (code != Sense::TimecodeSettings) return;
    const auto b = static_cast<std::uint8_t>(datagram[4]);
    RadioGroup5->setFromReply((b & 0x01) ? 1 : 0);
    RadioGroup6->setFromReply((b & 0x02) ? 1 : 0);
    RadioGroup4->setFromReply((b & 0x1C) >> 2);
}

}  // namespace qz7
