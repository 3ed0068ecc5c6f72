// The log's file: one per UTC day with old days removed, a line whole or not
// at all, LOG OFF with its reason and the retry a minute later, private
// modes, no symlink followed, a removed folder noticed and the loss told, and
// a kill in the middle of a burst leaving only whole lines once repaired.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

QJsonObject object(const QByteArray& line) { return QJsonDocument::fromJson(line).object(); }
QString text(const QJsonObject& e, const char* key) { return e.value(QLatin1String(key)).toString(); }
QJsonObject args(const QJsonObject& e) { return e.value(QLatin1String("args")).toObject(); }

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

void record(EventLog& log, const char* op) {
    log.record(QStringLiteral("a"), Origin::panel(), QStringLiteral("command"), QString::fromLatin1(op));
}

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
        LogWriter full(dir.path(), 90, c.clock());
        full.setWriteForTesting([](int, const void*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        EXPECT_FALSE(full.write("{\"a\":1}"));
        EXPECT_TRUE(full.off());
        EXPECT_TRUE(full.reason().contains(QStringLiteral("No space left"))) << full.reason().toStdString();
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

// The folder and files are the operators' only (they hold client
// addresses). A symlink at the day's name is not followed and a FIFO is not
// opened: LOG OFF with the reason, the target untouched, and once the name
// is free the log comes back and tells what it lost since when.
TEST(LogWriter, FilesArePrivateAndALinkOrFifoAtTheNameIsRefused) {
    const mode_t mask = ::umask(022);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state/log"));
    ManualClock c{utc("2026-12-07T10:00:00.000Z")};
    {
        EventLog log({true, folder, 90}, c.clock());
        record(log, "play");
    }
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("state"))), 0750u);
    EXPECT_EQ(modeOf(folder), 0750u);
    EXPECT_EQ(modeOf(folder + QStringLiteral("/events-2026-12-07.jsonl")), 0640u);

    const QString target = dir.filePath(QStringLiteral("target"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep\n");
    }
    const QString name = folder + QStringLiteral("/events-2026-12-08.jsonl");
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(name).constData()), 0);
    c.now = utc("2026-12-08T10:00:00.000Z");
    EventLog log({true, folder, 90}, c.clock());
    std::vector<std::pair<bool, QString>> changes;
    QObject::connect(&log, &EventLog::offChanged, [&](bool off, const QString& why) { changes.emplace_back(off, why); });
    ASSERT_TRUE(log.isOff());
    EXPECT_TRUE(log.offReason().contains(QStringLiteral("symbolic link"))) << log.offReason().toStdString();
    record(log, "play");

    ASSERT_TRUE(QFile::remove(name));
    ASSERT_EQ(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
    c.now = c.now.addSecs(60);
    record(log, "stop");  // the retry: not opened, and nothing waits on the FIFO
    EXPECT_TRUE(log.isOff());
    EXPECT_TRUE(log.offReason().contains(QStringLiteral("not a regular file"))) << log.offReason().toStdString();

    ASSERT_TRUE(QFile::remove(name));
    c.now = c.now.addSecs(60);
    record(log, "ff");
    ASSERT_FALSE(log.isOff());
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_FALSE(changes[0].first);
    EXPECT_EQ(lines(target), (QList<QByteArray>{"keep"}));
    const QList<QByteArray> written = lines(name);
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(text(object(written[0]), "op"), QStringLiteral("ff"));
    const QJsonObject on = object(written[1]);
    EXPECT_EQ(text(on, "op"), QStringLiteral("log/on"));
    EXPECT_EQ(args(on).value(QLatin1String("lost")).toInteger(), 2);
    EXPECT_EQ(text(args(on), "since"), QStringLiteral("2026-12-08T10:00:00.000Z"));
    EXPECT_EQ(modeOf(name), 0640u);

    // A day file an older version left readable by all is made private.
    const QString old = folder + QStringLiteral("/events-2026-12-09.jsonl");
    ASSERT_EQ(::close(::open(QFile::encodeName(old).constData(), O_CREAT | O_WRONLY, 0644)), 0);
    c.now = utc("2026-12-09T00:00:00.000Z");
    record(log, "rew");
    EXPECT_EQ(modeOf(old), 0640u);
    ::umask(mask);
}

