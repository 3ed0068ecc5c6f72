// The log's file: one per UTC day with old days removed, a line whole or not
// at all, LOG OFF with its reason and the retry a minute later, and a kill in
// the middle of a burst leaving only whole lines.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

#include "deck/origin.h"
#include "log/event_log.h"
#include "log/log_reader.h"
#include "log/log_writer.h"
#include "wait_for.h"

namespace qz7::test {
namespace {

QDateTime utc(const char* text) {
    QDateTime t = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
    t.setTimeZone(QTimeZone::utc());
    return t;
}

QList<QByteArray> lines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> out = f.readAll().split('\n');
    if (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
    return out;
}

// A clock the test moves by hand.
struct ManualClock {
    QDateTime now;
    LogWriter::Clock clock() {
        return [this] { return now; };
    }
};

TEST(LogWriter, RotatesAtMidnightUtcAndRemovesOldDays) {
    QTemporaryDir dir;
    // Files of old days, one just inside the kept span, and a stranger.
    for (const char* name : {"events-2026-09-01.jsonl", "events-2026-09-08.jsonl", "events-2026-09-09.jsonl",
                             "notes.txt"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ManualClock c{utc("2026-12-07T23:59:59.998Z")};
    EventLog log({true, dir.path(), 90}, c.clock());
    log.record(QStringLiteral("a"), Origin::panel(), QStringLiteral("command"), QStringLiteral("play"));
    c.now = utc("2026-12-07T23:59:59.999Z");
    log.record(QStringLiteral("a"), Origin::panel(), QStringLiteral("command"), QStringLiteral("stop"));
    c.now = utc("2026-12-08T00:00:00.000Z");
    log.record(QStringLiteral("a"), Origin::key("F7"), QStringLiteral("command"), QStringLiteral("play"));

    const QList<QByteArray> before = lines(dir.filePath(QStringLiteral("events-2026-12-07.jsonl")));
    const QList<QByteArray> after = lines(dir.filePath(QStringLiteral("events-2026-12-08.jsonl")));
    ASSERT_EQ(before.size(), 2);
    ASSERT_EQ(after.size(), 1);
    const QJsonObject last = QJsonDocument::fromJson(after[0]).object();
    EXPECT_EQ(last.value(QLatin1String("ts")).toString(), QStringLiteral("2026-12-08T00:00:00.000Z"));
    EXPECT_EQ(last.value(QLatin1String("seq")).toInteger(), 3);
    EXPECT_EQ(last.value(QLatin1String("origin")).toString(), QStringLiteral("key F7"));
    EXPECT_EQ(QJsonDocument::fromJson(before[1]).object().value(QLatin1String("op")).toString(), QStringLiteral("stop"));

    // 90 days before 2026-12-08 is 2026-09-09: kept; the 8th went at midnight, the 1st at start.
    const QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left, (QStringList{QStringLiteral("events-2026-09-09.jsonl"), QStringLiteral("events-2026-12-07.jsonl"),
                                 QStringLiteral("events-2026-12-08.jsonl"), QStringLiteral("notes.txt")}));

    // Reading back across the midnight, and a range of one second on each side.
    EXPECT_EQ(readEvents(dir.path(), *parseLogTime(QStringLiteral("2026-12-07"), false),
                         *parseLogTime(QStringLiteral("2026-12-08"), true)).size(), 3);
    const QList<QJsonObject> edge = readEvents(dir.path(), *parseLogTime(QStringLiteral("2026-12-07T23:59:59.999"), false),
                                               *parseLogTime(QStringLiteral("2026-12-08T00:00Z"), false));
    ASSERT_EQ(edge.size(), 2);
    EXPECT_EQ(edge[0].value(QLatin1String("seq")).toInteger(), 2);
    EXPECT_FALSE(parseLogTime(QStringLiteral("2026-13-01"), false));
    EXPECT_FALSE(parseLogTime(QStringLiteral("yesterday"), false));
}

// A folder that cannot be made (its parent is a file): LOG OFF with the
// reason, events still reach listeners, and once the folder can be made the
// log comes back at the next minute and says how many lines it lost.
TEST(LogWriter, UnwritableFolderTurnsTheLogOffAndComesBackAfterAMinute) {
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ManualClock c{utc("2026-12-08T10:00:00.000Z")};
    EventLog log({true, blocker + QStringLiteral("/log"), 90}, c.clock());
    std::vector<std::pair<bool, QString>> changes;
    int heard = 0;
    QObject::connect(&log, &EventLog::offChanged, [&](bool off, const QString& why) { changes.emplace_back(off, why); });
    QObject::connect(&log, &EventLog::logged, [&](const QJsonObject&) { ++heard; });

    // Known at start, before any event.
    ASSERT_TRUE(log.isOff());
    EXPECT_TRUE(log.offReason().contains(blocker)) << log.offReason().toStdString();
    log.record(QStringLiteral("a"), Origin::panel(), QStringLiteral("command"), QStringLiteral("play"));
    c.now = c.now.addSecs(59);
    log.record(QStringLiteral("a"), Origin::panel(), QStringLiteral("command"), QStringLiteral("stop"));
    EXPECT_TRUE(log.isOff());
    EXPECT_TRUE(changes.empty());  // no change to tell: it was off from the start
    EXPECT_EQ(heard, 2);

    ASSERT_TRUE(QFile::remove(blocker));
    log.record(QStringLiteral("a"), Origin::panel(), QStringLiteral("command"), QStringLiteral("ff"));
    EXPECT_TRUE(log.isOff());  // not before the minute is up
    c.now = c.now.addSecs(1);
    log.record(QStringLiteral("a"), Origin::panel(), QStringLiteral("command"), QStringLiteral("rew"));
    ASSERT_FALSE(log.isOff());
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_FALSE(changes[0].first);

    const QList<QJsonObject> events =
        readEvents(blocker + QStringLiteral("/log"), c.now.addSecs(-3600), c.now.addSecs(1));
    ASSERT_EQ(events.size(), 2);
    EXPECT_EQ(events[0].value(QLatin1String("op")).toString(), QStringLiteral("rew"));
    EXPECT_EQ(events[1].value(QLatin1String("op")).toString(), QStringLiteral("log/on"));
    EXPECT_EQ(events[1].value(QLatin1String("args")).toObject().value(QLatin1String("lost")).toInteger(), 3);
    EXPECT_EQ(events[1].value(QLatin1String("args")).toObject().value(QLatin1String("since")).toString(),
              QStringLiteral("2026-12-08T10:00:00.000Z"));
}

// A full disk: /dev/full refuses every byte; a write cut short leaves no
// half line behind.
TEST(LogWriter, FullDiskAndShortWriteLeaveOnlyWholeLines) {
    QTemporaryDir dir;
    ManualClock c{utc("2026-12-08T10:00:00.000Z")};
    {
        ASSERT_EQ(::symlink("/dev/full", QFile::encodeName(dir.filePath(QStringLiteral("events-2026-12-08.jsonl")))), 0);
        LogWriter full(dir.path(), 90, c.clock());
        EXPECT_FALSE(full.write("{\"a\":1}"));
        EXPECT_TRUE(full.off());
        EXPECT_TRUE(full.reason().contains(QStringLiteral("No space left"))) << full.reason().toStdString();
        ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("events-2026-12-08.jsonl"))));
    }

