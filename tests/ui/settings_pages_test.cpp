// The settings pages turn the operator's choices into exact packets.
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "panel_fixture.h"
#include "settings_helpers.h"
#include "ui/confirmation_dialog.h"

namespace qz7::test {
namespace {

class SettingsPagesTest : public PanelTest {};

TEST_F(SettingsPagesTest, TimecodeSetPacksSourceCountAndUserBitIntoOneByte) {
    press(control<QPushButton>(main(), "Button3"));
    pick(control<RadioGroup>(main(), "RadioGroup4"), 3);  // "PB"
    pick(control<RadioGroup>(main(), "RadioGroup5"), 1);  // "Drop frame"
    pick(control<RadioGroup>(main(), "RadioGroup6"), 1);  // "EXT"
    press(control<QPushButton>(main(), "Button3"));
    pick(control<RadioGroup>(main(), "RadioGroup4"), 0);  // "EXT"
    pick(control<RadioGroup>(main(), "RadioGroup5"), 0);
    pick(control<RadioGroup>(main(), "RadioGroup6"), 0);
    press(control<QPushButton>(main(), "Button3"));

    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0], (Bytes{0x3E, 0x01, 0x34, 0x72, 0x10, 0xF5}));
    EXPECT_EQ(q[1][4], 0x0F);
    EXPECT_EQ(q[2][4], 0x00);
}

TEST_F(SettingsPagesTest, PresetSendsTheFieldsHoursFirstAndResetZeroesThem) {
    control<QLineEdit>(main(), "MaskEdit12")->setText(QStringLiteral("01"));
    control<QLineEdit>(main(), "MaskEdit13")->setText(QStringLiteral("02"));
    control<QLineEdit>(main(), "MaskEdit14")->setText(QStringLiteral("03"));
    control<QLineEdit>(main(), "MaskEdit15")->setText(QStringLiteral("04"));
    press(control<QPushButton>(main(), "Button4"));
    control<QLineEdit>(main(), "MaskEdit12")->setText(QStringLiteral("12"));
    press(control<QPushButton>(main(), "Button5"));
    press(control<QPushButton>(main(), "Button4"));

    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0], withSum({0x3E, 0x04, 0x34, 0x73, 0x01, 0x02, 0x03, 0x04}));
    EXPECT_EQ(q[1], (Bytes{0x3E, 0x04, 0x34, 0x73, 0x00, 0x00, 0x00, 0x00, 0xE9}));
    EXPECT_EQ(q[2], q[1]);
    for (QLineEdit* e : {control<QLineEdit>(main(), "MaskEdit12"), control<QLineEdit>(main(), "MaskEdit13"), control<QLineEdit>(main(), "MaskEdit14"), control<QLineEdit>(main(), "MaskEdit15")})
        EXPECT_EQ(e->text(), QStringLiteral("00"));
}

TEST_F(SettingsPagesTest, GenlockAndTestSignalSendTheirItemIndexes) {
    pick(control<RadioGroup>(main(), "RadioGroup7"), 3);   // "Internal"
    pick(control<RadioGroup>(main(), "RadioGroup20"), 1);  // "1080/59.94i"
    pick(control<RadioGroup>(main(), "RadioGroup21"), 1);  // "ON"
    press(control<QPushButton>(main(), "Button12"));

    pick(control<RadioGroup>(main(), "RadioGroup8"), 1);  // "Color bar"
    pick(control<RadioGroup>(main(), "RadioGroup9"), 1);  // "1 kHz"
    press(control<QPushButton>(main(), "Button10"));
    pick(control<RadioGroup>(main(), "RadioGroup8"), 3);  // "Black"
    pick(control<RadioGroup>(main(), "RadioGroup9"), 0);
    press(control<QPushButton>(main(), "Button10"));

    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0], withSum({0x3E, 0x03, 0x34, 0x65, 0x03, 0x01, 0x01}));
    EXPECT_EQ(q[1], (Bytes{0x3E, 0x02, 0x34, 0x76, 0x01, 0x01, 0xEC}));
    EXPECT_EQ(q[2], withSum({0x3E, 0x02, 0x34, 0x76, 0x03, 0x00}));
}

