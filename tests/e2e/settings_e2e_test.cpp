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
#include "ui/audio_page.h"
#include "ui/character_page.h"
#include "ui/control_page.h"
#include "ui/device_page.h"
#include "ui/error_box.h"
#include "ui/genlock_page.h"
#include "ui/radio_group.h"
#include "ui/status_panel.h"
#include "ui/test_signal_page.h"
#include "ui/timecode_page.h"
#include "ui/video_page.h"
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
        main().PageControl1()->setCurrentIndex(page);
        ASSERT_TRUE(waitDrained(5000));
    }
    // Away and back, as the operator does to see the recorder's values again.
    void revisit(int page) {
        main().PageControl1()->setCurrentIndex(TForm1::ConfigTab);
        enter(page);
    }
    std::string stored(std::uint8_t code) { return hex(sims_.front()->recorder().setting(code)); }
};

TEST_F(SettingsE2E, EveryPageIsStoredByTheRecorderAndReadBackOnEnteringIt) {
    qz7sim::SimServer& sim = startSim(QStringLiteral("127.0.0.43"));
    TForm1& m = startPanel(DevicePair{QStringLiteral("127.0.0.43"), QStringLiteral("QA51200040"),
                                      QStringLiteral("127.0.0.43"), QStringLiteral("QA51200041"), true});
    m.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
    apply(0);
    ASSERT_TRUE(waitDrained(5000));
    StatusPanel* status = m.statusPanel();

    TimecodePage* timecode = m.timecodePage();
    enter(TForm1::TimecodeTab);
    pick(timecode->RadioGroup4, 2);  // "VITC"
    pick(timecode->RadioGroup5, 1);  // "Drop frame"
    pick(timecode->RadioGroup6, 1);  // "EXT"
    press(timecode->Button3);
    timecode->MaskEdit12->setText(QStringLiteral("12"));
    timecode->MaskEdit13->setText(QStringLiteral("34"));
    timecode->MaskEdit14->setText(QStringLiteral("56"));
    timecode->MaskEdit15->setText(QStringLiteral("07"));
    press(timecode->Button4);  // PRESET

    GenlockPage* genlock = m.genlockPage();
    enter(TForm1::GenlockTab);
    pick(genlock->RadioGroup7, 1);   // "EXT"
    pick(genlock->RadioGroup20, 1);  // "1080/59.94i"
    pick(genlock->RadioGroup21, 1);  // PSF "ON"
    press(genlock->Button12);

    TestSignalPage* testSignal = m.testSignalPage();
    enter(TForm1::TestSignalTab);
    pick(testSignal->RadioGroup8, 2);  // "Ramp"
    pick(testSignal->RadioGroup9, 1);  // "1 kHz"
    press(testSignal->Button10);

    AudioPage* audio = m.audioPage();
    enter(TForm1::AudioTab);
    pick(audio->RadioGroup10, 0);  // "Embedded"
    pick(audio->RadioGroup11, 2);  // "4"
    pick(audio->RadioGroup12, 1);  // converter "ON"
    pick(audio->RadioGroup13, 7);  // "3.5"
    press(audio->Button8);

    VideoPage* video = m.videoPage();
    enter(TForm1::VideoTab);
    pick(video->RadioGroup14, 3);  // "Lossless"
    pick(video->RadioGroup15, 1);  // ANC "ON"
    press(video->Button11);

    // The Character page sends the whole page on every change. An operator's
    // clicks are far apart next to the 40 ms command turn, so each command
    // has left before the next click. The recorder starts at 1, 1.
    CharacterPage* character = m.characterPage();
    enter(TForm1::CharacterTab);
    EXPECT_EQ(character->horizontal(), 1);
    EXPECT_EQ(character->vertical(), 1);
    const auto paced = [&](const std::function<void()>& click) {
        click();
        EXPECT_TRUE(waitFor([&] { return m.deck().commandsWaiting() == 0; }, 2000));
    };
    for (int i = 0; i < 5; ++i) paced([&] { press(character->BitBtn29); });  // R
    for (int i = 0; i < 3; ++i) paced([&] { press(character->BitBtn23); });  // D
    paced([&] { pick(character->RadioGroup1, 3); });   // Audio Level "3"
    paced([&] { toggle(character->CheckBox2); });      // "Remain time" off
    paced([&] { toggle(character->CheckBox13); });     // "Quality" off
    paced([&] { toggle(character->CheckBox16); });     // "Time code" off
    paced([&] { pick(character->RadioGroup16, 0); });  // insertion "OFF"
    paced([&] { pick(character->RadioGroup23, 1); });  // "Small"

    ControlPage* control = m.controlPage();
    enter(TForm1::ControlTab);
    pick(control->RadioGroup3, 3);  // "INTERMITTENT"
    control->MaskEdit11->setText(QStringLiteral("250"));
    pick(control->RadioGroup17, 2);  // "DUBBING PLAY"
    control->MaskEdit10->setText(QStringLiteral("15"));
    pick(control->RadioGroup22, 0);  // "Frame"
    press(control->Button16);
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
    EXPECT_TRUE(waitFor([&] { return status->Label3->text() == QStringLiteral("12") &&
                                     status->Label30->text() == QStringLiteral("34") &&
                                     status->Label31->text() == QStringLiteral("56") &&
                                     status->Label32->text() == QStringLiteral("07"); },
                        3000));
    EXPECT_TRUE(waitFor([&] { return status->Label24->text() == QStringLiteral("EXT"); }, 3000));
    EXPECT_TRUE(waitFor([&] { return status->Label11->text() == QStringLiteral("LOSSLESS"); }, 3000));

    // With the link off, the controls go to other values; nothing reaches the recorder.
    m.devicePage()->Button2Click();  // "Scan"
    ASSERT_FALSE(m.deck().linkEnabled());
    const qz7sim::State set = sim.recorder().state();
    pick(timecode->RadioGroup4, 0);
    pick(timecode->RadioGroup5, 0);
    pick(timecode->RadioGroup6, 0);
    pick(genlock->RadioGroup7, 2);
    pick(genlock->RadioGroup20, 0);
    pick(genlock->RadioGroup21, 0);
    pick(testSignal->RadioGroup8, 3);
    pick(testSignal->RadioGroup9, 0);
    pick(audio->RadioGroup10, 1);
    pick(audio->RadioGroup11, 3);
    pick(audio->RadioGroup12, 0);
    pick(audio->RadioGroup13, 2);
    pick(video->RadioGroup14, 1);
    pick(video->RadioGroup15, 0);
    for (int i = 0; i < 3; ++i) press(character->BitBtn24);  // L
    for (int i = 0; i < 2; ++i) press(character->BitBtn19);  // U
    pick(character->RadioGroup1, 0);
    toggle(character->CheckBox1);
    toggle(character->CheckBox2);
    toggle(character->CheckBox13);
    pick(character->RadioGroup16, 1);
    pick(character->RadioGroup23, 0);
    pick(control->RadioGroup3, 1);
    control->MaskEdit11->setText(QStringLiteral("040"));
    pick(control->RadioGroup17, 1);
    control->MaskEdit10->setText(QStringLiteral("09"));
    pick(control->RadioGroup22, 1);
    ASSERT_EQ(character->horizontal(), 3);
    ASSERT_EQ(character->vertical(), 2);
    ASSERT_TRUE(waitDrained(3000));
    EXPECT_TRUE(sim.recorder().state().settings == set.settings) << "a command went out with the link off";
    EXPECT_EQ(sim.recorder().state().preroll, set.preroll);

    // "Apply" again, then each page shows the recorder's values once entered.
    apply(0);
    ASSERT_TRUE(waitDrained(5000));
    revisit(TForm1::TimecodeTab);
    EXPECT_EQ(timecode->RadioGroup4->itemIndex(), 2);
    EXPECT_EQ(timecode->RadioGroup5->itemIndex(), 1);
    EXPECT_EQ(timecode->RadioGroup6->itemIndex(), 1);
    revisit(TForm1::GenlockTab);
    EXPECT_EQ(genlock->RadioGroup7->itemIndex(), 1);
    EXPECT_EQ(genlock->RadioGroup20->itemIndex(), 1);
    EXPECT_EQ(genlock->RadioGroup21->itemIndex(), 1);
    revisit(TForm1::TestSignalTab);
    EXPECT_EQ(testSignal->RadioGroup8->itemIndex(), 2);
    EXPECT_EQ(testSignal->RadioGroup9->itemIndex(), 1);
    revisit(TForm1::AudioTab);
    EXPECT_EQ(audio->RadioGroup10->itemIndex(), 0) << "input, from the status reply";
    EXPECT_EQ(audio->RadioGroup11->itemIndex(), 2) << "channels, from the status reply";
    EXPECT_EQ(audio->RadioGroup12->itemIndex(), 1) << "converter, from the status reply";
    EXPECT_EQ(audio->RadioGroup13->itemIndex(), 7);
    revisit(TForm1::VideoTab);
    EXPECT_EQ(video->RadioGroup14->itemIndex(), 3);
    EXPECT_EQ(video->RadioGroup15->itemIndex(), 1);
    revisit(TForm1::CharacterTab);
    EXPECT_EQ(hex(characterBytes(character)), expected.at(Op::Character));
    revisit(TForm1::ControlTab);
    EXPECT_EQ(control->RadioGroup3->itemIndex(), 3);
    EXPECT_EQ(maskedText(control->MaskEdit11), QStringLiteral("250"));
    EXPECT_EQ(control->RadioGroup17->itemIndex(), 2);
    EXPECT_EQ(maskedText(control->MaskEdit10), QStringLiteral("15")) << "preroll time";
    EXPECT_EQ(control->RadioGroup22->itemIndex(), 0);

    // Looking at the pages changed nothing on the recorder. The Character
    // answer changed six controls of the page, and each change sends the page;
    // whatever reaches the recorder must leave it holding what it answered.
    for (const auto& [code, bytes] : expected)
        EXPECT_EQ(stored(code), bytes) << "setting 0x" << std::hex << int{code} << " after the read-back";
    EXPECT_EQ(sim.recorder().state().preroll, 0x15);
    // A second look at the Character page shows the same as the first.
    revisit(TForm1::CharacterTab);
    EXPECT_EQ(hex(characterBytes(character)), expected.at(Op::Character)) << "second visit";
    EXPECT_EQ(ErrorBox::shownCount(), 0) << ErrorBox::lastMessage().toStdString();
}

}  // namespace
}  // namespace qz7::test
