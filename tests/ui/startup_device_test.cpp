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
#include "ui/clip_list_panel.h"
#include "ui/confirmation_dialog.h"
#include "ui/cue_edit_dialog.h"
#include "ui/cue_group.h"
#include "ui/device_page.h"
#include "ui/file_list_panel.h"
#include "ui/file_name_dialog.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/retrieve_progress.h"
#include "ui/schedule_window.h"
#include "ui/sequence_page.h"
#include "ui/transport_panel.h"

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

    QTabWidget* pages = main().pages();
    const QStringList captions{"Timecode", "Gen-lock", "Test signal", "  Audio  ", "  Video  ", "Character",
                               "Control",  " Clip",    "Sequence",    "Config",    "Device"};
    ASSERT_EQ(pages->count(), captions.size());
    for (int i = 0; i < pages->count(); ++i) EXPECT_EQ(pages->tabText(i), captions[i]);
    EXPECT_EQ(pages->currentIndex(), static_cast<int>(MainWindow::DeviceTab));

    EXPECT_FALSE(find<QWidget>(QStringLiteral("Panel7"))->isEnabled());
    QProgressBar* bar = find<QProgressBar>(QStringLiteral("ProgressBar1"));
    EXPECT_FALSE(bar->isEnabled());
    EXPECT_EQ(bar->value(), 80);
    for (const char* name : {"Panel6", "Panel9", "GroupBox5"})
        EXPECT_FALSE(find<QWidget>(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_EQ(find<QListWidget>(QStringLiteral("ListBox2"))->count(), 0);
    EXPECT_EQ(forms->scheduleWindow()->clipList->count(), 100);
    EXPECT_EQ(main().sequencePage()->sequenceList->count(), 16);

    for (const char* name : {"RecFile1", "SaveClipList1", "SaveS1"}) {
        QAction* a = main().findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_FALSE(a->isEnabled());
    }
    for (const char* name : {"Exit1", "ClearCueList1", "ClearClipList1", "ClearSeq1", "LastFileErase2"}) {
        QAction* a = main().findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_TRUE(a->isEnabled());
    }
    EXPECT_EQ(main().findChild<QAction*>(QStringLiteral("ClearSeq1"))->text(), QStringLiteral("Clear Seq "));

    DevicePage* d = main().devicePage();
    EXPECT_EQ(lines(d->deviceList), (std::vector<std::string>{"192.168.1.20   QA51200040", "192.168.1.21   QA51200041"}));
    EXPECT_TRUE(d->applyButton->isEnabled());
    EXPECT_FALSE(d->retrieveButton->isEnabled());
    EXPECT_FALSE(d->scanButton->isEnabled());
    EXPECT_FALSE(main().deck().linkForTesting().linkEnabled());
    EXPECT_TRUE(main().deck().linkForTesting().commandStack().empty());
    EXPECT_EQ(main().deck().linkForTesting().transport().endpoint(1).host, QStringLiteral("192.168.1.20"));
    EXPECT_EQ(main().deck().linkForTesting().transport().endpoint(2).host, QStringLiteral("192.168.1.21"));
    EXPECT_EQ(main().deck().linkForTesting().transport().endpoint(1).port, 20000);
}

class DevicePageTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        linkOn();
    }
    DevicePage* page() { return main().devicePage(); }
    void applyLine(int line) {
        page()->deviceList->setCurrentRow(line);
        QTest::mouseClick(page()->applyButton, Qt::LeftButton);
    }
};

TEST_F(DevicePageTest, ApplyPicksThePairByTheSelectedLineAndQueuesOneLinkStartPerPress) {
    applyLine(1);
    EXPECT_TRUE(main().deck().linkForTesting().linkEnabled());
    EXPECT_EQ(page()->addressEdit->text(), QStringLiteral("192.168.1.21"));
    EXPECT_EQ(page()->idCodeEdit->text(), QStringLiteral("QA51200041"));
    EXPECT_EQ(main().deck().linkForTesting().transport().endpoint(1).host, QStringLiteral("192.168.1.21"));
    EXPECT_EQ(main().deck().linkForTesting().transport().endpoint(2).host, QStringLiteral("192.168.1.20"));
    EXPECT_TRUE(main().transportPanel()->isEnabled());
    EXPECT_TRUE(main().remainingTimeBar()->isEnabled());

    applyLine(0);
    EXPECT_EQ(page()->addressEdit->text(), QStringLiteral("192.168.1.20"));
    EXPECT_EQ(page()->idCodeEdit->text(), QStringLiteral("QA51200040"));
    EXPECT_EQ(main().deck().linkForTesting().transport().endpoint(2).host, QStringLiteral("192.168.1.21"));
    page()->addressEdit->setText(QStringLiteral("typed text is overwritten"));
    applyLine(-1);
    EXPECT_EQ(main().deck().linkForTesting().transport().endpoint(1).host, QStringLiteral("192.168.1.20"));

    const Bytes linkStart{0x3E, 0x00, 0x32, 0x01, 0x71};
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{linkStart, linkStart, linkStart}));
}

