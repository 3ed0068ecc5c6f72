// The settings pages turn the operator's choices into exact packets.
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "panel_fixture.h"
#include "settings_helpers.h"
#include "ui/audio_page.h"
#include "ui/config_page.h"
#include "ui/confirmation_dialog.h"
#include "ui/control_page.h"
#include "ui/genlock_page.h"
#include "ui/test_signal_page.h"
#include "ui/timecode_page.h"
#include "ui/video_page.h"

namespace qz7::test {
namespace {

class SettingsPagesTest : public PanelTest {};

TEST_F(SettingsPagesTest, TimecodeSetPacksSourceCountAndUserBitIntoOneByte) {
    TimecodePage* page = main().timecodePage();
    press(page->setButton);
    pick(page->sourceGroup, 3);  // "PB"
    pick(page->countGroup, 1);  // "Drop frame"
    pick(page->userBitGroup, 1);  // "EXT"
    press(page->setButton);
    pick(page->sourceGroup, 0);  // "EXT"
    pick(page->countGroup, 0);
    pick(page->userBitGroup, 0);
    press(page->setButton);

    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0], (Bytes{0x3E, 0x01, 0x34, 0x72, 0x10, 0xF5}));
    EXPECT_EQ(q[1][4], 0x0F);
    EXPECT_EQ(q[2][4], 0x00);
}

TEST_F(SettingsPagesTest, PresetSendsTheFieldsHoursFirstAndResetZeroesThem) {
    TimecodePage* page = main().timecodePage();
    page->presetHoursEdit->setText(QStringLiteral("01"));
    page->presetMinutesEdit->setText(QStringLiteral("02"));
    page->presetSecondsEdit->setText(QStringLiteral("03"));
    page->presetFramesEdit->setText(QStringLiteral("04"));
    press(page->presetButton);
    page->presetHoursEdit->setText(QStringLiteral("12"));
    press(page->resetButton);
    press(page->presetButton);

    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0], withSum({0x3E, 0x04, 0x34, 0x73, 0x01, 0x02, 0x03, 0x04}));
    EXPECT_EQ(q[1], (Bytes{0x3E, 0x04, 0x34, 0x73, 0x00, 0x00, 0x00, 0x00, 0xE9}));
    EXPECT_EQ(q[2], q[1]);
    for (QLineEdit* e : {page->presetHoursEdit, page->presetMinutesEdit, page->presetSecondsEdit, page->presetFramesEdit})
        EXPECT_EQ(e->text(), QStringLiteral("00"));
}

TEST_F(SettingsPagesTest, GenlockAndTestSignalSendTheirItemIndexes) {
    GenlockPage* genlock = main().genlockPage();
    pick(genlock->sourceGroup, 3);   // "Internal"
    pick(genlock->fixedStandardGroup, 1);  // "1080/59.94i"
    pick(genlock->psfGroup, 1);  // "ON"
    press(genlock->setButton);

    TestSignalPage* test = main().testSignalPage();
    pick(test->videoGroup, 1);  // "Color bar"
    pick(test->audioGroup, 1);  // "1 kHz"
    press(test->setButton);
    pick(test->videoGroup, 3);  // "Black"
    pick(test->audioGroup, 0);
    press(test->setButton);

    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0], withSum({0x3E, 0x03, 0x34, 0x65, 0x03, 0x01, 0x01}));
    EXPECT_EQ(q[1], (Bytes{0x3E, 0x02, 0x34, 0x76, 0x01, 0x01, 0xEC}));
    EXPECT_EQ(q[2], withSum({0x3E, 0x02, 0x34, 0x76, 0x03, 0x00}));
}

