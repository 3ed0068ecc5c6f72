// Remote commands check what the panel's controls check and queue exactly
// the bytes the controls queue; the state a subscriber sees follows the
// recorder's replies. The poll timer is stopped: nothing is sent.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "remote/remote_session.h"
#include "panel_fixture.h"
#include "ui/radio_group.h"

namespace qz7::test {
namespace {

const Origin kSender = Origin::osc("127.0.0.1:51000");

class RemoteSessionTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        session = std::make_unique<RemoteSession>(deck());
    }
    void TearDown() override {
        session.reset();
        PanelTest::TearDown();
    }
    std::vector<Bytes> byPanel(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        return takeQueued();
    }
    std::unique_ptr<RemoteSession> session;
};

TEST_F(RemoteSessionTest, TransportCommandsQueueThePanelsOwnBytesOnlyWithTheLinkOn) {
    EXPECT_EQ(session->play(kSender), "link off");
    EXPECT_EQ(session->record(kSender), "link off");
    EXPECT_EQ(session->goTo(kSender, "00:00:01:00"), "link off");
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
    same(session->play(kSender), control<QPushButton>(main(), "BitBtn1"));
    same(session->stop(kSender, false), control<QPushButton>(main(), "BitBtn2"));  // NORM at start
    same(session->fastForward(kSender, 2), control<QPushButton>(main(), "BitBtn5"));  // "x 25" at start
    same(session->rewind(kSender, 2), control<QPushButton>(main(), "BitBtn6"));
    same(session->slow(kSender, 1, 0), control<QPushButton>(main(), "BitBtn10"));  // Var mode, "x 3"
    same(session->slow(kSender, -1, 0), control<QPushButton>(main(), "BitBtn9"));
    EXPECT_EQ(session->stop(kSender, true), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x01, 0x34, 0x00, 0x02})}));
    EXPECT_EQ(session->jog(kSender, -1), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x00, 0x34, 0x24})}));

    // REC counts the new file as the button does.
    EXPECT_EQ(session->record(kSender), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x00, 0x34, 0x02})}));
    EXPECT_EQ(tables().recordedFileCount, 1);
}

TEST_F(RemoteSessionTest, ListCommandsAreCheckedAgainstTheTables) {
    linkOn();
    tables().recordedFileCount = 3;
    tables().clipCount = 2;
    tables().cueCount = 1;
    deck().mediaForTesting().applySequenceHeader(4, 1, 2);

    EXPECT_NE(session->openFile(kSender, 0), "");
    EXPECT_NE(session->openFile(kSender, 4), "");
    EXPECT_NE(session->openClip(kSender, 2), "");
    EXPECT_NE(session->openSequence(kSender, 3), "");
    EXPECT_NE(session->openSequence(kSender, 16), "");
    EXPECT_NE(session->searchCue(kSender, 1), "");
    EXPECT_NE(session->goTo(kSender, "0:01:00:00"), "");
    EXPECT_NE(session->goTo(kSender, "00:01:0a:00"), "");
    // Well formed but no time of day: refused as well, not sent.
    EXPECT_NE(session->goTo(kSender, "25:99:99:99").find("no such time"), std::string::npos);
    EXPECT_NE(session->goTo(kSender, "00:60:00:00").find("no such time"), std::string::npos);
    EXPECT_NE(session->goTo(kSender, "00:00:00:30").find("no such time"), std::string::npos);
    EXPECT_TRUE(takeQueued().empty());

    EXPECT_EQ(session->openFile(kSender, 3), "");
    EXPECT_EQ(session->openClip(kSender, 1), "");
    EXPECT_EQ(session->openSequence(kSender, 4), "");
    EXPECT_EQ(session->searchCue(kSender, 0), "");
    EXPECT_EQ(session->goTo(kSender, "01:02:03:04"), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x03, 0x34, 0x50, 0x03, 0x00, 0x00}),
                                                withSum({0x3E, 0x03, 0x34, 0x52, 0x01, 0x00, 0x00}),
                                                withSum({0x3E, 0x01, 0x34, 0x54, 0x04}),
                                                withSum({0x3E, 0x03, 0x34, 0x53, 0x00, 0x00, 0x00}),
                                                withSum({0x3E, 0x04, 0x34, 0x31, 0x04, 0x03, 0x02, 0x01})}));
}

TEST_F(RemoteSessionTest, MarkTakesTheReportedTimecodeAndTheStateFollowsTheReplies) {
    linkOn();
    feed(reply(Group::Answer, Sense::TimecodeReply, {0x12, 0x34, 0x56, 0x01}));
    EXPECT_EQ(session->state().timecode, "01:56:34:12");
    EXPECT_EQ(session->markCue(kSender), "");
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
    EXPECT_EQ(session->state().transport, "REC");
    EXPECT_EQ(session->state().rec, 1);
    EXPECT_EQ(session->state().number, "REC FILE : 013");
    std::size_t textRequests = 0;
    for (const Bytes& b : takeQueued()) textRequests += b == withSum({0x3E, 0x01, 0x36, 0x83, 0x00});
    EXPECT_EQ(textRequests, 1u) << "the deck asks once per rising flag, whoever shows it";
    Bytes text = blankReply(Group::Answer, Sense::ErrorText, 28);
    text[4] = 'F';
    text[5] = 'A';
    text[6] = 'N';
    fixSum(text);
    feed(text);
    EXPECT_EQ(session->state().error, "FAN");
    status[22] = 0x00;
    fixSum(status);
    feed(status);
    EXPECT_EQ(session->state().error, "");
}

}  // namespace
}  // namespace qz7::test
