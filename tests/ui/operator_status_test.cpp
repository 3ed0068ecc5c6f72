// What the operator reads at a glance: the link lamp and the dimmed status
// display, the REC tally, the "Retrieve" progress, and a window that fits a
// 1280 x 720 screen.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "link/commands.h"
#include "net/link_monitor.h"
#include "live_panel.h"
#include "panel_fixture.h"
#include "deck/deck.h"
#include "ui/device_page.h"
#include "ui/retrieve_progress.h"

namespace qz7::test {
namespace {

Bytes status(std::uint8_t transportByte) {
    Bytes d = blankReply(0x37, 0x60, 31);
    d[5] = transportByte;
    fixSum(d);
    return d;
}

Bytes systemReply(std::uint8_t files) {
    Bytes d = blankReply(0x33, 0x01, 26);
    d[23] = files;
    fixSum(d);
    return d;
}

// Share of a widget's pixels that are plainly red.
double redShare(QWidget* w) {
    const QImage image = w->grab().toImage();
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90) ++red;
        }
    return static_cast<double>(red) / (image.width() * image.height());
}

class OperatorStatusTest : public PanelTest {
protected:
    // Loopback hosts: "Apply" here must never point the link at a real network.
    void SetUp() override {
        ErrorBox::dismiss();
        ErrorBox::resetCounters();
        DevicePair pair;
        pair.first = QStringLiteral("127.0.0.1");
        pair.second = QStringLiteral("127.0.0.2");
        forms = std::make_unique<StandaloneForms>(pair);
        deck().linkForTesting().pollDriver().stop();
        monitor().setClock([this] { return now; });
    }

    LinkMonitor& monitor() { return deck().monitor(); }
    QLabel* lamp() { return control<QLabel>(main(), "LinkState"); }
    std::string lampText() { return lamp()->text().toStdString(); }
    std::string after(qint64 ms) {
        now += ms;
        monitor().refresh();
        return lampText();
    }
    bool dimmed() {
        const int lightest = std::max(control<QLabel>(main(), "Label3")->palette().color(QPalette::WindowText).lightness(),
                                      control<QLabel>(main(), "Label4")->palette().color(QPalette::WindowText).lightness());
        return lightest < 100;
    }
    void apply(int line) {
        control<QListWidget>(main(), "ListBox5")->setCurrentRow(line);
        QTest::mouseClick(control<QPushButton>(main(), "Button7"), Qt::LeftButton);
    }

    qint64 now = 0;
};

TEST_F(OperatorStatusTest, LampAndDimmingFollowTheRepliesOfTheSelectedRecorder) {
    EXPECT_EQ(lampText(), std::string("LINK OFF"));
    EXPECT_TRUE(dimmed()) << "nothing on the panel came from a recorder yet";

    apply(0);
    EXPECT_EQ(after(999), std::string("WAITING 127.0.0.1"));
    EXPECT_EQ(after(1), std::string("NO REPLY 1 s")) << "nothing answers the Apply";
    EXPECT_TRUE(dimmed());

    feed(status(0x02));
    EXPECT_EQ(lampText(), std::string("LINK OK 127.0.0.1"));
    EXPECT_FALSE(dimmed());
    EXPECT_EQ(after(999), std::string("LINK OK 127.0.0.1"));
    EXPECT_EQ(after(1), std::string("NO REPLY 1 s"));
    EXPECT_TRUE(dimmed());
    EXPECT_EQ(control<QLabel>(main(), "Label4")->text(), QStringLiteral("REC")) << "dimmed, not blanked";
    EXPECT_EQ(after(1500), std::string("NO REPLY 2 s"));
    EXPECT_EQ(after(8000), std::string("NO REPLY 10 s"));
    // The monitor's own timer counts up without a reply or a tick to drive it.
    now = 21000;  // 20 s after the last reply
    for (int i = 0; i < 100 && lampText() != "NO REPLY 20 s"; ++i) QTest::qWait(10);
    EXPECT_EQ(lampText(), std::string("NO REPLY 20 s"));

    // A timecode reply counts as much as a status reply.
    feed(reply(0x37, 0x04, {0x01, 0x02, 0x03, 0x04}));
    EXPECT_EQ(lampText(), std::string("LINK OK 127.0.0.1"));

    // Another "Apply": the values may be the other recorder's until it answers.
    apply(1);
    EXPECT_EQ(lampText(), std::string("WAITING 127.0.0.2"));
    EXPECT_TRUE(dimmed());
    feed(status(0x20));
    EXPECT_EQ(lampText(), std::string("LINK OK 127.0.0.2"));

    control<DevicePage>(main(), "TabSheet11")->scan();  // "Scan"
    EXPECT_EQ(lampText(), std::string("LINK OFF"));
    EXPECT_TRUE(dimmed());
}

