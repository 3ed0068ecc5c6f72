// Remote commands (the table of operations, as OSC and the web run it) check
// what the panel's controls check and queue exactly the bytes the controls
// queue; the deck's view follows the recorder's replies. The poll timer is stopped: nothing is sent.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "deck/deck_view.h"
#include "remote/operations.h"
#include "panel_fixture.h"
#include "ui/radio_group.h"

namespace qz7::test {
namespace {

const Origin kSender = Origin::osc("127.0.0.1:51000");

class RemoteSessionTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        target = std::make_unique<DeckTarget>(deck());
    }
    void TearDown() override {
        target.reset();
        PanelTest::TearDown();
    }
    // A remote command as OSC and the web run it: "" or the refusal.
    std::string run(const std::string& op, const CommandArgs& args = {}) {
        return runCommand(*target, op, args, kSender).reason;
    }
    const ViewState& state() { return deck().view().state(); }
    std::vector<Bytes> byPanel(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        return takeQueued();
    }
    std::unique_ptr<DeckTarget> target;
};

TEST_F(RemoteSessionTest, TransportCommandsQueueThePanelsOwnBytesOnlyWithTheLinkOn) {
    EXPECT_EQ(run("play"), "link off");
    EXPECT_EQ(run("rec", {{"confirm", 1.0}}), "link off");
    EXPECT_EQ(run("goto", {{"timecode", std::string("00:00:01:00")}}), "link off");
    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(tables().recordedFileCount, 0);

    linkOn();
    control<QWidget>(main(), "Panel7")->setEnabled(true);
    const auto same = [&](const std::string& refused, QAbstractButton* button) {
        EXPECT_EQ(refused, "");
        const auto remote = takeQueued();
        EXPECT_EQ(remote, byPanel(button));
        EXPECT_EQ(remote.size(), 1u);
    };
    same(run("play"), control<QPushButton>(main(), "BitBtn1"));
    same(run("stop", {{"lock", 0.0}}), control<QPushButton>(main(), "BitBtn2"));  // NORM at start
    same(run("ff", {{"item", 2.0}}), control<QPushButton>(main(), "BitBtn5"));  // "x 25" at start
    same(run("rew", {{"item", 2.0}}), control<QPushButton>(main(), "BitBtn6"));
    same(run("slow", {{"direction", 1.0}, {"item", 0.0}}), control<QPushButton>(main(), "BitBtn10"));  // Var mode, "x 3"
    same(run("slow", {{"direction", -1.0}, {"item", 0.0}}), control<QPushButton>(main(), "BitBtn9"));
    EXPECT_EQ(run("stop", {{"lock", 1.0}}), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x01, 0x34, 0x00, 0x02})}));
    EXPECT_EQ(run("jog", {{"direction", -1.0}}), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x00, 0x34, 0x24})}));

    // REC counts the new file as the button does.
    EXPECT_EQ(run("rec", {{"confirm", 1.0}}), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x00, 0x34, 0x02})}));
    EXPECT_EQ(tables().recordedFileCount, 1);
}

TEST_F(RemoteSessionTest, ListCommandsAreCheckedAgainstTheTables) {
    linkOn();
    tables().recordedFileCount = 3;
    tables().clipCount = 2;
    tables().cueCount = 1;
    deck().mediaForTesting().applySequenceHeader(4, 1, 2);

    EXPECT_NE(run("file/open", {{"number", 0.0}}), "");
    EXPECT_NE(run("file/open", {{"number", 4.0}}), "");
    EXPECT_NE(run("clip/open", {{"number", 2.0}}), "");
    EXPECT_NE(run("seq/open", {{"number", 3.0}}), "");
    EXPECT_NE(run("seq/open", {{"number", 16.0}}), "");
    EXPECT_NE(run("cue/search", {{"number", 1.0}}), "");
    EXPECT_NE(run("goto", {{"timecode", std::string("0:01:00:00")}}), "");
    EXPECT_NE(run("goto", {{"timecode", std::string("00:01:0a:00")}}), "");
    // Well formed but no time of day: refused as well, not sent.
    EXPECT_NE(run("goto", {{"timecode", std::string("25:99:99:99")}}).find("no such time"), std::string::npos);
    EXPECT_NE(run("goto", {{"timecode", std::string("00:60:00:00")}}).find("no such time"), std::string::npos);
    EXPECT_NE(run("goto", {{"timecode", std::string("00:00:00:30")}}).find("no such time"), std::string::npos);
    EXPECT_TRUE(takeQueued().empty());

    EXPECT_EQ(run("file/open", {{"number", 3.0}}), "");
    EXPECT_EQ(run("clip/open", {{"number", 1.0}}), "");
    EXPECT_EQ(run("seq/open", {{"number", 4.0}}), "");
    EXPECT_EQ(run("cue/search", {{"number", 0.0}}), "");
    EXPECT_EQ(run("goto", {{"timecode", std::string("01:02:03:04")}}), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x03, 0x34, 0x50, 0x03, 0x00, 0x00}),
                                                withSum({0x3E, 0x03, 0x34, 0x52, 0x01, 0x00, 0x00}),
                                                withSum({0x3E, 0x01, 0x34, 0x54, 0x04}),
                                                withSum({0x3E, 0x03, 0x34, 0x53, 0x00, 0x00, 0x00}),
                                                withSum({0x3E, 0x04, 0x34, 0x31, 0x04, 0x03, 0x02, 0x01})}));
}

TEST_F(RemoteSessionTest, MarkTakesTheReportedTimecodeAndTheStateFollowsTheReplies) {
    linkOn();
    feed(reply(Group::Answer, Sense::TimecodeReply, {0x12, 0x34, 0x56, 0x01}));
    EXPECT_EQ(state().timecode, "01:56:34:12");
    EXPECT_EQ(run("cue/mark"), "");
    const auto queued = takeQueued();
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(Bytes(queued[0].begin(), queued[0].begin() + 10),
              (Bytes{0x3E, 39, 0x34, 0x80, 0x00, 0x00, 0x12, 0x34, 0x56, 0x01}));
    EXPECT_EQ(tables().cues[0].used, 1);

    // A status reply: REC with the error flag up; the text is asked for once.
    Bytes status = blankReply(Group::Answer, Sense::Status, 31);
    status[5] = 0x02;
    status[22] = 0x20;
    status[25] = 0x0D;
    fixSum(status);
    feed(status);
    feed(status);
    EXPECT_EQ(state().transport, "REC");
    EXPECT_EQ(state().rec, 1);
    EXPECT_EQ(state().number, "REC FILE : 013");
    std::size_t textRequests = 0;
    for (const Bytes& b : takeQueued()) textRequests += b == withSum({0x3E, 0x01, 0x36, 0x83, 0x00});
    EXPECT_EQ(textRequests, 1u) << "the deck asks once per rising flag, whoever shows it";
    Bytes text = blankReply(Group::Answer, Sense::ErrorText, 28);
    text[4] = 'F';
    text[5] = 'A';
    text[6] = 'N';
    fixSum(text);
    feed(text);
    EXPECT_EQ(state().error, "FAN");
    status[22] = 0x00;
    fixSum(status);
    feed(status);
    EXPECT_EQ(state().error, "");
}

}  // namespace
}  // namespace qz7::test