TEST_F(SettingsPagesTest, AudioSetQueuesInputChannelsDelayConverterSoTheConverterGoesFirst) {
    press(control<QPushButton>(main(), "Button8"));
    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(q[0], withSum({0x3E, 0x01, 0x34, 0x66, 0x01}));
    EXPECT_EQ(q[1], withSum({0x3E, 0x01, 0x34, 0x67, 0x08}));
    EXPECT_EQ(q[2], withSum({0x3E, 0x01, 0x34, 0x77, 0x00}));
    EXPECT_EQ(q[3], (Bytes{0x3E, 0x01, 0x34, 0x68, 0x00, 0xDB}));

    // Channel items map to counts; the delay is the item index in half frames.
    const std::pair<int, std::uint8_t> channels[] = {{0, 0x00}, {1, 0x02}, {3, 0x06}};
    for (auto [item, count] : channels) {
        pick(control<RadioGroup>(main(), "RadioGroup11"), item);
        pick(control<RadioGroup>(main(), "RadioGroup13"), 11);  // "5.5"
        pick(control<RadioGroup>(main(), "RadioGroup10"), 0);   // "Embedded"
        pick(control<RadioGroup>(main(), "RadioGroup12"), 1);   // "ON"
        press(control<QPushButton>(main(), "Button8"));
        const auto t = takeTransmitOrder();
        ASSERT_EQ(t.size(), 4u);
        EXPECT_EQ(t[0][4], 0x01) << "converter";
        EXPECT_EQ(t[1][4], 0x0B) << "delay";
        EXPECT_EQ(t[2][4], count) << "channels item " << item;
        EXPECT_EQ(t[3][4], 0x00) << "input";
    }
}

TEST_F(SettingsPagesTest, VideoSetSendsAncBeforeQualityAndOutputPhaseSendsNothing) {
    control<QLineEdit>(main(), "Edit17")->setText(QStringLiteral("12"));
    control<QSpinBox>(main(), "UpDown1")->stepUp();
    control<QSpinBox>(main(), "UpDown2")->stepDown();
    EXPECT_TRUE(takeQueued().empty());

    pick(control<RadioGroup>(main(), "RadioGroup14"), 3);  // "Lossless"
    pick(control<RadioGroup>(main(), "RadioGroup15"), 1);  // "ON"
    press(control<QPushButton>(main(), "Button11"));
    const auto t = takeTransmitOrder();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], (Bytes{0x3E, 0x01, 0x34, 0x79, 0x01, 0xED}));
    EXPECT_EQ(t[1], withSum({0x3E, 0x01, 0x34, 0x64, 0x03}));
}

TEST_F(SettingsPagesTest, ControlSetQueuesPlaybackRecordPrerollStill) {
    press(control<QPushButton>(main(), "Button16"));
    auto q = takeQueued();
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(q[0], withSum({0x3E, 0x01, 0x34, 0x71, 0x00}));
    EXPECT_EQ(q[1], withSum({0x3E, 0x03, 0x34, 0x70, 0x00, 0x1E, 0x00}));
    EXPECT_EQ(q[2], (Bytes{0x44, 0x31, 0x00, 0x06, 0x00, 0x00, 0x7B}));
    EXPECT_EQ(q[3], withSum({0x3E, 0x01, 0x34, 0x8B, 0x01}));

    pick(control<RadioGroup>(main(), "RadioGroup3"), 3);  // "INTERMITTENT"
    control<QLineEdit>(main(), "MaskEdit11")->setText(QStringLiteral("300"));
    control<QLineEdit>(main(), "MaskEdit10")->setText(QStringLiteral("15"));
    pick(control<RadioGroup>(main(), "RadioGroup17"), 2);  // "DUBBING PLAY"
    pick(control<RadioGroup>(main(), "RadioGroup22"), 0);  // "Frame"
    press(control<QPushButton>(main(), "Button16"));
    q = takeQueued();
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(q[0][4], 0x02);
    EXPECT_EQ(Bytes(q[1].begin() + 4, q[1].end() - 1), (Bytes{0x04, 0x2C, 0x01}));
    EXPECT_EQ(q[2][3], 0x15);
    EXPECT_EQ(q[3][4], 0x00);
}

TEST_F(SettingsPagesTest, RateWithABlankPositionFailsAfterThePlaybackMode) {
    control<QLineEdit>(main(), "MaskEdit11")->setText(QStringLiteral("03"));
    press(control<QPushButton>(main(), "Button16"));
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_EQ(ErrorBox::lastMessage(), QStringLiteral("'03 ' は整数ではありません"));
    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0], withSum({0x3E, 0x01, 0x34, 0x71, 0x00}));
}

TEST_F(SettingsPagesTest, HddEraseQueuesOnlyAfterOk) {
    ConfirmationDialog* confirm = forms->confirmationDialog();

    whenModalShows([confirm](QWidget*) { press(confirm->cancelButton); });
    press(control<QPushButton>(main(), "Button9"));
    EXPECT_TRUE(takeQueued().empty());

    pick(control<RadioGroup>(main(), "RadioGroup2"), 1);  // "RAID 1 (Mirroring)"
    whenModalShows([confirm](QWidget*) { press(confirm->okButton); });
    press(control<QPushButton>(main(), "Button9"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x01, 0x32, 0x00, 0x01, 0x72}}));

    // A second erase asks again; closing the window is no "OK".
    bool asked = false;
    whenModalShows([&asked, confirm](QWidget*) {
        asked = true;
        confirm->close();
    });
    press(control<QPushButton>(main(), "Button9"));
    EXPECT_TRUE(asked);
    EXPECT_TRUE(takeQueued().empty());
}

}  // namespace
}  // namespace qz7::test