TEST_F(OperatorStatusTest, ASendErrorStaysOnTheLampUntilATickGoesOutCleanly) {
    apply(0);
    feed(status(0x20));
    emit deck().linkForTesting().tickError(QStringLiteral("Socket Error # 7\nNetwork unreachable"));
    EXPECT_EQ(lampText(), std::string("LINK OK 127.0.0.1  SEND ERROR"));
    EXPECT_TRUE(lamp()->toolTip().contains(QStringLiteral("Network unreachable")));
    ErrorBox::dismiss();
    EXPECT_EQ(after(100), std::string("LINK OK 127.0.0.1  SEND ERROR")) << "no tick since";

    // With the link off a tick sends nothing and cannot fail.
    deck().linkForTesting().stop();
    deck().linkForTesting().pollDriver().tick();
    EXPECT_EQ(after(0), std::string("LINK OFF"));
    EXPECT_FALSE(lamp()->toolTip().contains(QStringLiteral("Network unreachable")));
}

// A partner whose name resolves now and then: one box for the Apply, then
// the lamp's SEND ERROR; the next Apply may box it again.
TEST_F(OperatorStatusTest, ASendErrorIsBoxedOncePerApply) {
    const QString error = QStringLiteral("Host not found: no-such-recorder.invalid");
    apply(0);
    emit deck().linkForTesting().tickError(error);
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    ErrorBox::dismiss();
    for (int i = 0; i < 2; ++i) deck().linkForTesting().pollCycle().sendTurn();  // clean turns (loopback)
    emit deck().linkForTesting().tickError(error);
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_EQ(after(0), std::string("WAITING 127.0.0.1  SEND ERROR"));
    apply(0);
    emit deck().linkForTesting().tickError(error);
    EXPECT_EQ(ErrorBox::shownCount(), 2);
    ErrorBox::dismiss();
}

TEST_F(OperatorStatusTest, RecTallyAndRecButtonAreLitWhileTheTransportWordIsRec) {
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    QLabel* tally = control<QLabel>(main(), "RecTally");
    QPushButton* rec = control<QPushButton>(main(), "BitBtn3");
    control<QWidget>(main(), "Panel7")->setEnabled(true);
    EXPECT_EQ(tally->text(), QStringLiteral("REC"));
    const double darkButton = redShare(rec);
    EXPECT_LT(redShare(tally), 0.05);

    feed(status(0x03));  // PLAY and REC bits: the word is REC
    EXPECT_GT(redShare(tally), 0.5);
    EXPECT_GT(redShare(rec), 0.5);
    EXPECT_LT(darkButton, 0.2);

    feed(status(0x01));  // PLAY
    EXPECT_LT(redShare(tally), 0.05);
    EXPECT_NEAR(redShare(rec), darkButton, 0.02);
    feed(status(0x02));
    feed(status(0x20));  // STOP
    EXPECT_LT(redShare(tally), 0.05);
    EXPECT_EQ(tally->text(), QStringLiteral("REC"));
}

