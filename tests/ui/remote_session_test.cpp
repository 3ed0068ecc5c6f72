// Remote commands check what the panel's controls check and queue exactly
// the bytes the controls queue; the state a subscriber sees follows the
// recorder's replies. The poll timer is stopped: nothing is sent.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "app/remote_session.h"
#include "panel_fixture.h"
#include "ui/radio_group.h"
#include "ui/transport_panel.h"

namespace qz7::test {
namespace {

class RemoteSessionTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        session = std::make_unique<RemoteSession>(main().link(), main().media(), true);
    }
    void TearDown() override {
        session.reset();
        PanelTest::TearDown();
    }
    void linkOn() { main().link().pollCycle().setLinkEnabled(true); }
    std::vector<Bytes> byPanel(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        return takeQueued();
    }
    std::unique_ptr<RemoteSession> session;
};

TEST_F(RemoteSessionTest, TransportCommandsQueueThePanelsOwnBytesOnlyWithTheLinkOn) {
    EXPECT_EQ(session->play(), "link off");
    EXPECT_EQ(session->record(), "link off");
    EXPECT_EQ(session->goTo("00:00:01:00"), "link off");
    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(tables().recordedFileCount, 0);

    linkOn();
    TransportPanel* t = main().transportPanel();
    t->setEnabled(true);
    const auto same = [&](const std::string& refused, QAbstractButton* button) {
        EXPECT_EQ(refused, "");
        const auto remote = takeQueued();
        EXPECT_EQ(remote, byPanel(button));
        EXPECT_EQ(remote.size(), 1u);
    };
    same(session->play(), t->BitBtn1);
    same(session->stop(false), t->BitBtn2);  // NORM at start
    same(session->fastForward(2), t->BitBtn5);  // "x 25" at start
    same(session->rewind(2), t->BitBtn6);
    same(session->slow(1, 0), t->BitBtn10);  // Var mode, "x 3"
    same(session->slow(-1, 0), t->BitBtn9);
    EXPECT_EQ(session->stop(true), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x01, 0x34, 0x00, 0x02})}));
    EXPECT_EQ(session->jog(-1), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x00, 0x34, 0x24})}));

    // REC counts the new file as the button does.
    EXPECT_EQ(session->record(), "");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x00, 0x34, 0x02})}));
    EXPECT_EQ(tables().recordedFileCount, 1);
}

TEST_F(RemoteSessionTest, ListCommandsAreCheckedAgainstTheTables) {
    linkOn();
    tables().recordedFileCount = 3;
    tables().clipCount = 2;
    tables().cueCount = 1;
    tables().sequences[4].entryCount = 2;

    EXPECT_NE(session->openFile(0), "");
    EXPECT_NE(session->openFile(4), "");
    EXPECT_NE(session->openClip(2), "");
    EXPECT_NE(session->openSequence(3), "");
    EXPECT_NE(session->openSequence(16), "");
    EXPECT_NE(session->searchCue(1), "");
    EXPECT_NE(session->goTo("0:01:00:00"), "");
    EXPECT_NE(session->goTo("00:01:0a:00"), "");
    EXPECT_TRUE(takeQueued().empty());

    EXPECT_EQ(session->openFile(3), "");
    EXPECT_EQ(session->openClip(1), "");
    EXPECT_EQ(session->openSequence(4), "");
    EXPECT_EQ(session->searchCue(0), "");
    EXPECT_EQ(session->goTo("01:02:03:04"), "");
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
    EXPECT_EQ(session->markCue(), "");
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
    EXPECT_EQ(textRequests, 2u) << "one from the status panel, one from the session without a window";
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
