// Where the log goes, as the command line and the rack's [log] section say
// (the command line wins; a reload that changes [log] waits for a restart),
// and qz7rack --log-export over a folder of day files.
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

#include "deck/origin.h"
#include "log/event_log.h"
#include "log/log_options.h"
#include "log/log_reader.h"
#include "rack/rack_config.h"
#include "rack/rack_service.h"

namespace qz7::test {
namespace {

QString readFile(const QString& path, const QByteArray& text, RackFile& file) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QStringLiteral("cannot write");
    f.write(text);
    f.close();
    file = {};
    return readRackFile(path, file);
}

TEST(LogOptions, CommandLineAndLogSectionCommandLineWinning) {
    QTemporaryDir dir;
    const QString conf = dir.filePath(QStringLiteral("rack.conf"));
    RackFile file;
    ASSERT_EQ(readFile(conf, "[log]\ndir = /srv/log/\nkeep-days = 30\nenabled = yes\n[deck a]\ndevices = 127.0.0.1\n", file)
                  .toStdString(), "");
    EXPECT_EQ(file.log.dir, QStringLiteral("/srv/log"));
    EXPECT_EQ(file.log.keepDays, 30);
    EXPECT_TRUE(file.log.enabled);

    const struct {
        const char* text;
        const char* error;
    } bad[] = {
        {"[log]\ndir = logs\n", "rack.conf:2: dir wants an absolute path, not 'logs'"},
        {"[log]\nkeep-days = 0\n", "rack.conf:2: keep-days wants a number of days 1..36500, not '0'"},
        {"[log]\nenabled = maybe\n", "rack.conf:2: enabled is yes or no, not 'maybe'"},
        {"[log]\nfolder = /x\n", "rack.conf:2: unknown key 'folder' in [log] (known: dir, keep-days, enabled)"},
        {"[log]\ndir = /a\ndir = /b\n", "rack.conf:3: 'dir' is given twice in [log]"},
    };
    for (const auto& b : bad) {
        RackFile f;
        EXPECT_EQ(readFile(conf, b.text, f).replace(conf, QStringLiteral("rack.conf")).toStdString(), b.error) << b.text;
    }

    const RackOptions cl = parseRackOptions({QStringLiteral("qz7rack"), QStringLiteral("--log-keep-days"),
                                             QStringLiteral("7"), QStringLiteral("--no-log")});
    ASSERT_EQ(cl.error.toStdString(), "");
    const LogOptions merged = mergeLog(file.log, cl.log);
    EXPECT_EQ(merged.dir, QStringLiteral("/srv/log"));
    EXPECT_EQ(merged.keepDays, 7);
    EXPECT_FALSE(merged.enabled);
    for (const QStringList& args : {QStringList{QStringLiteral("--log-keep-days"), QStringLiteral("x")},
                                    QStringList{QStringLiteral("--log-dir")},
                                    QStringList{QStringLiteral("--csv")},
                                    QStringList{QStringLiteral("--log-export"), QStringLiteral("2026-12-01")},
                                    QStringList{QStringLiteral("--log-export"), QStringLiteral("2026-12-01"),
                                                QStringLiteral("tomorrow")}})
        EXPECT_FALSE(parseRackOptions(QStringList{QStringLiteral("qz7rack")} + args).error.isEmpty())
            << args.join(QLatin1Char(' ')).toStdString();
}

// A [log] change on reload: reported, and the log keeps its folder.
TEST(LogOptions, ReloadReportsALogSectionChangeAsNeedingARestart) {
    QTemporaryDir dir;
    const QString conf = dir.filePath(QStringLiteral("rack.conf"));
    RackFile unused;
    ASSERT_EQ(readFile(conf, "[log]\nenabled = no\n[deck a]\ndevices = 127.0.147.1\n", unused).toStdString(), "");
    const RackOptions options = parseRackOptions({QStringLiteral("qz7rack"), QStringLiteral("--config"), conf});
    RackSetup setup;
    ASSERT_EQ(loadRackSetup(options, setup).toStdString(), "");
    QStringList lines;
    RackService service(options, setup, LinkTiming{std::chrono::milliseconds(1), std::chrono::milliseconds(3)},
                        [&lines](const QString& line) { lines << line; });
    ASSERT_TRUE(service.start(nullptr));
    EXPECT_FALSE(service.eventLog()->enabled());
    ASSERT_EQ(readFile(conf, "[log]\nenabled = yes\ndir = " + dir.path().toUtf8() + "\n[deck a]\ndevices = 127.0.147.1\n",
                       unused).toStdString(), "");
    service.reload();
    EXPECT_TRUE(lines.contains(
        QStringLiteral("reload: the [log] section changed; it takes effect at the next start of qz7rack")))
        << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(service.eventLog()->enabled());
    // Still told to listeners and kept for the web page, file or not.
    EXPECT_EQ(service.eventLog()->recent(QString(), 5).size(), 1);
}

// --log-export: the events of the range, in time order across the files of
// two processes, as JSON lines or CSV.
TEST(LogOptions, ExportPrintsTheRangeAsJsonLinesOrCsv) {
    QTemporaryDir dir;
    auto at = [](const char* ts) {
        QDateTime t = QDateTime::fromString(QString::fromLatin1(ts), Qt::ISODateWithMs);
        t.setTimeZone(QTimeZone::utc());
        return t;
    };
    QDateTime now = at("2026-12-07T23:00:00.000Z"), other = at("2026-12-07T23:00:00.500Z");
    EventLog a({true, dir.path(), 90}, [&now] { return now; });
    EventLog b({true, dir.path(), 90}, [&other] { return other; });
    a.record(QStringLiteral("x"), Origin::panel(), QStringLiteral("command"), QStringLiteral("play"));
    b.record(QStringLiteral("y"), Origin::rack(), QStringLiteral("command"), QStringLiteral("stop"));
    now = at("2026-12-08T01:00:00.000Z");
    a.record(QStringLiteral("x"), Origin::panel(), QStringLiteral("command"), QStringLiteral("ff"));
    {
        QFile f(dir.filePath(QStringLiteral("events-2026-12-08.jsonl")));
        ASSERT_TRUE(f.open(QIODevice::Append));
        // A line that is not JSON, and a cut last line (left out, not counted).
        f.write("not json\n{\"ts\":\"2026-12-08T02:00:00.000Z\",\"op\":\"cut");
    }

    RackSetup setup;
    setup.log.dir = dir.path();
    RackOptions options = parseRackOptions({QStringLiteral("qz7rack"), QStringLiteral("--log-export"),
                                            QStringLiteral("2026-12-07T23:00:00.200Z"), QStringLiteral("2026-12-08")});
    ASSERT_EQ(options.error.toStdString(), "");
    QByteArray out;
    int skipped = 0;
    ASSERT_EQ(exportLog(options, setup, out, &skipped).toStdString(), "");
    EXPECT_EQ(skipped, 1);
    QList<QByteArray> lines = out.split('\n');
    ASSERT_EQ(lines.size(), 3);  // two events and the end
    EXPECT_TRUE(lines[0].contains("\"op\":\"stop\"")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("\"op\":\"ff\"")) << lines[1].toStdString();

    options.csv = true;
    out.clear();
    ASSERT_EQ(exportLog(options, setup, out).toStdString(), "");
    const QList<QJsonObject> back = eventsFromCsv(out);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[0].value(QLatin1String("deck")).toString(), QStringLiteral("y"));
    EXPECT_EQ(back[1].value(QLatin1String("ts")).toString(), QStringLiteral("2026-12-08T01:00:00.000Z"));
}

}  // namespace
}  // namespace qz7::test
