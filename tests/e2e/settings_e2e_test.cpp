// The settings pages end to end: every page set to other than its defaults
// and sent, the simulated recorder's store checked byte for byte, then the
// pages changed locally and read back from the recorder on entering them.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>
#include <functional>
#include <map>

#include "deck/deck.h"
#include "live_panel.h"
#include "settings_helpers.h"
#include "ui/character_page.h"
#include "ui/device_page.h"
#include "ui/error_box.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char buf[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", b);
        out += buf;
    }
    if (!out.empty()) out.pop_back();
    return out;
}

// The 16 data bytes the Character page would send as it stands.
std::vector<std::uint8_t> characterBytes(const CharacterPage* page) {
    const auto data = page->value().data();
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

class SettingsE2E : public LivePanelTest {
protected:
    // Entering a page asks the recorder; its answers land before this returns.
    void enter(int page) {
        control<QTabWidget>(main(), "PageControl1")->setCurrentIndex(page);
        ASSERT_TRUE(waitDrained(5000));
    }
    // Away and back, as the operator does to see the recorder's values again.
    void revisit(int page) {
        control<QTabWidget>(main(), "PageControl1")->setCurrentIndex(MainWindow::ConfigTab);
        enter(page);
    }
    std::string stored(std::uint8_t code) { return hex(sims_.front()->recorder().setting(code)); }
};

TEST_F(SettingsE2E, EveryPageIsStoredByTheRecorderAndReadBackOnEnteringIt) {
    qz7sim::SimServer& sim = startSim(QStringLiteral("127.0.0.43"));
    MainWindow& m = startPanel(DevicePair{QStringLiteral("127.0.0.43"), QStringLiteral("QA51200040"),
                                      QStringLiteral("127.0.0.43"), QStringLiteral("QA51200041"), true});
    m.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
    apply(0);
    ASSERT_TRUE(waitDrained(5000));

    enter(MainWindow::TimecodeTab);
    pick(control<RadioGroup>(m, "RadioGroup4"), 2);  // "VITC"
    pick(control<RadioGroup>(m, "RadioGroup5"), 1);  // "Drop frame"
    pick(control<RadioGroup>(m, "RadioGroup6"), 1);  // "EXT"
    press(control<QPushButton>(m, "Button3"));
    control<QLineEdit>(m, "MaskEdit12")->setText(QStringLiteral("12"));
    control<QLineEdit>(m, "MaskEdit13")->setText(QStringLiteral("34"));
    control<QLineEdit>(m, "MaskEdit14")->setText(QStringLiteral("56"));
    control<QLineEdit>(m, "MaskEdit15")->setText(QStringLiteral("07"));
    press(control<QPushButton>(m, "Button4"));

    enter(MainWindow::GenlockTab);
    pick(control<RadioGroup>(m, "RadioGroup7"), 1);   // "EXT"
    pick(control<RadioGroup>(m, "RadioGroup20"), 1);  // "1080/59.94i"
    pick(control<RadioGroup>(m, "RadioGroup21"), 1);  // PSF "ON"
    press(control<QPushButton>(m, "Button12"));

    enter(MainWindow::TestSignalTab);
    pick(control<RadioGroup>(m, "RadioGroup8"), 2);  // "Ramp"
    pick(control<RadioGroup>(m, "RadioGroup9"), 1);  // "1 kHz"
    press(control<QPushButton>(m, "Button10"));

    enter(MainWindow::AudioTab);
    pick(control<RadioGroup>(m, "RadioGroup10"), 0);  // "Embedded"
    pick(control<RadioGroup>(m, "RadioGroup11"), 2);  // "4"
    pick(control<RadioGroup>(m, "RadioGroup12"), 1);  // converter "ON"
    pick(control<RadioGroup>(m, "RadioGroup13"), 7);  // "3.5"
    press(control<QPushButton>(m, "Button8"));

    enter(MainWindow::VideoTab);
    pick(control<RadioGroup>(m, "RadioGroup14"), 3);  // "Lossless"
    pick(control<RadioGroup>(m, "RadioGroup15"), 1);  // ANC "ON"
    press(control<QPushButton>(m, "Button11"));

    // The Character page sends the whole page on every change. An operator's
    // clicks are far apart next to the 40 ms command turn, so each command
    // has left before the next click. The recorder starts at 1, 1.
    auto* character = control<CharacterPage>(m, "TabSheet8");
    enter(MainWindow::CharacterTab);
    EXPECT_EQ(character->horizontal(), 1);
    EXPECT_EQ(character->vertical(), 1);
    const auto paced = [&](const std::function<void()>& click) {
        click();
        EXPECT_TRUE(waitFor([&] { return deck().commandsWaiting() == 0; }, 2000));
    };
    for (int i = 0; i < 5; ++i) paced([&] { press(control<QPushButton>(m, "BitBtn29")); });
    for (int i = 0; i < 3; ++i) paced([&] { press(control<QPushButton>(m, "BitBtn23")); });
    paced([&] { pick(control<RadioGroup>(m, "RadioGroup1"), 3); });   // Audio Level "3"
    paced([&] { toggle(control<QCheckBox>(m, "CheckBox2")); });      // "Remain time" off
    paced([&] { toggle(control<QCheckBox>(m, "CheckBox13")); });     // "Quality" off
    paced([&] { toggle(control<QCheckBox>(m, "CheckBox16")); });     // "Time code" off
    paced([&] { pick(control<RadioGroup>(m, "RadioGroup16"), 0); });  // insertion "OFF"
    paced([&] { pick(control<RadioGroup>(m, "RadioGroup23"), 1); });  // "Small"

    enter(MainWindow::ControlTab);
    pick(control<RadioGroup>(m, "RadioGroup3"), 3);  // "INTERMITTENT"
    control<QLineEdit>(m, "MaskEdit11")->setText(QStringLiteral("250"));
    pick(control<RadioGroup>(m, "RadioGroup17"), 2);  // "DUBBING PLAY"
    control<QLineEdit>(m, "MaskEdit10")->setText(QStringLiteral("15"));
    pick(control<RadioGroup>(m, "RadioGroup22"), 0);  // "Frame"
    press(control<QPushButton>(m, "Button16"));
    ASSERT_TRUE(waitDrained(10000));

    // What the recorder stored, byte for byte.
    const std::map<std::uint8_t, std::string> expected{
        {Op::TimecodeSettings, "0B"},
        {Op::Genlock, "01 01 01"},
        {Op::TestSignal, "02 01"},
        {Op::AudioInput, "00"},
        {Op::AudioChannels, "04"},
        {Op::AudioDelay, "07"},
        {Op::SampleRateConverter, "01"},
        {Op::CompressionQuality, "03"},
        {Op::Anc, "01"},
        {Op::Character, "06 04 05 06 00 10 00 0F 0D 00 0A 0C 00 11 00 01"},
        {Op::PlaybackMode, "02"},
        {Op::RecordMode, "04 FA 00"},
        {Op::StillMode, "00"},
    };
    for (const auto& [code, bytes] : expected) EXPECT_EQ(stored(code), bytes) << "setting 0x" << std::hex << int{code};
    EXPECT_EQ(sim.recorder().state().preroll, 0x15);
    const qz7sim::Position presetTo = sim.recorder().timecode();
    EXPECT_EQ(hex({presetTo.begin(), presetTo.end()}), "07 56 34 12") << "PRESET";
    // The status panel follows: preset time, reference from the genlock source, quality.
    EXPECT_TRUE(waitFor([&] { return control<QLabel>(m, "Label3")->text() == QStringLiteral("12") &&
                                     control<QLabel>(m, "Label30")->text() == QStringLiteral("34") &&
                                     control<QLabel>(m, "Label31")->text() == QStringLiteral("56") &&
                                     control<QLabel>(m, "Label32")->text() == QStringLiteral("07"); },
                        3000));
    EXPECT_TRUE(waitFor([&] { return control<QLabel>(m, "Label24")->text() == QStringLiteral("EXT"); }, 3000));
    EXPECT_TRUE(waitFor([&] { return control<QLabel>(m, "Label11")->text() == QStringLiteral("LOSSLESS"); }, 3000));

    // With the link off, the controls go to other values; nothing reaches the recorder.
    control<DevicePage>(m, "TabSheet11")->scan();  // "Scan"
    ASSERT_FALSE(deck().linkEnabled());
    const qz7sim::State set = sim.recorder().state();
    pick(control<RadioGroup>(m, "RadioGroup4"), 0);
    pick(control<RadioGroup>(m, "RadioGroup5"), 0);
    pick(control<RadioGroup>(m, "RadioGroup6"), 0);
    pick(control<RadioGroup>(m, "RadioGroup7"), 2);
    pick(control<RadioGroup>(m, "RadioGroup20"), 0);
    pick(control<RadioGroup>(m, "RadioGroup21"), 0);
    pick(control<RadioGroup>(m, "RadioGroup8"), 3);
    pick(control<RadioGroup>(m, "RadioGroup9"), 0);
    pick(control<RadioGroup>(m, "RadioGroup10"), 1);
    pick(control<RadioGroup>(m, "RadioGroup11"), 3);
    pick(control<RadioGroup>(m, "RadioGroup12"), 0);
    pick(control<RadioGroup>(m, "RadioGroup13"), 2);
    pick(control<RadioGroup>(m, "RadioGroup14"), 1);
    pick(control<RadioGroup>(m, "RadioGroup15"), 0);
    for (int i = 0; i < 3; ++i) press(control<QPushButton>(m, "BitBtn24"));
    for (int i = 0; i < 2; ++i) press(control<QPushButton>(m, "BitBtn19"));
    pick(control<RadioGroup>(m, "RadioGroup1"), 0);
    toggle(control<QCheckBox>(m, "CheckBox1"));
    toggle(control<QCheckBox>(m, "CheckBox2"));
    toggle(control<QCheckBox>(m, "CheckBox13"));
    pick(control<RadioGroup>(m, "RadioGroup16"), 1);
    pick(control<RadioGroup>(m, "RadioGroup23"), 0);
    pick(control<RadioGroup>(m, "RadioGroup3"), 1);
    control<QLineEdit>(m, "MaskEdit11")->setText(QStringLiteral("040"));
    pick(control<RadioGroup>(m, "RadioGroup17"), 1);
    control<QLineEdit>(m, "MaskEdit10")->setText(QStringLiteral("09"));
    pick(control<RadioGroup>(m, "RadioGroup22"), 1);
    ASSERT_EQ(character->horizontal(), 3);
    ASSERT_EQ(character->vertical(), 2);
    ASSERT_TRUE(waitDrained(3000));
    EXPECT_TRUE(sim.recorder().state().settings == set.settings) << "a command went out with the link off";
    EXPECT_EQ(sim.recorder().state().preroll, set.preroll);

    // "Apply" again, then each page shows the recorder's values once entered.
    apply(0);
    ASSERT_TRUE(waitDrained(5000));
    revisit(MainWindow::TimecodeTab);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup4")->itemIndex(), 2);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup5")->itemIndex(), 1);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup6")->itemIndex(), 1);
    revisit(MainWindow::GenlockTab);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup7")->itemIndex(), 1);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup20")->itemIndex(), 1);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup21")->itemIndex(), 1);
    revisit(MainWindow::TestSignalTab);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup8")->itemIndex(), 2);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup9")->itemIndex(), 1);
    revisit(MainWindow::AudioTab);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup10")->itemIndex(), 0) << "input, from the status reply";
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup11")->itemIndex(), 2) << "channels, from the status reply";
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup12")->itemIndex(), 1) << "converter, from the status reply";
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup13")->itemIndex(), 7);
    revisit(MainWindow::VideoTab);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup14")->itemIndex(), 3);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup15")->itemIndex(), 1);
    revisit(MainWindow::CharacterTab);
    EXPECT_EQ(hex(characterBytes(character)), expected.at(Op::Character));
    revisit(MainWindow::ControlTab);
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup3")->itemIndex(), 3);
    EXPECT_EQ(maskedText(control<QLineEdit>(m, "MaskEdit11")), QStringLiteral("250"));
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup17")->itemIndex(), 2);
    EXPECT_EQ(maskedText(control<QLineEdit>(m, "MaskEdit10")), QStringLiteral("15")) << "preroll time";
    EXPECT_EQ(control<RadioGroup>(m, "RadioGroup22")->itemIndex(), 0);

    // Looking at the pages changed nothing on the recorder. The Character
    // answer changed six controls of the page, and each change sends the page;
    // whatever reaches the recorder must leave it holding what it answered.
    for (const auto& [code, bytes] : expected)
        EXPECT_EQ(stored(code), bytes) << "setting 0x" << std::hex << int{code} << " after the read-back";
    EXPECT_EQ(sim.recorder().state().preroll, 0x15);
    // A second look at the Character page shows the same as the first.
    revisit(MainWindow::CharacterTab);
    EXPECT_EQ(hex(characterBytes(character)), expected.at(Op::Character)) << "second visit";
    EXPECT_EQ(ErrorBox::shownCount(), 0) << ErrorBox::lastMessage().toStdString();
}

}  // namespace
}  // namespace qz7::test
