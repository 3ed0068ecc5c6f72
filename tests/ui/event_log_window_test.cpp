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
#include <QJsonObject>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "log/event_log.h"
#include "log/log_reader.h"
#include "panel_fixture.h"
#include "ui/device_page.h"
#include "ui/event_log_model.h"
#include "ui/event_log_window.h"
#include "ui/transport_panel.h"

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
        main().deck().linkForTesting().pollDriver().stop();
        main().deck().setName(QStringLiteral("studio-a"));
        log = std::make_unique<EventLog>(LogOptions{true, logDir, 90});
        log->attach(main().deck());
        main().setEventLog(log.get());
        linkOn();
        main().show();
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
        main().transportPanel()->setEnabled(true);
        main().devicePage()->addressEdit->setFocus();
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
    TransportPanel* panel = main().transportPanel();
    QTest::mouseClick(panel->playButton, Qt::LeftButton);
    QTest::keyClick(focused(), Qt::Key_F6);              // STOP
    QTest::keyClick(focused(), Qt::Key_F9, Qt::ShiftModifier);
    EXPECT_EQ(takeQueued().size(), 3u);

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
    EventLogWindow* window = main().eventLogWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    const QAbstractItemModel* shown = window->table()->model();
    EXPECT_EQ(column(shown, EventLogModel::Op), (QStringList{QStringLiteral("play"), QStringLiteral("stop"), QStringLiteral("rec")}));

    // New events follow; a refusal shows its reason.
    main().deck().linkForTesting().stop();  // link off
    QTest::mouseClick(panel->playButton, Qt::LeftButton);
    ASSERT_EQ(shown->rowCount(), 4);
    EXPECT_EQ(shown->index(3, EventLogModel::Kind).data().toString(), QStringLiteral("refused"));
    EXPECT_EQ(shown->index(3, EventLogModel::Outcome).data().toString(), QStringLiteral("link off"));

    auto* origin = window->findChild<QComboBox*>(QStringLiteral("OriginFilter"));
    auto* kind = window->findChild<QComboBox*>(QStringLiteral("KindFilter"));
    auto* deck = window->findChild<QComboBox*>(QStringLiteral("DeckFilter"));
    auto* text = window->findChild<QLineEdit*>(QStringLiteral("TextFilter"));
    ASSERT_TRUE(origin && kind && deck && text);
    origin->setCurrentIndex(origin->findData(QStringLiteral("key")));
    EXPECT_EQ(column(shown, EventLogModel::Origin), (QStringList{QStringLiteral("key F6"), QStringLiteral("key Shift+F9")}));
    origin->setCurrentIndex(0);
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

// A folder the log cannot make: LOG OFF with the reason; the click still
// queues its packet.
TEST_F(EventLogWindowTest, AnUnwritableFolderShowsLogOffAndControlGoesOn) {
    const QString blocker = dir.filePath(QStringLiteral("file"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    start(blocker + QStringLiteral("/log"));
    LogStateLamp* lamp = main().logStateLamp();
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->parentWidget(), main().statusBar());
    EXPECT_TRUE(lamp->isVisible()) << "known at start";
    QTest::mouseClick(main().transportPanel()->playButton, Qt::LeftButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{cmd::play().wire()}));
    EXPECT_TRUE(lamp->isVisible());
    EXPECT_EQ(lamp->text(), QStringLiteral("LOG OFF"));
    EXPECT_TRUE(lamp->toolTip().contains(blocker)) << lamp->toolTip().toStdString();
    QTest::mouseClick(main().transportPanel()->stopButton, Qt::LeftButton);
    EXPECT_EQ(takeQueued().size(), 1u);
    EXPECT_EQ(ErrorBox::shownCount(), 0) << "the log's trouble is no error box";

    // Once the folder can be made, the minute's retry clears the lamp.
    ASSERT_TRUE(QFile::remove(blocker));
    log->retryNow();
    EXPECT_FALSE(lamp->isVisible());
}

}  // namespace
}  // namespace qz7::test
