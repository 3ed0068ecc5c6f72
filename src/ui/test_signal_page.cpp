#include "ui/handler.h"
#include "ui/test_signal_page.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "link/commands.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

TestSignalPage::TestSignalPage(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("TabSheet3"));

    RadioGroup8 = new RadioGroup(QStringLiteral("RadioGroup8"), QStringLiteral("Video"),
                                 {QStringLiteral("OFF"), QStringLiteral("Color bar"), QStringLiteral("Ramp"),
                                  QStringLiteral("Black")},
                                 0, this);
    RadioGroup9 = new RadioGroup(QStringLiteral("RadioGroup9"), QStringLiteral("Audio"),
                                 {QStringLiteral("OFF"), QStringLiteral("1 kHz")}, 0, this);
    Button10 = makeButton(QStringLiteral("Button10"), QStringLiteral("SET"), this);

    auto* groups = new QHBoxLayout;
    groups->addWidget(RadioGroup8, 0, Qt::AlignTop);
    groups->addWidget(RadioGroup9, 0, Qt::AlignTop);
    groups->addWidget(Button10, 0, Qt::AlignBottom);
    groups->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addStretch();

    onSignal(Button10, &QPushButton::clicked, this, &TestSignalPage::Button10Click);
}

// "SET": the video pattern and the audio tone, one packet.
void TestSignalPage::Button10Click() {
    settingFallback(deck_, cmd::testSignal(static_cast<std::uint8_t>(RadioGroup8->itemIndex() & 0x03),
                                static_cast<std::uint8_t>(RadioGroup9->itemIndex() & 0x03)));
}


void TestSignalPage::applySettingsAnswer(std::uint8_t code, const QByteArray& d) {
    if (code != Sense::TestSignal) return;
    RadioGroup8->setFromReply(static_cast<std::uint8_t>(d[4]) & 0x07);
    RadioGroup9->setFromReply(static_cast<std::uint8_t>(d[5]) & 0x03);
}

}  // namespace qz7
