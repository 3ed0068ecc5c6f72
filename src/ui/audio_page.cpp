#include "ui/audio_page.h"

#include <QPushButton>

#include "ui/handler.h"

namespace qz7 {

namespace {
using Row = SheetRow<AudioSettings>;

const std::vector<Row>& rows() {
    using T = AudioSettings;
    static const std::vector<Row> table{
        Row::radio(QStringLiteral("RadioGroup10"), QStringLiteral("Input"),
                   {QStringLiteral("Embedded"), QStringLiteral("AES/EBU")}, 1, &T::input, T::Input, {0, 0, Qt::AlignTop}),
        Row::radio(QStringLiteral("RadioGroup11"), QStringLiteral("Audio channels"),
                   {QStringLiteral("OFF"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("6"),
                    QStringLiteral("8")},
                   4, &T::channels, T::Channels, {1, 0, Qt::AlignTop}),
        Row::radio(QStringLiteral("RadioGroup12"), QStringLiteral("Sample rate converter"),
                   {QStringLiteral("Bypass"), QStringLiteral("ON")}, 0, &T::converter, T::Converter,
                   {2, 0, Qt::AlignTop}),
        // Half-frame steps: the item index is the delay in half frames.
        Row::radio(QStringLiteral("RadioGroup13"), QStringLiteral("Audio delay (frame)"),
                   {QStringLiteral("0"), QStringLiteral("0.5"), QStringLiteral("1.0"), QStringLiteral("1.5"),
                    QStringLiteral("2.0"), QStringLiteral("2.5"), QStringLiteral("3.0"), QStringLiteral("3.5"),
                    QStringLiteral("4.0"), QStringLiteral("4.5"), QStringLiteral("5.0"), QStringLiteral("5.5")},
                   0, &T::delay, T::Delay, {3, 0, Qt::AlignTop}, 3),
        Row::button(QStringLiteral("Button8"), QStringLiteral("SET"), {4, 0, Qt::AlignBottom}),
    };
    return table;
}
}  // namespace

// Input, channels and converter come back with the status reply after the
// page is entered, the delay with its own answer: each sets its own groups.
AudioPage::AudioPage(Deck& deck, QWidget* parent)
    : SettingsSheet(deck, QStringLiteral("TabSheet4"), rows(), true, parent),
      inputGroup(radio(QStringLiteral("RadioGroup10"))),
      channelsGroup(radio(QStringLiteral("RadioGroup11"))),
      converterGroup(radio(QStringLiteral("RadioGroup12"))),
      delayGroup(radio(QStringLiteral("RadioGroup13"))),
      setButton(button(QStringLiteral("Button8"))) {
    onSignal(setButton, &QPushButton::clicked, this, &AudioPage::sendSettings);
}

// "SET": four packets; the recorder gets them last first, so the sample rate
// converter is set before the delay, the channels and the input.
void AudioPage::sendSettings() { write(selected()); }

}  // namespace qz7
