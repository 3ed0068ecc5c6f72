// Entering a settings page reads it back from the recorder; the answers set
// the controls as an operator click would, and read-back never sends.
#include <QLineEdit>
#include <QTabWidget>

#include "deck/deck.h"
#include "deck/deck_settings.h"
#include "panel_fixture.h"
#include "settings_helpers.h"
#include "ui/control_page.h"

namespace qz7::test {
namespace {

class SettingsReadbackTest : public PanelTest {
protected:
    std::vector<Bytes> enter(int tab) {
        control<QTabWidget>(main(), "PageControl1")->setCurrentIndex(tab);
        return takeQueued();
    }
    static Bytes request(std::uint8_t code) { return withSum({0x3E, 0x00, 0x36, code}); }
    void answer(std::uint8_t code, const Bytes& data) { feed(reply(Group::Answer, code, data)); }
};

TEST_F(SettingsReadbackTest, EachPageQueuesItsRequestsInOrder) {
    EXPECT_EQ(enter(MainWindow::TimecodeTab), std::vector<Bytes>{request(0x72)});
    EXPECT_EQ(enter(MainWindow::GenlockTab), std::vector<Bytes>{request(0x65)});
    EXPECT_EQ(enter(MainWindow::TestSignalTab), std::vector<Bytes>{request(0x76)});
    EXPECT_FALSE(deck().settings().audioReadbackPending());
    EXPECT_EQ(enter(MainWindow::AudioTab), std::vector<Bytes>{request(0x77)});
    EXPECT_TRUE(deck().settings().audioReadbackPending());
    EXPECT_EQ(enter(MainWindow::VideoTab), (std::vector<Bytes>{request(0x64), request(0x79)}));
    EXPECT_EQ(request(0x79), (Bytes{0x3E, 0x00, 0x36, 0x79, 0xED}));
    EXPECT_EQ(enter(MainWindow::CharacterTab), std::vector<Bytes>{request(0x78)});

    control<QTabWidget>(main(), "PageControl1")->setCurrentIndex(MainWindow::ControlTab);
    EXPECT_EQ(takeTransmitOrder(), (std::vector<Bytes>{{0x3E, 0x00, 0x36, 0x8B, 0xFF},
                                                       {0x60, 0x31, 0x91},
                                                       request(0x71),
                                                       request(0x70)}));

    EXPECT_TRUE(enter(MainWindow::ClipTab).empty());
    EXPECT_TRUE(enter(MainWindow::SequenceTab).empty()) << "no sequence is in use";
    EXPECT_TRUE(enter(MainWindow::ConfigTab).empty());
    EXPECT_TRUE(enter(MainWindow::DeviceTab).empty());
}

TEST_F(SettingsReadbackTest, TimecodeGenlockAndTestSignalAnswersSetAndClampTheirGroups) {
    answer(0x72, {0x0F});  // "PB", "Drop frame", "EXT"
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup4")->itemIndex(), 3);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup5")->itemIndex(), 1);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup6")->itemIndex(), 1);
    answer(0x72, {0x1C});  // source 7 is past the end
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup4")->itemIndex(), 4);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup5")->itemIndex(), 0);

    answer(0x65, {0x07, 0x01, 0x03});  // masked 3, 1, 3 past a two-item group
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup7")->itemIndex(), 3);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup20")->itemIndex(), 1);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup21")->itemIndex(), 1);

    answer(0x76, {0x06, 0x01});  // video 6 shows "Black"
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup8")->itemIndex(), 3);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup9")->itemIndex(), 1);

    EXPECT_EQ(control<QLineEdit>(main(), "MaskEdit12")->text(), QStringLiteral("00")) << "preset fields are not read back";
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(SettingsReadbackTest, AudioDelayAndVideoAnswers) {
    answer(0x77, {0x0B});
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup13")->itemIndex(), 11);  // "5.5"
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup10")->itemIndex(), 1) << "the delay answer leaves the input alone";
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup11")->itemIndex(), 4) << "and the channels";
    answer(0x77, {0x0C});
    answer(0x77, {0xFF});
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup13")->itemIndex(), 11) << "out of range delays are ignored";

    answer(0x64, {0x03});
    answer(0x79, {0x03});
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup14")->itemIndex(), 3);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup15")->itemIndex(), 1);
    answer(0x64, {0x05});
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup14")->itemIndex(), 0);  // "High quality"
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(SettingsReadbackTest, ControlAnswers) {
    ControlPage* page = control<ControlPage>(main(), "TabSheet6");
    answer(0x70, {0x06, 0xC8, 0x00});
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup3")->itemIndex(), 2);  // "INHIBIT": bit 1 wins over bit 2
    EXPECT_EQ(control<QLineEdit>(main(), "MaskEdit11")->text(), QStringLiteral("200"));
    answer(0x70, {0x05, 0x1E, 0x00});
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup3")->itemIndex(), 1);  // "LOOP"
    EXPECT_EQ(control<QLineEdit>(main(), "MaskEdit11")->text(), QStringLiteral("030"));
    answer(0x70, {0x04, 0xE7, 0x03});
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup3")->itemIndex(), 3);
    EXPECT_EQ(control<QLineEdit>(main(), "MaskEdit11")->text(), QStringLiteral("999"));
    // 1000 frames cannot show in three digits: the field keeps its value
    // rather than show (and later send) 100.
    answer(0x70, {0x00, 0xE8, 0x03});
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup3")->itemIndex(), 0);
    EXPECT_EQ(control<QLineEdit>(main(), "MaskEdit11")->text(), QStringLiteral("999"));

    answer(0x71, {0x03});
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup17")->itemIndex(), 2);  // "DUBBING PLAY"
    answer(0x8B, {0x00});
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup22")->itemIndex(), 0);

    // The preroll answer travels unframed; its top bit is not part of the seconds.
    feed(withSum({0x74, 0x31, 0x00, 0x00, 0x00, 0x95}));
    EXPECT_EQ(control<QLineEdit>(main(), "MaskEdit10")->text(), QStringLiteral("15"));
    EXPECT_EQ(page->prerollText(), QStringLiteral("15"));
    feed(withSum({0x74, 0x31, 0x00, 0x00, 0x00, 0x2A}));
    EXPECT_EQ(page->prerollText(), QStringLiteral("15")) << "not two decimal digits";
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(SettingsReadbackTest, StatusAudioBitsApplyOnceAfterEnteringTheAudioPage) {
    const auto status = [this](std::uint8_t byte23) {
        Bytes s = blankReply(0x37, 0x60, 31);
        s[23] = byte23;
        fixSum(s);
        feed(s);
    };

    status(0x00);  // not pending: nothing changes
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup11")->itemIndex(), 4);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup10")->itemIndex(), 1);

    enter(MainWindow::AudioTab);
    control<QTabWidget>(main(), "PageControl1")->setCurrentIndex(MainWindow::VideoTab);  // still applied after leaving
    takeQueued();
    status(0x36);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup11")->itemIndex(), 3);  // "6"
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup10")->itemIndex(), 1);  // "AES/EBU"
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup12")->itemIndex(), 1);  // "ON"
    EXPECT_FALSE(deck().settings().audioReadbackPending());
    status(0x02);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup11")->itemIndex(), 3) << "only the first status after entering";
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup12")->itemIndex(), 1);

    enter(MainWindow::AudioTab);
    status(0x05);  // odd channel count is ignored, the other bits apply
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup11")->itemIndex(), 3);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup10")->itemIndex(), 0);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup12")->itemIndex(), 0);
    EXPECT_TRUE(takeQueued().empty());
}

}  // namespace
}  // namespace qz7::test
