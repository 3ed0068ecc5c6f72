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
        main().pages()->setCurrentIndex(page);
        ASSERT_TRUE(waitDrained(5000));
    }
    // Away and back, as the operator does to see the recorder's values again.
    void revisit(int page) {
        main().pages()->setCurrentIndex(MainWindow::ConfigTab);
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
    StatusPanel* status = m.statusPanel();

    TimecodePage* timecode = m.timecodePage();
    enter(MainWindow::TimecodeTab);
    pick(timecode->sourceGroup, 2);  // "VITC"
    pick(timecode->countGroup, 1);  // "Drop frame"
    pick(timecode->userBitGroup, 1);  // "EXT"
    press(timecode->setButton);
    timecode->presetHoursEdit->setText(QStringLiteral("12"));
    timecode->presetMinutesEdit->setText(QStringLiteral("34"));
    timecode->presetSecondsEdit->setText(QStringLiteral("56"));
    timecode->presetFramesEdit->setText(QStringLiteral("07"));
    press(timecode->presetButton);

    GenlockPage* genlock = m.genlockPage();
    enter(MainWindow::GenlockTab);
    pick(genlock->sourceGroup, 1);   // "EXT"
    pick(genlock->fixedStandardGroup, 1);  // "1080/59.94i"
    pick(genlock->psfGroup, 1);  // PSF "ON"
    press(genlock->setButton);

    TestSignalPage* testSignal = m.testSignalPage();
    enter(MainWindow::TestSignalTab);
    pick(testSignal->videoGroup, 2);  // "Ramp"
    pick(testSignal->audioGroup, 1);  // "1 kHz"
    press(testSignal->setButton);

    AudioPage* audio = m.audioPage();
    enter(MainWindow::AudioTab);
    pick(audio->inputGroup, 0);  // "Embedded"
    pick(audio->channelsGroup, 2);  // "4"
    pick(audio->converterGroup, 1);  // converter "ON"
    pick(audio->delayGroup, 7);  // "3.5"
    press(audio->setButton);

    VideoPage* video = m.videoPage();
    enter(MainWindow::VideoTab);
    pick(video->qualityGroup, 3);  // "Lossless"
    pick(video->ancGroup, 1);  // ANC "ON"
    press(video->setButton);

    // The Character page sends the whole page on every change. An operator's
    // clicks are far apart next to the 40 ms command turn, so each command
    // has left before the next click. The recorder starts at 1, 1.
    CharacterPage* character = m.characterPage();
    enter(MainWindow::CharacterTab);
    EXPECT_EQ(character->horizontal(), 1);
    EXPECT_EQ(character->vertical(), 1);
    const auto paced = [&](const std::function<void()>& click) {
        click();
        EXPECT_TRUE(waitFor([&] { return m.deck().commandsWaiting() == 0; }, 2000));
    };
    for (int i = 0; i < 5; ++i) paced([&] { press(character->rightButton); });
    for (int i = 0; i < 3; ++i) paced([&] { press(character->downButton); });
    paced([&] { pick(character->audioLevelGroup, 3); });   // Audio Level "3"
    paced([&] { toggle(character->remainTimeBox); });      // "Remain time" off
    paced([&] { toggle(character->qualityBox); });     // "Quality" off
    paced([&] { toggle(character->timeCodeBox); });     // "Time code" off
    paced([&] { pick(character->insertionGroup, 0); });  // insertion "OFF"
    paced([&] { pick(character->sizeGroup, 1); });  // "Small"

    ControlPage* control = m.controlPage();
    enter(MainWindow::ControlTab);
    pick(control->recordModeGroup, 3);  // "INTERMITTENT"
    control->rateEdit->setText(QStringLiteral("250"));
    pick(control->playbackModeGroup, 2);  // "DUBBING PLAY"
    control->prerollEdit->setText(QStringLiteral("15"));
    pick(control->stillModeGroup, 0);  // "Frame"
    press(control->setButton);
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
    EXPECT_TRUE(waitFor([&] { return status->hoursLabel->text() == QStringLiteral("12") &&
                                     status->minutesLabel->text() == QStringLiteral("34") &&
                                     status->secondsLabel->text() == QStringLiteral("56") &&
                                     status->framesLabel->text() == QStringLiteral("07"); },
                        3000));
    EXPECT_TRUE(waitFor([&] { return status->referenceLabel->text() == QStringLiteral("EXT"); }, 3000));
    EXPECT_TRUE(waitFor([&] { return status->qualityLabel->text() == QStringLiteral("LOSSLESS"); }, 3000));

    // With the link off, the controls go to other values; nothing reaches the recorder.
    m.devicePage()->scan();  // "Scan"
    ASSERT_FALSE(m.deck().linkEnabled());
    const qz7sim::State set = sim.recorder().state();
    pick(timecode->sourceGroup, 0);
    pick(timecode->countGroup, 0);
    pick(timecode->userBitGroup, 0);
    pick(genlock->sourceGroup, 2);
    pick(genlock->fixedStandardGroup, 0);
    pick(genlock->psfGroup, 0);
    pick(testSignal->videoGroup, 3);
    pick(testSignal->audioGroup, 0);
    pick(audio->inputGroup, 1);
    pick(audio->channelsGroup, 3);
    pick(audio->converterGroup, 0);
    pick(audio->delayGroup, 2);
    pick(video->qualityGroup, 1);
    pick(video->ancGroup, 0);
    for (int i = 0; i < 3; ++i) press(character->leftButton);
    for (int i = 0; i < 2; ++i) press(character->upButton);
    pick(character->audioLevelGroup, 0);
    toggle(character->diskModeBox);
    toggle(character->remainTimeBox);
    toggle(character->qualityBox);
    pick(character->insertionGroup, 1);
    pick(character->sizeGroup, 0);
    pick(control->recordModeGroup, 1);
    control->rateEdit->setText(QStringLiteral("040"));
    pick(control->playbackModeGroup, 1);
    control->prerollEdit->setText(QStringLiteral("09"));
    pick(control->stillModeGroup, 1);
    ASSERT_EQ(character->horizontal(), 3);
    ASSERT_EQ(character->vertical(), 2);
    ASSERT_TRUE(waitDrained(3000));
    EXPECT_TRUE(sim.recorder().state().settings == set.settings) << "a command went out with the link off";
    EXPECT_EQ(sim.recorder().state().preroll, set.preroll);

    // "Apply" again, then each page shows the recorder's values once entered.
    apply(0);
    ASSERT_TRUE(waitDrained(5000));
    revisit(MainWindow::TimecodeTab);
    EXPECT_EQ(timecode->sourceGroup->itemIndex(), 2);
    EXPECT_EQ(timecode->countGroup->itemIndex(), 1);
    EXPECT_EQ(timecode->userBitGroup->itemIndex(), 1);
    revisit(MainWindow::GenlockTab);
    EXPECT_EQ(genlock->sourceGroup->itemIndex(), 1);
    EXPECT_EQ(genlock->fixedStandardGroup->itemIndex(), 1);
    EXPECT_EQ(genlock->psfGroup->itemIndex(), 1);
    revisit(MainWindow::TestSignalTab);
    EXPECT_EQ(testSignal->videoGroup->itemIndex(), 2);
    EXPECT_EQ(testSignal->audioGroup->itemIndex(), 1);
    revisit(MainWindow::AudioTab);
    EXPECT_EQ(audio->inputGroup->itemIndex(), 0) << "input, from the status reply";
    EXPECT_EQ(audio->channelsGroup->itemIndex(), 2) << "channels, from the status reply";
    EXPECT_EQ(audio->converterGroup->itemIndex(), 1) << "converter, from the status reply";
    EXPECT_EQ(audio->delayGroup->itemIndex(), 7);
    revisit(MainWindow::VideoTab);
    EXPECT_EQ(video->qualityGroup->itemIndex(), 3);
    EXPECT_EQ(video->ancGroup->itemIndex(), 1);
    revisit(MainWindow::CharacterTab);
    EXPECT_EQ(hex(characterBytes(character)), expected.at(Op::Character));
    revisit(MainWindow::ControlTab);
    EXPECT_EQ(control->recordModeGroup->itemIndex(), 3);
    EXPECT_EQ(maskedText(control->rateEdit), QStringLiteral("250"));
    EXPECT_EQ(control->playbackModeGroup->itemIndex(), 2);
    EXPECT_EQ(maskedText(control->prerollEdit), QStringLiteral("15")) << "preroll time";
    EXPECT_EQ(control->stillModeGroup->itemIndex(), 0);

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