// The folder removed while the log runs: the next write after the second's
// check makes it again; the lines that went into the removed file count as
// lost, told in a log/on line with the reason, and LOG OFF / on is signalled
// so that the operator sees it. A file replaced while idle is found by
// check() (the minute's timer) and a new one opened.
TEST(LogWriter, ARemovedOrReplacedFileIsNoticedAndTheLossTold) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("log"));
    const QString name = folder + QStringLiteral("/events-2026-12-08.jsonl");
    ManualClock c{utc("2026-12-08T10:00:00.000Z")};
    EventLog log({true, folder, 90}, c.clock());
    std::vector<std::pair<bool, QString>> changes;
    QObject::connect(&log, &EventLog::offChanged, [&](bool off, const QString& why) { changes.emplace_back(off, why); });
    record(log, "play");
    c.now = c.now.addMSecs(1500);
    record(log, "stop");  // checked: in place
    ASSERT_TRUE(QDir(folder).removeRecursively());
    c.now = c.now.addMSecs(200);
    record(log, "ff");
    record(log, "rew");  // both into the removed file
    EXPECT_TRUE(changes.empty());
    c.now = c.now.addMSecs(900);
    record(log, "play");
    ASSERT_FALSE(log.isOff());
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_TRUE(changes[0].first);
    EXPECT_TRUE(changes[0].second.contains(QStringLiteral("was removed"))) << changes[0].second.toStdString();
    EXPECT_FALSE(changes[1].first);
    QList<QByteArray> written = lines(name);
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(text(object(written[0]), "op"), QStringLiteral("play"));
    QJsonObject on = object(written[1]);
    EXPECT_EQ(text(on, "op"), QStringLiteral("log/on"));
    // stop was checked in place and went with the folder all the same: the
    // count is what was written since the last look that found the file.
    EXPECT_EQ(args(on).value(QLatin1String("lost")).toInteger(), 3);
    EXPECT_EQ(text(args(on), "since"), QStringLiteral("2026-12-08T10:00:01.500Z"));
    EXPECT_TRUE(text(args(on), "reason").contains(name)) << text(args(on), "reason").toStdString();

    // Replaced by a file of its own while nothing is logged.
    const QString other = dir.filePath(QStringLiteral("other"));
    {
        QFile f(other);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(name).constData()), 0);
    c.now = c.now.addSecs(60);
    log.writer()->check();
    record(log, "stop");
    written = lines(name);
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(text(object(written[0]), "op"), QStringLiteral("stop"));
    on = object(written[1]);
    // play and the log/on line went with the file replaced.
    EXPECT_EQ(args(on).value(QLatin1String("lost")).toInteger(), 2);
    EXPECT_EQ(text(args(on), "since"), QStringLiteral("2026-12-08T10:00:02.600Z"));
    EXPECT_TRUE(text(args(on), "reason").contains(QStringLiteral("was replaced"))) << text(args(on), "reason").toStdString();
    EXPECT_EQ(changes.size(), 4u);
}

// A cut last line (a kill in the middle of its write) is cut off at the
// next start and the repair is told; readers leave such a line out before.
TEST(LogWriter, ACutLastLineIsRemovedAtStartAndTold) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("events-2026-12-08.jsonl"));
    const QByteArray cut = "{\"ts\":\"2026-12-08T09:00:02.000Z\",\"op\":\"retrieve\",\"bytes\":[\"3e0a";
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\"ts\":\"2026-12-08T09:00:00.000Z\",\"op\":\"play\"}\n"
                "{\"ts\":\"2026-12-08T09:00:01.000Z\",\"op\":\"stop\"}\n" + cut);
    }
    const QDateTime from = utc("2026-12-08T00:00:00.000Z"), to = utc("2026-12-08T23:00:00.000Z");
    int skipped = -1;
    EXPECT_EQ(readEvents(dir.path(), from, to, &skipped).size(), 2);
    EXPECT_EQ(skipped, 0);

    ManualClock c{utc("2026-12-08T10:00:00.000Z")};
    EventLog log({true, dir.path(), 90}, c.clock());
    record(log, "ff");
    const QList<QByteArray> written = lines(name);
    ASSERT_EQ(written.size(), 4);
    EXPECT_EQ(text(object(written[1]), "op"), QStringLiteral("stop"));
    const QJsonObject repair = object(written[2]);
    EXPECT_EQ(text(repair, "op"), QStringLiteral("log/repair"));
    EXPECT_EQ(args(repair).value(QLatin1String("bytes")).toInteger(), cut.size());
    EXPECT_EQ(text(args(repair), "file"), QStringLiteral("events-2026-12-08.jsonl"));
    EXPECT_EQ(text(object(written[3]), "op"), QStringLiteral("ff"));
    EXPECT_EQ(readEvents(dir.path(), from, to, &skipped).size(), 4);
    EXPECT_EQ(skipped, 0);
}

// A child writing long lines as fast as it can, killed with SIGKILL. The
// kernel may stop a write at a page boundary when the process is killed, so
// the last line can be cut; the next start removes the cut part and says so.
// Then every line parses and the child's sequence has no hole.
TEST(LogWriter, KillInABurstLeavesEveryLineWhole) {
    QTemporaryDir dir;
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--burst"), dir.path()});
    ASSERT_TRUE(child.waitForStarted(5000));
    const QString file = dir.filePath(LogWriter::fileName(QDateTime::currentDateTimeUtc().date()));
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(file).size() > 2'000'000; }, 10000));
    const qint64 pid = child.processId();
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    // The day may have turned while the child ran: its last file is today's.
    const QStringList names = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(names.isEmpty());
    qint64 tail = 0;
    {
        QFile f(dir.filePath(names.last()));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray all = f.readAll();
        tail = all.size() - (all.lastIndexOf('\n') + 1);
    }
    RecordProperty("cut_bytes", static_cast<int>(tail));
    qint64 repaired = 0;
    {
        EventLog log({true, dir.path(), 90});
        for (const QJsonObject& e : log.kept())
            if (text(e, "op") == QLatin1String("log/repair")) repaired = args(e).value(QLatin1String("bytes")).toInteger();
    }
    EXPECT_EQ(repaired, tail);

    qint64 expect = 1, count = 0;
    for (const QString& name : names) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray all = f.readAll();
        EXPECT_TRUE(all.endsWith('\n')) << "a line was left cut in " << name.toStdString();
        for (const QByteArray& line : all.split('\n')) {
            if (line.isEmpty()) continue;
            QJsonParseError error{};
            const QJsonObject e = QJsonDocument::fromJson(line, &error).object();
            ASSERT_EQ(error.error, QJsonParseError::NoError) << "line " << count + 1;
            if (e.value(QLatin1String("pid")).toInteger() != pid) continue;
            EXPECT_EQ(e.value(QLatin1String("seq")).toInteger(), expect++);
            ++count;
        }
    }
    EXPECT_GT(count, 400);
}

}  // namespace
}  // namespace qz7::test
