// Start-up state of the six windows and the Device page: Apply, Retrieve,
// Scan, discovery.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "panel_fixture.h"
#include "ui/confirmation_dialog.h"
#include "ui/cue_edit_dialog.h"
#include "ui/device_page.h"
#include "ui/file_name_dialog.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/schedule_window.h"

namespace qz7::test {
namespace {

class StartupTest : public PanelTest {};

TEST_F(StartupTest, SixWindowsWithTheirCaptionsAndTheMainAreasInTheirInitialState) {
    const std::vector<std::pair<QWidget*, QString>> windows{
        {forms->mainWindow(), QStringLiteral("QZ7pro-Controller")},
        {static_cast<QWidget*>(forms->scheduleWindow()), QStringLiteral("Sequence Play")},
        {static_cast<QWidget*>(forms->fileNameDialog()), QStringLiteral("File Name Edit")},
        {static_cast<QWidget*>(forms->lastFileEraseDialog()), QStringLiteral("Last file erase")},
        {static_cast<QWidget*>(forms->confirmationDialog()), QStringLiteral("Confirmation")},
        {static_cast<QWidget*>(forms->cueEditDialog()), QStringLiteral("CUE Edit")},
    };
    for (const auto& [w, caption] : windows) EXPECT_EQ(w->windowTitle(), caption);
    EXPECT_EQ(QApplication::applicationDisplayName(), QStringLiteral("QZ7Cont"));

    QTabWidget* pages = control<QTabWidget>(main(), "PageControl1");
    const QStringList captions{"Timecode", "Gen-lock", "Test signal", "  Audio  ", "  Video  ", "Character",
                               "Control",  " Clip",    "Sequence",    "Config",    "Device"};
    ASSERT_EQ(pages->count(), captions.size());
    for (int i = 0; i < pages->count(); ++i) EXPECT_EQ(pages->tabText(i), captions[i]);
    EXPECT_EQ(pages->currentIndex(), static_cast<int>(MainWindow::DeviceTab));

    EXPECT_FALSE(control<QWidget>(main(), "Panel7")->isEnabled());
    QProgressBar* bar = control<QProgressBar>(main(), "ProgressBar1");
    EXPECT_FALSE(bar->isEnabled());
    // No remaining time is claimed: a blank bar (not a busy one), the tooltip says why.
    EXPECT_LT(bar->value(), bar->minimum());
    EXPECT_GT(bar->maximum(), bar->minimum());
    EXPECT_EQ(bar->text(), QString());
    EXPECT_TRUE(bar->toolTip().contains(QStringLiteral("does not report"))) << bar->toolTip().toStdString();
    for (const char* name : {"Panel6", "Panel9", "GroupBox5"})
        EXPECT_FALSE(control<QWidget>(main(), name)->isEnabled()) << name;
    EXPECT_EQ(control<QListWidget>(main(), "ListBox2")->count(), 0);
    EXPECT_EQ(forms->scheduleWindow()->clipList->count(), 100);
    EXPECT_EQ(control<QListWidget>(main(), "ListBox3")->count(), 16);

    for (const char* name : {"RecFile1", "SaveClipList1", "SaveS1"}) EXPECT_FALSE(control<QAction>(main(), name)->isEnabled());
    for (const char* name : {"Exit1", "ClearCueList1", "ClearClipList1", "ClearSeq1", "LastFileErase2"})
        EXPECT_TRUE(control<QAction>(main(), name)->isEnabled()) << name;
    EXPECT_EQ(control<QAction>(main(), "ClearSeq1")->text(), QStringLiteral("Clear Seq "));

    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox5")), (std::vector<std::string>{"192.168.1.20   QA51200040", "192.168.1.21   QA51200041"}));
    EXPECT_TRUE(control<QPushButton>(main(), "Button7")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(main(), "Button6")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(main(), "Button2")->isEnabled());
    EXPECT_FALSE(deck().linkForTesting().linkEnabled());
    EXPECT_TRUE(deck().linkForTesting().commandStack().empty());
    EXPECT_EQ(deck().linkForTesting().transport().endpoint(1).host, QStringLiteral("192.168.1.20"));
    EXPECT_EQ(deck().linkForTesting().transport().endpoint(2).host, QStringLiteral("192.168.1.21"));
    EXPECT_EQ(deck().linkForTesting().transport().endpoint(1).port, 20000);
}

class DevicePageTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        linkOn();
    }
    DevicePage* page() { return control<DevicePage>(main(), "TabSheet11"); }
    void applyLine(int line) {
        control<QListWidget>(main(), "ListBox5")->setCurrentRow(line);
        QTest::mouseClick(control<QPushButton>(main(), "Button7"), Qt::LeftButton);
    }
};