TEST_F(SettingsPagesTest, AudioSetQueuesInputChannelsDelayConverterSoTheConverterGoesFirst) {
    AudioPage* page = main().audioPage();
    press(page->setButton);
    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(q[0], withSum({0x3E, 0x01, 0x34, 0x66, 0x01}));
    EXPECT_EQ(q[1], withSum({0x3E, 0x01, 0x34, 0x67, 0x08}));
    EXPECT_EQ(q[2], withSum({0x3E, 0x01, 0x34, 0x77, 0x00}));
    EXPECT_EQ(q[3], (Bytes{0x3E, 0x01, 0x34, 0x68, 0x00, 0xDB}));

    // Channel items map to counts; the delay is the item index in half frames.
    const std::pair<int, std::uint8_t> channels[] = {{0, 0x00}, {1, 0x02}, {3, 0x06}};
    for (auto [item, count] : channels) {
        pick(page->channelsGroup, item);
        pick(page->delayGroup, 11);  // "5.5"
        pick(page->inputGroup, 0);   // "Embedded"
        pick(page->converterGroup, 1);   // "ON"
        press(page->setButton);
        const auto t = takeTransmitOrder();
        ASSERT_EQ(t.size(), 4u);
        EXPECT_EQ(t[0][4], 0x01) << "converter";
        EXPECT_EQ(t[1][4], 0x0B) << "delay";
        EXPECT_EQ(t[2][4], count) << "channels item " << item;
        EXPECT_EQ(t[3][4], 0x00) << "input";
    }
}

TEST_F(SettingsPagesTest, VideoSetSendsAncBeforeQualityAndOutputPhaseSendsNothing) {
    VideoPage* page = main().videoPage();
    page->hPhaseEdit->setText(QStringLiteral("12"));
    page->hPhaseArrows->stepUp();
    page->vPhaseArrows->stepDown();
    EXPECT_TRUE(takeQueued().empty());

    pick(page->qualityGroup, 3);  // "Lossless"
    pick(page->ancGroup, 1);  // "ON"
    press(page->setButton);
    const auto t = takeTransmitOrder();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], (Bytes{0x3E, 0x01, 0x34, 0x79, 0x01, 0xED}));
    EXPECT_EQ(t[1], withSum({0x3E, 0x01, 0x34, 0x64, 0x03}));
}

TEST_F(SettingsPagesTest, ControlSetQueuesPlaybackRecordPrerollStill) {
    ControlPage* page = main().controlPage();
    press(page->setButton);
    auto q = takeQueued();
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(q[0], withSum({0x3E, 0x01, 0x34, 0x71, 0x00}));
    EXPECT_EQ(q[1], withSum({0x3E, 0x03, 0x34, 0x70, 0x00, 0x1E, 0x00}));
    EXPECT_EQ(q[2], (Bytes{0x44, 0x31, 0x00, 0x06, 0x00, 0x00, 0x7B}));
    EXPECT_EQ(q[3], withSum({0x3E, 0x01, 0x34, 0x8B, 0x01}));

    pick(page->recordModeGroup, 3);  // "INTERMITTENT"
    page->rateEdit->setText(QStringLiteral("300"));
    page->prerollEdit->setText(QStringLiteral("15"));
    pick(page->playbackModeGroup, 2);  // "DUBBING PLAY"
    pick(page->stillModeGroup, 0);  // "Frame"
    press(page->setButton);
    q = takeQueued();
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(q[0][4], 0x02);
    EXPECT_EQ(Bytes(q[1].begin() + 4, q[1].end() - 1), (Bytes{0x04, 0x2C, 0x01}));
    EXPECT_EQ(q[2][3], 0x15);
    EXPECT_EQ(q[3][4], 0x00);
}

TEST_F(SettingsPagesTest, RateWithABlankPositionFailsAfterThePlaybackMode) {
    ControlPage* page = main().controlPage();
    page->rateEdit->setText(QStringLiteral("03"));
    press(page->setButton);
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_EQ(ErrorBox::lastMessage(), QStringLiteral("'03 ' は整数ではありません"));
    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0], withSum({0x3E, 0x01, 0x34, 0x71, 0x00}));
}

TEST_F(SettingsPagesTest, HddEraseQueuesOnlyAfterOk) {
    ConfigPage* page = main().configPage();
    ConfirmationDialog* confirm = forms->confirmationDialog();

    whenModalShows([confirm](QWidget*) { press(confirm->cancelButton); });
    press(page->eraseDisksButton);
    EXPECT_TRUE(takeQueued().empty());

    pick(page->diskConfigurationGroup, 1);  // "RAID 1 (Mirroring)"
    whenModalShows([confirm](QWidget*) { press(confirm->okButton); });
    press(page->eraseDisksButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x01, 0x32, 0x00, 0x01, 0x72}}));

    // A second erase asks again; closing the window is no "OK".
    bool asked = false;
    whenModalShows([&asked, confirm](QWidget*) {
        asked = true;
        confirm->close();
    });
    press(page->eraseDisksButton);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(takeQueued().empty());
}

}  // namespace
}  // namespace qz7::test