    LogWriter writer(dir.path(), 90, c.clock());
    int calls = 0;
    writer.setWriteForTesting([&calls](int fd, const void* data, size_t size) -> ssize_t {
        // The third line: only half of it fits.
        if (++calls == 3) return ::write(fd, data, size / 2);
        return ::write(fd, data, size);
    });
    EXPECT_TRUE(writer.write("{\"n\":1}"));
    EXPECT_TRUE(writer.write("{\"n\":2}"));
    EXPECT_FALSE(writer.write("{\"n\":3,\"pad\":\"xxxxxxxxxxxxxxxxxxxx\"}"));
    EXPECT_TRUE(writer.off());
    EXPECT_TRUE(writer.reason().contains(QStringLiteral("disk full"))) << writer.reason().toStdString();
    const QList<QByteArray> written = lines(dir.filePath(QStringLiteral("events-2026-12-08.jsonl")));
    EXPECT_EQ(written, (QList<QByteArray>{"{\"n\":1}", "{\"n\":2}"}));

    // A minute on, the disk has room again: lines follow on a clean line.
    c.now = c.now.addSecs(60);
    EXPECT_TRUE(writer.write("{\"n\":4}"));
    EXPECT_EQ(lines(dir.filePath(QStringLiteral("events-2026-12-08.jsonl"))),
              (QList<QByteArray>{"{\"n\":1}", "{\"n\":2}", "{\"n\":4}"}));
}

// A child writing long lines as fast as it can, killed with SIGKILL: every
// line in the file parses, and the sequence has no hole.
TEST(LogWriter, KillInABurstLeavesEveryLineWhole) {
    QTemporaryDir dir;
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--burst"), dir.path()});
    ASSERT_TRUE(child.waitForStarted(5000));
    const QString file = dir.filePath(LogWriter::fileName(QDateTime::currentDateTimeUtc().date()));
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(file).size() > 2'000'000; }, 10000));
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    // The day may have turned while the child ran: read every file.
    qint64 expect = 1, count = 0;
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray all = f.readAll();
        EXPECT_TRUE(all.endsWith('\n')) << "a line was cut in " << name.toStdString();
        for (const QByteArray& line : all.split('\n')) {
            if (line.isEmpty()) continue;
            QJsonParseError error{};
            const QJsonObject e = QJsonDocument::fromJson(line, &error).object();
            ASSERT_EQ(error.error, QJsonParseError::NoError) << "line " << count + 1;
            EXPECT_EQ(e.value(QLatin1String("seq")).toInteger(), expect++);
            ++count;
        }
    }
    EXPECT_GT(count, 400);
}

}  // namespace
}  // namespace qz7::test