TEST_F(DevicePageTest, RetrieveQueuesTheRefreshInOrderAndAppends512LinesPerPress) {
    tables().recordedFileCount = 3;
    tables().cueCount = 7;
    page()->retrieveButton->setEnabled(true);
    QTest::mouseClick(page()->retrieveButton, Qt::LeftButton);
    EXPECT_EQ(tables().cueCount, 0);
    const auto sent = takeTransmitOrder();
    ASSERT_EQ(sent.size(), 222u);
    std::size_t i = 0;
    for (int s = 15; s >= 0; --s, ++i) EXPECT_EQ(sent[i], reply(0x36, 0x85, {static_cast<std::uint8_t>(s)}));
    for (int n = 3; n >= 1; --n, ++i) EXPECT_EQ(sent[i], reply(0x36, 0x8C, {static_cast<std::uint8_t>(n), 0}));
    for (int n = 3; n >= 1; --n, ++i) EXPECT_EQ(sent[i], reply(0x36, 0x82, {static_cast<std::uint8_t>(n), 0}));
    for (int k = 99; k >= 0; --k, ++i) EXPECT_EQ(sent[i], reply(0x36, 0x81, {static_cast<std::uint8_t>(k), 0}));
    for (int k = 99; k >= 0; --k, ++i) EXPECT_EQ(sent[i], reply(0x36, 0x80, {static_cast<std::uint8_t>(k), 0}));
    for (QListWidget* list : {main().clipListPanel()->clipList, main().fileListPanel()->fileList,
                              main().cueGroup()->cueList})
        EXPECT_EQ(list->count(), 512);
    EXPECT_TRUE(main().clipListPanel()->isEnabled());
    EXPECT_TRUE(main().fileListPanel()->isEnabled());
    EXPECT_TRUE(main().cueGroup()->isEnabled());

    // "Retrieve" waits for its burst and its answers before it goes again;
    // "Apply" gives it back.
    EXPECT_FALSE(page()->retrieveButton->isEnabled());
    tickEnds();
    EXPECT_FALSE(page()->retrieveButton->isEnabled());
    QTest::mouseClick(page()->applyButton, Qt::LeftButton);
    takeQueued();
    QTest::mouseClick(page()->retrieveButton, Qt::LeftButton);
    EXPECT_EQ(main().cueGroup()->cueList->count(), 1024);
    // A count beyond the file table asks for its 512 rows only.
    takeQueued();
    QTest::mouseClick(page()->applyButton, Qt::LeftButton);
    takeQueued();
    tables().recordedFileCount = 900;
    QTest::mouseClick(page()->retrieveButton, Qt::LeftButton);
    EXPECT_EQ(takeQueued().size(), 216u + 2 * 512);
}

TEST_F(DevicePageTest, AFullStackRefusesTheWholeBurstWithOneErrorBox) {
    for (int i = 0; i < CommandStack::kCapacity - 10; ++i) main().deck().linkForTesting().queue(Packet::frame(0x34, 0x01));
    page()->retrieveButton->setEnabled(true);
    QTest::mouseClick(page()->retrieveButton, Qt::LeftButton);
    // All of the burst or none of it: half a refresh would leave holes nobody asked for again.
    EXPECT_EQ(main().deck().linkForTesting().commandStack().count(), CommandStack::kCapacity - 10);
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_TRUE(ErrorBox::lastMessage().contains(QStringLiteral("full")));
}

TEST_F(DevicePageTest, DiscoveryFillsTheListFromLineZeroAfterScanAndStopsAt64Lines) {
    const Bytes discovery{0x00, 0x00, 0x00, 0xF7};
    main().deck().linkForTesting().decoder().decode(discovery, Sender{"10.0.0.5", false}, false);  // link off, any sender
    EXPECT_EQ(lines(page()->deviceList)[0], "10.0.0.5");
    applyLine(0);
    page()->scan();  // "Scan"
    EXPECT_FALSE(main().deck().linkForTesting().linkEnabled());
    EXPECT_TRUE(main().deck().discoveredDevices().isEmpty());
    for (int i = 0; i < 100; ++i)
        main().deck().linkForTesting().decoder().decode(discovery, Sender{"10.0.0." + std::to_string(i), false}, false);
    EXPECT_EQ(page()->deviceList->count(), Deck::kMaxDeviceLines);
    EXPECT_EQ(lines(page()->deviceList)[2], "10.0.0.2");
    EXPECT_TRUE(takeQueued().size() == 1);  // the one link start
}

TEST_F(DevicePageTest, DevicesFromTheCommandLineTakeTheBuiltInPairsPlace) {
    forms.reset();
    DevicePair pair;
    pair.first = QStringLiteral("127.0.0.8");
    pair.second = QStringLiteral("127.0.0.9");
    forms = std::make_unique<StandaloneForms>(pair);
    main().deck().linkForTesting().pollDriver().stop();
    EXPECT_EQ(lines(page()->deviceList), (std::vector<std::string>{"127.0.0.8   QA51200040", "127.0.0.9   QA51200041"}));
    applyLine(1);
    EXPECT_EQ(main().deck().linkForTesting().transport().endpoint(1).host, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(main().deck().linkForTesting().transport().endpoint(2).host, QStringLiteral("127.0.0.8"));
}

}  // namespace
}  // namespace qz7::test
