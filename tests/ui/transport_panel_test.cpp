// Transport panel: the packet each control queues, speed tables, jog mode,
// REC's new file line, and the error line's reset.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "media_list_helpers.h"
#include "ui/radio_group.h"
#include "ui/status_panel.h"

namespace qz7::test {
namespace {

class TransportPanelTest : public MediaListTest {
protected:
    void SetUp() override {
        MediaListTest::SetUp();
        panel = main().transportPanel();
    }

    static void typeInto(QComboBox* box, const QString& text) {
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), text);
    }

    TransportPanel* panel = nullptr;
};

TEST_F(TransportPanelTest, PlayStopAndMonitorQueueTheirPackets) {
    click(panel->playButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x01, 0x73}}));

    click(panel->stopButton);  // "NORM" at start
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x00, 0x00, 0x73}}));

    click(panel->stopModeGroup->button(0));  // "LOCK" only changes what STOP sends
    EXPECT_TRUE(takeQueued().empty());
    click(panel->stopButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x00, 0x02, 0x75}}));

    click(panel->monitorGroup->button(1));  // "PB"
    click(panel->monitorGroup->button(0));  // "EE" again
    EXPECT_EQ(takeTransmitOrder(),
              (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x41, 0xB3}, {0x3E, 0x00, 0x34, 0x40, 0xB2}}));
}

TEST_F(TransportPanelTest, WindUsesTheFfRwdSpeedForBothDirections) {
    click(panel->fastForwardButton);
    click(panel->rewindButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x13, 0x6D, 0xF3}, sent({0x3E, 0x01, 0x34, 0x23, 0x6D})}));

    panel->windSpeedBox->setCurrentIndex(4);  // "x 5"
    click(panel->fastForwardButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x13, 0x56})}));
    // An item past the table is sent as the last speed.
    panel->windSpeedBox->addItem(QStringLiteral("x 200"));
    panel->windSpeedBox->setCurrentIndex(5);
    click(panel->fastForwardButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x13, 0x56})}));
}

TEST_F(TransportPanelTest, ArrowsRunSlowMotionInVarModeAndJogInJogMode) {
    click(panel->forwardButton);
    click(panel->reverseButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x12, 0x50}), sent({0x3E, 0x01, 0x34, 0x22, 0x50})}));

    panel->slowSpeedBox->setCurrentIndex(8);
    ASSERT_EQ(panel->slowSpeedBox->currentText(), "x/1/30");
    click(panel->forwardButton);
    click(panel->reverseButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x12, 0x10}), sent({0x3E, 0x01, 0x34, 0x22, 0x10})}));

    click(panel->varButton);  // Var while in Var mode changes nothing
    click(panel->jogButton);
    click(panel->jogButton);
    EXPECT_EQ(panel->jogMode, 1);
    EXPECT_TRUE(takeQueued().empty()) << "Jog and Var send nothing";
    click(panel->forwardButton);
    click(panel->reverseButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x14, 0x86}, {0x3E, 0x00, 0x34, 0x24, 0x96}}));

    click(panel->varButton);
    EXPECT_EQ(panel->jogMode, 0);
    click(panel->forwardButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x12, 0x10})}));
}

TEST_F(TransportPanelTest, TypedSpeedThatNamesNoItemSendsNothing) {
    typeInto(panel->windSpeedBox, QStringLiteral("x 7"));
    QTest::keyClick(panel->windSpeedBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(panel->windSpeedBox->count(), 5) << "typed text must not become an item";
    click(panel->fastForwardButton);
    click(panel->rewindButton);
    EXPECT_TRUE(takeQueued().empty());

    typeInto(panel->slowSpeedBox, QStringLiteral("fast"));
    click(panel->forwardButton);
    click(panel->reverseButton);
    EXPECT_TRUE(takeQueued().empty());
    // Jog needs no speed.
    click(panel->jogButton);
    click(panel->forwardButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x14, 0x86}}));

    // Text typed exactly as an item selects that item's speed.
    panel->windSpeedBox->setEditText(QStringLiteral("x 10"));
    click(panel->fastForwardButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x13, 0x60})}));
}

// Before "Retrieve" the list is empty: the missing lines are made, not an error.
TEST_F(TransportPanelTest, RecordCountsTheNewFileAndShowsItsNumber) {
    QListWidget* files = main().fileListPanel()->fileList;
    tables().recordedFileCount = 3;  // as the system reply set it
    click(panel->recordButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x02, 0x74}}));
    EXPECT_EQ(tables().recordedFileCount, 4);
    EXPECT_EQ(lines(files), (std::vector<std::string>{" ", " ", " ", "004  "}));
    EXPECT_EQ(ErrorBox::shownCount(), 0);

    fillListsAsRetrieve(main());
    click(panel->recordButton);
    EXPECT_EQ(lines(files)[4], "005  ");
    EXPECT_EQ(lines(files)[5], " ");
}

TEST_F(TransportPanelTest, ErrorLineDoubleClickResetsOnlyWhileAnErrorIsReported) {
    QLabel* line = main().statusPanel()->errorLineLabel;
    QTest::mouseDClick(line, Qt::LeftButton);
    EXPECT_TRUE(takeQueued().empty());

    Bytes status = blankReply(Group::Answer, Sense::Status, 31);
    status[22] = 0x20;  // the error flag
    fixSum(status);
    feed(status);
    takeQueued();  // the error text request
    QTest::mouseDClick(line, Qt::LeftButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x89, 0xFB}}));
    EXPECT_TRUE(main().deck().status().errorLatch) << "the status reply clears the latch, not the reset";
}

}  // namespace
}  // namespace qz7::test
