#include "ui/handler.h"
#include "ui/genlock_page.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "link/commands.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

GenlockPage::GenlockPage(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("TabSheet2"));

    RadioGroup7 = new RadioGroup(QStringLiteral("RadioGroup7"), QStringLiteral("Genlock source"),
                                 {QStringLiteral("AUTO"), QStringLiteral("EXT"), QStringLiteral("VIDEO IN"),
                                  QStringLiteral("Internal")},
                                 0, this);
    RadioGroup20 = new RadioGroup(QStringLiteral("RadioGroup20"), QStringLiteral("Fixed Standard"),
                                  {QStringLiteral("OFF"), QStringLiteral("1080/59.94i")}, 0, this);
    RadioGroup21 = new RadioGroup(QStringLiteral("RadioGroup21"), QStringLiteral("PSF mode"),
                                  {QStringLiteral("OFF"), QStringLiteral("ON")}, 0, this);
    Button12 = makeButton(QStringLiteral("Button12"), QStringLiteral("SET"), this);

    auto* groups = new QHBoxLayout;
    groups->addWidget(RadioGroup7, 0, Qt::AlignTop);
    groups->addWidget(RadioGroup20, 0, Qt::AlignTop);
    groups->addWidget(RadioGroup21, 0, Qt::AlignTop);
    groups->addWidget(Button12, 0, Qt::AlignBottom);
    groups->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addStretch();

    onSignal(Button12, &QPushButton::clicked, this, &GenlockPage::Button12Click);
}

// "SET": source, fixed standard and PSF mode, each an item index.
void GenlockPage::Button12Click() {
    const auto item = [](const RadioGroup* g) { return static_cast<std::uint8_t>(g->itemIndex() & 0x03); };
    settingFallback(deck_, cmd::genlock(item(RadioGroup7), item(RadioGroup20), item(RadioGroup21)));
}


void GenlockPage::applySettingsAnswer(std::uint8_t code, const QByteArray& d) {
    if (code != Sense::Genlock) return;
    RadioGroup7->setFromReply(static_cast<std::uint8_t>(d[4]) & 0x03);
    RadioGroup20->setFromReply(static_cast<std::uint8_t>(d[5]) & 0x03);
    RadioGroup21->setFromReply(static_cast<std::uint8_t>(d[6]) & 0x03);
}

}  // namespace qz7
