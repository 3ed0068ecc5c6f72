// The event log in the panel: a click and a key each logged with their
// origin, the "Event Log" window (Ctrl+L) following and filtering them and
// exporting a range to CSV, and LOG OFF in the status bar while control
// goes on.
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "log/event_log.h"
#include "log/log_reader.h"
#include "log/log_writer.h"
#include "panel_fixture.h"
#include "ui/event_log_model.h"
#include "ui/event_log_window.h"

namespace qz7::test {
namespace {

class EventLogWindowTest : public PanelTest {
protected:
    void start(const QString& logDir) {
        ErrorBox::dismiss();
        ErrorBox::resetCounters();
        DevicePair pair;
        pair.first = QStringLiteral("127.0.0.1");
        pair.second = QStringLiteral("127.0.0.2");
        forms = std::make_unique<StandaloneForms>(pair);
        deck().linkForTesting().pollDriver().stop();
        deck().setName(QStringLiteral("studio-a"));
        log = std::make_unique<EventLog>(LogOptions{true, logDir, 90});
        log->attach(deck());
        main().setEventLog(log.get());
        linkOn();
        main().show();
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
        control<QWidget>(main(), "Panel7")->setEnabled(true);
        control<QLineEdit>(main(), "Edit13")->setFocus();
    }
    void TearDown() override {
        forms.reset();
        log.reset();
        PanelTest::TearDown();
    }
    QWidget* focused() { return QApplication::focusWidget() ? QApplication::focusWidget() : &main(); }
    QList<QJsonObject> written() const {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        return readEvents(dir.path(), now.addDays(-1), now.addDays(1));
    }
    static QStringList column(const QAbstractItemModel* m, int c) {
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r) out << m->index(r, c).data().toString();
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<EventLog> log;
};

TEST_F(EventLogWindowTest, ClicksAndKeysAreLoggedAndTheWindowFollowsFiltersAndExports) {
    start(dir.path());
    QTest::mouseClick(control<QPushButton>(main(), "BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(takeQueued().size(), 1u);  // sent: a STOP would take a waiting PLAY off the stack
    QTest::keyClick(focused(), Qt::Key_F6);              // STOP
    QTest::keyClick(focused(), Qt::Key_F9, Qt::ShiftModifier);
    EXPECT_EQ(takeQueued().size(), 2u);

    const QList<QJsonObject> events = written();
    ASSERT_EQ(events.size(), 3);
    EXPECT_EQ(events[0].value(QLatin1String("origin")).toString(), QStringLiteral("panel"));
    EXPECT_EQ(events[0].value(QLatin1String("op")).toString(), QStringLiteral("play"));
    EXPECT_EQ(events[1].value(QLatin1String("origin")).toString(), QStringLiteral("key F6"));
    EXPECT_EQ(events[1].value(QLatin1String("args")).toObject(), (QJsonObject{{QStringLiteral("lock"), 0}}));
    EXPECT_EQ(events[2].value(QLatin1String("origin")).toString(), QStringLiteral("key Shift+F9"));
    EXPECT_EQ(events[2].value(QLatin1String("op")).toString(), QStringLiteral("rec"));

    // Ctrl+L: the window with today's events from the file.
    QTest::keyClick(focused(), Qt::Key_L, Qt::ControlModifier);
    auto* window = control<EventLogWindow>(main(), "EventLogWindow");
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([window] { return !window->isLoading(); }));
    const QAbstractItemModel* shown = window->table()->model();
    EXPECT_EQ(column(shown, EventLogModel::Op), (QStringList{QStringLiteral("play"), QStringLiteral("stop"), QStringLiteral("rec")}));

    // New events follow; a refusal shows its reason.
    deck().linkForTesting().stop();  // link off
    QTest::mouseClick(control<QPushButton>(main(), "BitBtn1"), Qt::LeftButton);
    ASSERT_EQ(shown->rowCount(), 4);
    EXPECT_EQ(shown->index(3, EventLogModel::Kind).data().toString(), QStringLiteral("refused"));
    EXPECT_EQ(shown->index(3, EventLogModel::Outcome).data().toString(), QStringLiteral("link off"));

    auto* origin = control<QComboBox>(*window, "OriginFilter");
    auto* kind = control<QComboBox>(*window, "KindFilter");
    auto* deck = control<QComboBox>(*window, "DeckFilter");
    auto* text = control<QLineEdit>(*window, "TextFilter");
    origin->setCurrentIndex(origin->findData(QStringLiteral("key")));
    EXPECT_EQ(column(shown, EventLogModel::Origin), (QStringList{QStringLiteral("key F6"), QStringLiteral("key Shift+F9")}));
    origin->setCurrentIndex(0);
    for (const char* k : {"command", "refused", "outcome", "superseded", "alarm", "recorder", "link", "error", "system"})
        EXPECT_GE(kind->findData(QString::fromLatin1(k)), 0) << "the log writes kind " << k;
    EXPECT_GE(origin->findData(QStringLiteral("start")), 0) << "commands given on the command line";
    kind->setCurrentIndex(kind->findData(QStringLiteral("refused")));
    EXPECT_EQ(shown->rowCount(), 1);
    kind->setCurrentIndex(0);
    text->setText(QStringLiteral("LINK OFF"));  // the refusal, case aside
    EXPECT_EQ(shown->rowCount(), 1);
    text->clear();
    ASSERT_GE(deck->findData(QStringLiteral("studio-a")), 0);
    deck->setCurrentIndex(deck->findData(QStringLiteral("studio-a")));
    EXPECT_EQ(shown->rowCount(), 4);

    // Export of a range: what the file holds in it, as CSV that reads back.
    const QString csvPath = dir.filePath(QStringLiteral("out.csv"));
    const QList<QJsonObject> all = written();
    const QDateTime second = QDateTime::fromString(all[1].value(QLatin1String("ts")).toString(), Qt::ISODateWithMs);
    ASSERT_EQ(window->exportRange(second, QDateTime::currentDateTimeUtc(), csvPath).toStdString(), "");
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QJsonObject> back = eventsFromCsv(csv.readAll());
    ASSERT_GE(back.size(), 3);
    EXPECT_EQ(back, all.mid(all.size() - back.size()));
    EXPECT_FALSE(window->exportRange(second, QDateTime::currentDateTimeUtc(), dir.filePath(QStringLiteral("no/such/x.csv"))).isEmpty());
}

// Sentences, local time or UTC, an export of what the filter shows, and
// the keys that close the window.
TEST_F(EventLogWindowTest, SentencesLocalTimeAFilteredExportAndTheClosingKeys) {
    start(dir.path());
    QTest::mouseClick(control<QPushButton>(main(), "BitBtn1"), Qt::LeftButton);  // PLAY
    takeQueued();                                                                   // sent
    QTest::keyClick(focused(), Qt::Key_F6);                                         // STOP
    QTest::keyClick(focused(), Qt::Key_L, Qt::ControlModifier);
    auto* window = control<EventLogWindow>(main(), "EventLogWindow");
    ASSERT_TRUE(QTest::qWaitFor([window] { return !window->isLoading(); }));
    const QAbstractItemModel* shown = window->table()->model();
    EXPECT_EQ(column(shown, EventLogModel::Event),
              (QStringList{QStringLiteral("PLAY queued (panel)"), QStringLiteral("STOP queued (key F6)")}));

    auto* local = control<QCheckBox>(*window, "EventLogLocalTime");
    EXPECT_TRUE(local->isChecked());
    EXPECT_EQ(shown->headerData(EventLogModel::Time, Qt::Horizontal).toString(), QStringLiteral("Time (local)"));
    const QString ts = written()[0].value(QLatin1String("ts")).toString();
    const QString localText = shown->index(0, EventLogModel::Time).data().toString();
    EXPECT_FALSE(localText.endsWith(QLatin1Char('Z'))) << localText.toStdString();
    local->setChecked(false);
    EXPECT_EQ(shown->headerData(EventLogModel::Time, Qt::Horizontal).toString(), QStringLiteral("Time (UTC)"));
    EXPECT_EQ(shown->index(0, EventLogModel::Time).data().toString(), QString(ts).replace(QLatin1Char('T'), QLatin1Char(' ')));

    // Export: the range from the files, less what the filter hides.
    auto* origin = control<QComboBox>(*window, "OriginFilter");
    origin->setCurrentIndex(origin->findData(QStringLiteral("key")));
    ASSERT_EQ(shown->rowCount(), 1);
    const QString csvPath = dir.filePath(QStringLiteral("keys.csv"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    ASSERT_EQ(window->exportRange(now.addSecs(-60), now.addSecs(60), csvPath).toStdString(), "");
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QJsonObject> back = eventsFromCsv(csv.readAll());
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back[0].value(QLatin1String("origin")).toString(), QStringLiteral("key F6"));
    EXPECT_EQ(back[0].value(QLatin1String("ts")).toString(), written()[1].value(QLatin1String("ts")).toString())
        << "the file's UTC whatever the window shows";

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->table(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    control<QAction>(main(), "EventLog1")->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->table(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

// A folder the log cannot make: LOG OFF with the reason; the click still
// queues its packet.
TEST_F(EventLogWindowTest, AnUnwritableFolderShowsLogOffAndControlGoesOn) {
    const QString blocker = dir.filePath(QStringLiteral("file"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    start(blocker + QStringLiteral("/log"));
    auto* lamp = control<QLabel>(*main().statusBar(), "LogState");
    EXPECT_TRUE(lamp->isVisible()) << "known at start";
    QTest::mouseClick(control<QPushButton>(main(), "BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{cmd::play().wire()}));
    EXPECT_TRUE(lamp->isVisible());
    EXPECT_EQ(lamp->text(), QStringLiteral("LOG OFF"));
    EXPECT_TRUE(lamp->toolTip().contains(blocker)) << lamp->toolTip().toStdString();
    QTest::mouseClick(control<QPushButton>(main(), "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(takeQueued().size(), 1u);
    EXPECT_EQ(ErrorBox::shownCount(), 0) << "the log's trouble is no error box";

    // Once the folder can be made, the minute's retry clears the lamp.
    ASSERT_TRUE(QFile::remove(blocker));
    log->retryNow();
    EXPECT_FALSE(lamp->isVisible());
}

// A day of more events than the table holds: read on a worker while the
// event loop turns, and only the newest rows kept.
TEST_F(EventLogWindowTest, ADayBeyondTheRowLimitLoadsWhileThePanelRunsAndKeepsTheNewest) {
    const int limit = EventLogModel::kDefaultRowLimit, total = limit + 500;
    {
        QFile day(dir.filePath(LogWriter::fileName(QDateTime::currentDateTimeUtc().date())));
        ASSERT_TRUE(day.open(QIODevice::WriteOnly));
        const QString ts = logTimestamp(QDateTime::currentDateTimeUtc().addSecs(-1));
        for (int seq = 1; seq <= total; ++seq)
            day.write(QStringLiteral(R"({"ts":"%1","seq":%2,"pid":1,"deck":"rack-b","kind":"command","op":"play"})"
                                     "\n").arg(ts).arg(seq).toUtf8());
    }
    start(dir.path());
    int ticksWhileLoading = 0;
    QTimer ticker;
    control<QAction>(main(), "EventLog1")->trigger();
    auto* window = control<EventLogWindow>(main(), "EventLogWindow");
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticksWhileLoading += window->isLoading(); });
    ticker.start(0);
    QSignalSpy loaded(window, &EventLogWindow::loaded);
    EXPECT_TRUE(window->isLoading()) << "the file is read after the window shows, not before";
    EXPECT_EQ(control<QLabel>(*window, "EventLogStatus")->text(), QStringLiteral("Loading…"));
    ASSERT_TRUE(loaded.wait(20000));
    EXPECT_GT(ticksWhileLoading, 0);
    ASSERT_EQ(window->model()->rowCount(), limit);
    // The file's rows (pid 1) are its newest; this process's own events, if
    // any came during a slow load, follow them and push out as many more.
    const auto fromFile = [&] {
        std::vector<qint64> seqs;
        QStringList others;
        for (const QJsonObject& e : window->model()->events()) {
            if (e.value(QLatin1String("pid")).toInteger() == 1)
                seqs.push_back(e.value(QLatin1String("seq")).toInteger());
            else
                others << QString::fromUtf8(QJsonDocument(e).toJson(QJsonDocument::Compact));
        }
        return std::make_pair(seqs, others);
    };
    const auto [seqs, others] = fromFile();
    ASSERT_FALSE(seqs.empty());
    EXPECT_EQ(seqs.back(), total);
    EXPECT_EQ(seqs.front(), total - limit + 1 + others.size()) << others.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(control<QLabel>(*window, "EventLogStatus")->text().contains(QStringLiteral("Export for the rest")));
    QTest::mouseClick(control<QPushButton>(main(), "BitBtn1"), Qt::LeftButton);  // a new event pushes out the oldest
    ASSERT_EQ(window->model()->rowCount(), limit);
    EXPECT_EQ(window->model()->events().last().value(QLatin1String("op")).toString(), QStringLiteral("play"));
    EXPECT_EQ(fromFile().first.front(), seqs.front() + 1);
}

}  // namespace
}  // namespace qz7::test
