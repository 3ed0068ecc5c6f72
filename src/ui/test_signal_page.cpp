#include "ui/test_signal_page.h"

#include <QPushButton>

#include "ui/handler.h"

namespace qz7 {

namespace {
using Row = SheetRow<TestSignalSettings>;

const std::vector<Row>& rows() {
    using T = TestSignalSettings;
    static const std::vector<Row> table{
        Row::radio(QStringLiteral("RadioGroup8"), QStringLiteral("Video"),
                   {QStringLiteral("OFF"), QStringLiteral("Color bar"), QStringLiteral("Ramp"), QStringLiteral("Black")}, 0,
                   &T::video, T::Video, {0, 0, Qt::AlignTop}),
        Row::radio(QStringLiteral("RadioGroup9"), QStringLiteral("Audio"), {QStringLiteral("OFF"), QStringLiteral("1 kHz")},
                   0, &T::audio, T::Audio, {1, 0, Qt::AlignTop}),
        Row::button(QStringLiteral("Button10"), QStringLiteral("SET"), {2, 0, Qt::AlignBottom}),
    };
    return table;
}
}  // namespace

TestSignalPage::TestSignalPage(Deck& deck, QWidget* parent)
    : SettingsSheet(deck, QStringLiteral("TabSheet3"), rows(), true, parent),
      videoGroup(radio(QStringLiteral("RadioGroup8"))),
      audioGroup(radio(QStringLiteral("RadioGroup9"))),
      setButton(button(QStringLiteral("Button10"))) {
    onSignal(setButton, &QPushButton::clicked, this, &TestSignalPage::sendSettings);
}

// "SET": the video pattern and the audio tone, one packet.
void TestSignalPage::sendSettings() { write(selected()); }

}  // namespace qz7