TEST_F(OperatorStatusTest, RetrieveProgressCountsWhatLeftTheStackAndHoldsRetrieveUntilDone) {
    CommandStack& stack = deck().linkForTesting().commandStack();
    QPushButton* retrieve = control<QPushButton>(main(), "Button6");
    auto* bar = control<RetrieveProgress>(main(), "RetrieveProgress");
    linkOn();
    EXPECT_TRUE(bar->isHidden());
    feed(systemReply(50));
    ASSERT_TRUE(retrieve->isEnabled());
    deck().linkForTesting().queue(cmd::play());  // waits below the burst

    QTest::mouseClick(retrieve, Qt::LeftButton);
    const int total = 2 * 100 + 2 * 50 + 16;
    ASSERT_EQ(stack.count(), 1 + total);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->maximum(), total);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->text(), QStringLiteral("Retrieve 0/316, 13 s left"));  // 316 x 40 ms
    EXPECT_FALSE(retrieve->isEnabled());
    feed(systemReply(50));
    EXPECT_FALSE(retrieve->isEnabled()) << "a second press would queue the burst again";

    // A command queued later goes first and is not part of the burst.
    deck().linkForTesting().queue(cmd::stop(false));
    stack.pop();
    tickEnds();
    EXPECT_EQ(bar->value(), 0);
    for (int i = 0; i < 100; ++i) stack.pop();
    tickEnds();
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(bar->text(), QStringLiteral("Retrieve 100/316, 9 s left"));  // 216 x 40 ms = 8.64 s
    deck().linkForTesting().queue(cmd::stop(false));
    tickEnds();
    EXPECT_EQ(bar->value(), 100) << "what was sent stays sent";

    while (stack.count() > 2) stack.pop();
    tickEnds();
    EXPECT_EQ(bar->value(), 315);
    stack.pop();
    tickEnds();
    // Gone out, but nothing answered: the bar waits for the last answers.
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->text(), QStringLiteral("Retrieve: waiting for the last answers"));
    EXPECT_FALSE(retrieve->isEnabled());
    EXPECT_EQ(stack.count(), 1) << "the command below the burst is still waiting";

    // "Apply" gives "Retrieve" back at once.
    QTest::mouseClick(control<QPushButton>(main(), "Button7"), Qt::LeftButton);
    EXPECT_TRUE(retrieve->isEnabled());
    EXPECT_TRUE(bar->isHidden());
    QTest::mouseClick(retrieve, Qt::LeftButton);
    EXPECT_FALSE(retrieve->isEnabled());
    QTest::mouseClick(control<QPushButton>(main(), "Button7"), Qt::LeftButton);
    EXPECT_TRUE(retrieve->isEnabled());
    EXPECT_TRUE(bar->isHidden());
}

TEST_F(OperatorStatusTest, MainWindowFitsA1280x720ScreenWithFiveRowsInEveryList) {
    // The widest status bar: a long lamp text and the progress bar showing.
    feed(systemReply(200));
    apply(0);
    feed(status(0x02));
    emit deck().linkForTesting().tickError(QStringLiteral("Socket Error # 7"));
    ErrorBox::dismiss();
    QTest::mouseClick(control<QPushButton>(main(), "Button6"), Qt::LeftButton);
    fillListsAsRetrieve(main());
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));

    const QSize least = main().minimumSizeHint();
    EXPECT_LE(least.width(), 1280);
    EXPECT_LE(least.height(), 690) << "720 lines less the window frame";

    const std::vector<QListWidget*> lists{control<QListWidget>(main(), "ListBox1"), control<QListWidget>(main(), "ListBox2"),
                                          control<QListWidget>(main(), "ListBox4")};
    main().resize(1280, 690);
    QTest::qWait(50);
    std::vector<int> heights;
    for (QListWidget* list : lists) {
        EXPECT_GE(list->viewport()->height() / list->sizeHintForRow(0), 5) << list->objectName().toStdString();
        heights.push_back(list->viewport()->height());
    }
    main().resize(1280, 900);
    QTest::qWait(50);
    for (std::size_t i = 0; i < lists.size(); ++i)
        EXPECT_GT(lists[i]->viewport()->height(), heights[i] + 50) << lists[i]->objectName().toStdString();
}

// The status bar says what the recorder did not do and why a command of
// the panel's went nowhere, for a few seconds and without a box; what a STOP
// took off the stack is left to the log.
TEST_F(OperatorStatusTest, TheStatusBarSaysWhatTheRecorderDidNotDoWithoutABox) {
    auto* message = control<QLabel>(main(), "StatusMessage");
    OutcomeReport r;
    r.op = "rec";
    r.stage = OutcomeReport::Stage::NotConfirmed;
    r.final = true;
    r.transport = "STOP";
    emit deck().outcomeReported(r);
    EXPECT_EQ(message->text(), QStringLiteral("REC not confirmed: recorder shows STOP"));
    message->clear();
    r.op = "ff";
    r.stage = OutcomeReport::Stage::Superseded;
    r.note = "superseded by stop from panel";
    emit deck().outcomeReported(r);
    EXPECT_EQ(message->text(), QString());
    r.op = "play";
    r.stage = OutcomeReport::Stage::NotConfirmed;
    r.note.clear();
    r.origin = Origin::web("127.0.0.5");
    emit deck().outcomeReported(r);
    EXPECT_EQ(message->text(), QStringLiteral("PLAY not confirmed: recorder shows STOP (web 127.0.0.5)"));

    // A silent recorder refuses the panel's PLAY: said here, not in a box.
    emit deck().operated(Origin::key("F9"), QStringLiteral("play"), Outcome::refused("no reply from 127.0.0.1 for 3 s"));
    EXPECT_EQ(message->text(), QStringLiteral("PLAY refused: no reply from 127.0.0.1 for 3 s"));
    EXPECT_EQ(ErrorBox::shownCount(), 0);
}