TEST_F(DevicePageTest, ApplyPicksThePairByTheSelectedLineAndQueuesOneLinkStartPerPress) {
    applyLine(1);
    EXPECT_TRUE(deck().linkForTesting().linkEnabled());
    EXPECT_EQ(control<QLineEdit>(main(), "Edit13")->text(), QStringLiteral("192.168.1.21"));
    EXPECT_EQ(control<QLineEdit>(main(), "Edit14")->text(), QStringLiteral("QA51200041"));
    EXPECT_EQ(deck().linkForTesting().transport().endpoint(1).host, QStringLiteral("192.168.1.21"));
    EXPECT_EQ(deck().linkForTesting().transport().endpoint(2).host, QStringLiteral("192.168.1.20"));
    EXPECT_TRUE(control<QWidget>(main(), "Panel7")->isEnabled());
    EXPECT_TRUE(control<QProgressBar>(main(), "ProgressBar1")->isEnabled());

    applyLine(0);
    EXPECT_EQ(control<QLineEdit>(main(), "Edit13")->text(), QStringLiteral("192.168.1.20"));
    EXPECT_EQ(control<QLineEdit>(main(), "Edit14")->text(), QStringLiteral("QA51200040"));
    EXPECT_EQ(deck().linkForTesting().transport().endpoint(2).host, QStringLiteral("192.168.1.21"));
    control<QLineEdit>(main(), "Edit13")->setText(QStringLiteral("typed text is overwritten"));
    applyLine(-1);
    EXPECT_EQ(deck().linkForTesting().transport().endpoint(1).host, QStringLiteral("192.168.1.20"));

    const Bytes linkStart{0x3E, 0x00, 0x32, 0x01, 0x71};
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{linkStart, linkStart, linkStart}));
}

TEST_F(DevicePageTest, RetrieveQueuesTheRefreshInOrderAndAppends512LinesPerPress) {
    tables().recordedFileCount = 3;
    tables().cueCount = 7;
    control<QPushButton>(main(), "Button6")->setEnabled(true);
    QTest::mouseClick(control<QPushButton>(main(), "Button6"), Qt::LeftButton);
    EXPECT_EQ(tables().cueCount, 0);
    const auto sent = takeTransmitOrder();
    ASSERT_EQ(sent.size(), 222u);
    std::size_t i = 0;
    for (int s = 15; s >= 0; --s, ++i) EXPECT_EQ(sent[i], reply(0x36, 0x85, {static_cast<std::uint8_t>(s)}));
    for (int n = 3; n >= 1; --n, ++i) EXPECT_EQ(sent[i], reply(0x36, 0x8C, {static_cast<std::uint8_t>(n), 0}));
    for (int n = 3; n >= 1; --n, ++i) EXPECT_EQ(sent[i], reply(0x36, 0x82, {static_cast<std::uint8_t>(n), 0}));
    for (int k = 99; k >= 0; --k, ++i) EXPECT_EQ(sent[i], reply(0x36, 0x81, {static_cast<std::uint8_t>(k), 0}));
    for (int k = 99; k >= 0; --k, ++i) EXPECT_EQ(sent[i], reply(0x36, 0x80, {static_cast<std::uint8_t>(k), 0}));
    for (QListWidget* list : {control<QListWidget>(main(), "ListBox1"), control<QListWidget>(main(), "ListBox2"),
                              control<QListWidget>(main(), "ListBox4")})
        EXPECT_EQ(list->count(), 512);
    EXPECT_TRUE(control<QWidget>(main(), "Panel6")->isEnabled());
    EXPECT_TRUE(control<QWidget>(main(), "Panel9")->isEnabled());
    EXPECT_TRUE(control<QWidget>(main(), "GroupBox5")->isEnabled());

    // "Retrieve" waits for its burst and its answers before it goes again;
    // "Apply" gives it back.
    EXPECT_FALSE(control<QPushButton>(main(), "Button6")->isEnabled());
    tickEnds();
    EXPECT_FALSE(control<QPushButton>(main(), "Button6")->isEnabled());
    QTest::mouseClick(control<QPushButton>(main(), "Button7"), Qt::LeftButton);
    takeQueued();
    QTest::mouseClick(control<QPushButton>(main(), "Button6"), Qt::LeftButton);
    EXPECT_EQ(control<QListWidget>(main(), "ListBox4")->count(), 1024);
    // A count beyond the file table asks for its 512 rows only.
    takeQueued();
    QTest::mouseClick(control<QPushButton>(main(), "Button7"), Qt::LeftButton);
    takeQueued();
    tables().recordedFileCount = 900;
    QTest::mouseClick(control<QPushButton>(main(), "Button6"), Qt::LeftButton);
    EXPECT_EQ(takeQueued().size(), 216u + 2 * 512);
}

