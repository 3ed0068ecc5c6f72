#include "ui/handler.h"
#include "ui/audio_page.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "link/commands.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

AudioPage::AudioPage(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("TabSheet4"));

    RadioGroup10 = new RadioGroup(QStringLiteral("RadioGroup10"), QStringLiteral("Input"),
                                  {QStringLiteral("Embedded"), QStringLiteral("AES/EBU")}, 1, this);
    RadioGroup11 = new RadioGroup(QStringLiteral("RadioGroup11"), QStringLiteral("Audio channels"),
                                  {QStringLiteral("OFF"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("6"),
                                   QStringLiteral("8")},
                                  4, this);
    RadioGroup12 = new RadioGroup(QStringLiteral("RadioGroup12"), QStringLiteral("Sample rate converter"),
                                  {QStringLiteral("Bypass"), QStringLiteral("ON")}, 0, this);
    // Half-frame steps: the item index is the delay in half frames.
    RadioGroup13 = new RadioGroup(QStringLiteral("RadioGroup13"), QStringLiteral("Audio delay (frame)"),
                                  {QStringLiteral("0"), QStringLiteral("0.5"), QStringLiteral("1.0"),
                                   QStringLiteral("1.5"), QStringLiteral("2.0"), QStringLiteral("2.5"),
                                   QStringLiteral("3.0"), QStringLiteral("3.5"), QStringLiteral("4.0"),
                                   QStringLiteral("4.5"), QStringLiteral("5.0"), QStringLiteral("5.5")},
                                  0, this, 3);
    Button8 = makeButton(QStringLiteral("Button8"), QStringLiteral("SET"), this);

    auto* groups = new QHBoxLayout;
    groups->addWidget(RadioGroup10, 0, Qt::AlignTop);
    groups->addWidget(RadioGroup11, 0, Qt::AlignTop);
    groups->addWidget(RadioGroup12, 0, Qt::AlignTop);
    groups->addWidget(RadioGroup13, 0, Qt::AlignTop);
    groups->addWidget(Button8, 0, Qt::AlignBottom);
    groups->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addStretch();

    onSignal(Button8, &QPushButton::clicked, this, &AudioPage::Button8Click);
}

// "SET": four packets; the recorder gets them last first, so the sample rate
// converter is set before the delay, the channels and the input.
void AudioPage::Button8Click() {
    static constexpr std::uint8_t kChannels[] = {0, 2, 4, 6};
    const int channelItem = RadioGroup11->itemIndex();
    const std::uint8_t channels = channelItem >= 0 && channelItem < 4 ? kChannels[channelItem] : 8;
    const auto flag = [](const RadioGroup* g) { return static_cast<std::uint8_t>(g->itemIndex() == 1 ? 1 : 0); };

    settingFallback(deck_, cmd::audioInput(flag(RadioGroup10)));
    settingFallback(deck_, cmd::audioChannels(channels));
    settingFallback(deck_, cmd::audioDelay(static_cast<std::uint8_t>(RadioGroup13->itemIndex())));
    settingFallback(deck_, cmd::sampleRateConverter(flag(RadioGroup12)));
}

// Bits 0-3 channel count (0, 2, 4, 6, 8; anything else is left alone),
// bit 4 AES/EBU input, bit 5 sample rate converter on.
void AudioPage::applyStatusAudioBits(std::uint8_t byte23) {
    const int channels = byte23 & 0x0F;
    if (channels % 2 == 0 && channels <= 8) RadioGroup11->setFromReply(channels / 2);
    RadioGroup10->setFromReply((byte23 & 0x10) ? 1 : 0);
    RadioGroup12->setFromReply((byte23 & 0x20) ? 1 : 0);
}


// The delay has its own answer; input, channels and converter come with the
// next status reply (applyStatusAudioBits).
void AudioPage::applySettingsAnswer(std::uint8_t code, const QByteArray& d) {
    if (code != Sense::AudioDelay) return;
    const int delay = static_cast<std::int8_t>(d[4]);
    if (delay >= 0 && delay <= 11) RadioGroup13->setFromReply(delay);
}

}  // namespace qz7