// The recorder's error raises the deck's alarm: red in the status bar
// until a click acknowledges it as the panel's.
TEST_F(OperatorStatusTest, AnAlarmShowsUntilAClickAcknowledgesIt) {
    auto* field = control<QPushButton>(main(), "AlarmField");
    EXPECT_TRUE(field->isHidden());
    apply(0);
    Bytes text = blankReply(Group::Answer, Sense::ErrorText, 28);
    for (int i = 0; i < 8; ++i) text[4 + i] = static_cast<std::uint8_t>("FAN STOP"[i]);
    fixSum(text);
    feed(text);
    EXPECT_FALSE(field->isHidden());
    EXPECT_TRUE(field->text().contains(QStringLiteral("recorder error: FAN STOP"))) << field->text().toStdString();
    std::vector<std::string> acknowledgedBy;
    QObject::connect(&deck(), &Deck::alarmAcknowledged, &main(),
                     [&](const Origin& origin, const QString&) { acknowledgedBy.push_back(origin.text()); });
    QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_EQ(acknowledgedBy, std::vector<std::string>{"panel"});
    EXPECT_TRUE(field->isHidden());
    EXPECT_EQ(deck().alarm(), "");
    EXPECT_EQ(ErrorBox::shownCount(), 0);
}

// After a silence the lists may miss what changed meanwhile: a quiet hint
// until a Retrieve reads them again.
TEST_F(OperatorStatusTest, AfterNoReplyTheListsMayBeOutOfDateUntilARetrieve) {
    auto* hint = control<QPushButton>(main(), "ListsStaleHint");
    apply(0);
    feed(status(0x20));
    after(1000);
    feed(status(0x20));
    EXPECT_TRUE(hint->isHidden()) << "no lists were read yet";
    emit control<DevicePage>(main(), "TabSheet11")->retrieveQueued();
    EXPECT_EQ(after(1000), std::string("NO REPLY 1 s"));
    EXPECT_TRUE(hint->isHidden());
    feed(status(0x20));
    EXPECT_FALSE(hint->isHidden());
    takeQueued();
    QTest::mouseClick(hint, Qt::LeftButton);
    EXPECT_GT(takeQueued().size(), 16u) << "the click runs Retrieve";
    EXPECT_TRUE(hint->isHidden());
    EXPECT_EQ(ErrorBox::shownCount(), 0);
}

// Against a recorder that ignores REC (a full disk): the deck's own outcome.
class StatusAgainstRecorder : public LivePanelTest {};

TEST_F(StatusAgainstRecorder, ARecTheRecorderIgnoresIsNotConfirmedInTheStatusBar) {
    qz7sim::Config config;
    config.refuseRecord = true;
    const QString address = QStringLiteral("127.0.0.75");
    startSim(address, config);
    MainWindow& m = startPanel(DevicePair{address, {}, address, {}, true});
    apply(0);
    ASSERT_TRUE(waitFor([&] { return deck().monitor().state() == LinkMonitor::State::Ok; }, 3000));
    QTest::mouseClick(control<QPushButton>(m, "BitBtn3"), Qt::LeftButton);  // REC
    auto* message = control<QLabel>(m, "StatusMessage");
    ASSERT_TRUE(waitFor([&] { return !message->text().isEmpty(); }, 3000));
    EXPECT_EQ(message->text(), QStringLiteral("REC not confirmed: recorder shows STOP"));
    EXPECT_EQ(ErrorBox::shownCount(), 0);
}

TEST_F(OperatorStatusTest, NothingIsAppendedToTheMainWindowCaption) {
    EXPECT_EQ(main().windowTitle(), QStringLiteral("QZ7pro-Controller"));
    // Once a display name is set, X11 shows "QZ7pro-Controller — QZ7Cont";
    // while none is, the display name follows the application name.
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
    QCoreApplication::setApplicationName(name);
}

}  // namespace
}  // namespace qz7::test