TEST_F(DevicePageTest, AFullStackRefusesTheWholeBurstWithOneErrorBox) {
    for (int i = 0; i < CommandStack::kCapacity - 10; ++i) deck().linkForTesting().queue(Packet::frame(0x34, 0x01));
    control<QPushButton>(main(), "Button6")->setEnabled(true);
    QTest::mouseClick(control<QPushButton>(main(), "Button6"), Qt::LeftButton);
    // All of the burst or none of it: half a refresh would leave holes nobody asked for again.
    EXPECT_EQ(deck().linkForTesting().commandStack().count(), CommandStack::kCapacity - 10);
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_TRUE(ErrorBox::lastMessage().contains(QStringLiteral("full")));
}

TEST_F(DevicePageTest, DiscoveryFillsTheListFromLineZeroAfterScanAndStopsAt64Lines) {
    const Bytes discovery{0x00, 0x00, 0x00, 0xF7};
    deck().linkForTesting().decoder().decode(discovery, Sender{"10.0.0.5", false}, false);  // link off, any sender
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox5"))[0], "10.0.0.5");
    applyLine(0);
    page()->scan();  // "Scan"
    EXPECT_FALSE(deck().linkForTesting().linkEnabled());
    EXPECT_TRUE(deck().discoveredDevices().isEmpty());
    for (int i = 0; i < 100; ++i)
        deck().linkForTesting().decoder().decode(discovery, Sender{"10.0.0." + std::to_string(i), false}, false);
    EXPECT_EQ(control<QListWidget>(main(), "ListBox5")->count(), Deck::kMaxDeviceLines);
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox5"))[2], "10.0.0.2");
    EXPECT_TRUE(takeQueued().size() == 1);  // the one link start
}

// Their ID codes are not known: blank, where the built-in pair shows its own.
TEST_F(DevicePageTest, DevicesFromTheCommandLineTakeTheBuiltInPairsPlace) {
    forms.reset();
    DevicePair pair;
    pair.first = QStringLiteral("127.0.0.8");
    pair.second = QStringLiteral("127.0.0.9");
    forms = std::make_unique<StandaloneForms>(pair);
    deck().linkForTesting().pollDriver().stop();
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox5")), (std::vector<std::string>{"127.0.0.8", "127.0.0.9"}));
    applyLine(1);
    EXPECT_EQ(control<QLineEdit>(main(), "Edit13")->text(), QStringLiteral("127.0.0.9"));
    EXPECT_EQ(control<QLineEdit>(main(), "Edit14")->text(), QString());
    EXPECT_EQ(deck().linkForTesting().transport().endpoint(1).host, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(deck().linkForTesting().transport().endpoint(2).host, QStringLiteral("127.0.0.8"));
}

}  // namespace
}  // namespace qz7::test
