// Transport panel: the packet each control queues, speed tables, jog mode,
// REC's new file line, and the error line's reset.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "media_list_helpers.h"
#include "ui/radio_group.h"
#include "ui/transport_panel.h"
#include "ui/status_panel.h"

namespace qz7::test {
namespace {

class TransportPanelTest : public MediaListTest {
protected:
    void SetUp() override {
        MediaListTest::SetUp();
        panel = control<TransportPanel>(main(), "Panel7");
    }

    static void typeInto(QComboBox* box, const QString& text) {
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), text);
    }

    TransportPanel* panel = nullptr;
};

TEST_F(TransportPanelTest, PlayStopAndMonitorQueueTheirPackets) {
    click(control<QPushButton>(main(), "BitBtn1"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x01, 0x73}}));

    click(control<QPushButton>(main(), "BitBtn2"));  // "NORM" at start
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x00, 0x00, 0x73}}));

    click(control<RadioGroup>(main(), "RadioGroup19")->button(0));  // "LOCK" only changes what STOP sends
    EXPECT_TRUE(takeQueued().empty());
    click(control<QPushButton>(main(), "BitBtn2"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x00, 0x02, 0x75}}));

    click(control<RadioGroup>(main(), "RadioGroup18")->button(1));  // "PB"
    click(control<RadioGroup>(main(), "RadioGroup18")->button(0));  // "EE" again
    EXPECT_EQ(takeTransmitOrder(),
              (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x41, 0xB3}, {0x3E, 0x00, 0x34, 0x40, 0xB2}}));
}

TEST_F(TransportPanelTest, WindUsesTheFfRwdSpeedForBothDirections) {
    click(control<QPushButton>(main(), "BitBtn5"));
    click(control<QPushButton>(main(), "BitBtn6"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x13, 0x6D, 0xF3}, sent({0x3E, 0x01, 0x34, 0x23, 0x6D})}));

    control<QComboBox>(main(), "ComboBox3")->setCurrentIndex(4);  // "x 5"
    click(control<QPushButton>(main(), "BitBtn5"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x13, 0x56})}));
    // An item past the table is sent as the last speed.
    control<QComboBox>(main(), "ComboBox3")->addItem(QStringLiteral("x 200"));
    control<QComboBox>(main(), "ComboBox3")->setCurrentIndex(5);
    click(control<QPushButton>(main(), "BitBtn5"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x13, 0x56})}));
}

TEST_F(TransportPanelTest, ArrowsRunSlowMotionInVarModeAndJogInJogMode) {
    click(control<QPushButton>(main(), "BitBtn10"));
    click(control<QPushButton>(main(), "BitBtn9"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x12, 0x50}), sent({0x3E, 0x01, 0x34, 0x22, 0x50})}));

    control<QComboBox>(main(), "ComboBox4")->setCurrentIndex(8);
    ASSERT_EQ(control<QComboBox>(main(), "ComboBox4")->currentText(), "x/1/30");
    click(control<QPushButton>(main(), "BitBtn10"));
    click(control<QPushButton>(main(), "BitBtn9"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x12, 0x10}), sent({0x3E, 0x01, 0x34, 0x22, 0x10})}));

    click(control<QPushButton>(main(), "BitBtn4"));  // Var while in Var mode changes nothing
    click(control<QPushButton>(main(), "BitBtn11"));
    click(control<QPushButton>(main(), "BitBtn11"));
    EXPECT_EQ(panel->jogMode, 1);
    EXPECT_TRUE(takeQueued().empty()) << "Jog and Var send nothing";
    click(control<QPushButton>(main(), "BitBtn10"));
    click(control<QPushButton>(main(), "BitBtn9"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x14, 0x86}, {0x3E, 0x00, 0x34, 0x24, 0x96}}));

    click(control<QPushButton>(main(), "BitBtn4"));
    EXPECT_EQ(panel->jogMode, 0);
    click(control<QPushButton>(main(), "BitBtn10"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x12, 0x10})}));
}

TEST_F(TransportPanelTest, TypedSpeedThatNamesNoItemSendsNothing) {
    typeInto(control<QComboBox>(main(), "ComboBox3"), QStringLiteral("x 7"));
    QTest::keyClick(control<QComboBox>(main(), "ComboBox3")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(control<QComboBox>(main(), "ComboBox3")->count(), 5) << "typed text must not become an item";
    click(control<QPushButton>(main(), "BitBtn5"));
    click(control<QPushButton>(main(), "BitBtn6"));
    EXPECT_TRUE(takeQueued().empty());

    typeInto(control<QComboBox>(main(), "ComboBox4"), QStringLiteral("fast"));
    click(control<QPushButton>(main(), "BitBtn10"));
    click(control<QPushButton>(main(), "BitBtn9"));
    EXPECT_TRUE(takeQueued().empty());
    // Jog needs no speed.
    click(control<QPushButton>(main(), "BitBtn11"));
    click(control<QPushButton>(main(), "BitBtn10"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x14, 0x86}}));

    // Text typed exactly as an item selects that item's speed.
    control<QComboBox>(main(), "ComboBox3")->setEditText(QStringLiteral("x 10"));
    click(control<QPushButton>(main(), "BitBtn5"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x01, 0x34, 0x13, 0x60})}));
}

// Before "Retrieve" the list is empty: the missing lines are made, not an error.
TEST_F(TransportPanelTest, RecordCountsTheNewFileAndShowsItsNumber) {
    QListWidget* files = control<QListWidget>(main(), "ListBox2");
    tables().recordedFileCount = 3;  // as the system reply set it
    click(control<QPushButton>(main(), "BitBtn3"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x02, 0x74}}));
    EXPECT_EQ(tables().recordedFileCount, 4);
    EXPECT_EQ(lines(files), (std::vector<std::string>{" ", " ", " ", "004  "}));
    EXPECT_EQ(ErrorBox::shownCount(), 0);

    fillListsAsRetrieve(main());
    click(control<QPushButton>(main(), "BitBtn3"));
    EXPECT_EQ(lines(files)[4], "005  ");
    EXPECT_EQ(lines(files)[5], " ");
}

TEST_F(TransportPanelTest, ErrorLineDoubleClickResetsOnlyWhileAnErrorIsReported) {
    QLabel* line = control<ClickableLabel>(main(), "Label36");
    QTest::mouseDClick(line, Qt::LeftButton);
    EXPECT_TRUE(takeQueued().empty());

    Bytes status = blankReply(Group::Answer, Sense::Status, 31);
    status[22] = 0x20;  // the error flag
    fixSum(status);
    feed(status);
    takeQueued();  // the error text request
    QTest::mouseDClick(line, Qt::LeftButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x89, 0xFB}}));
    EXPECT_TRUE(deck().status().errorLatch) << "the status reply clears the latch, not the reset";
}

}  // namespace
}  // namespace qz7::test
