// Decks against simulated recorders, followed by the event log: every origin
// attributed, refusals with their reason, what the recorder reported (REC
// with the timecode and the file, the link, the error text) once each, and
// the file read back and round-tripped through CSV.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include "deck_fixture.h"
#include "log/event_log.h"
#include "log/log_reader.h"
#include "net/link_monitor.h"
#include "osc_messages.h"
#include "rack/rack_service.h"
#include "remote/osc_server.h"
#include "wait_for.h"

namespace qz7::test {
namespace {

QString field(const QJsonObject& e, const char* key) { return e.value(QLatin1String(key)).toString(); }

class EventLogTest : public DeckTest {
protected:
    void startLog() {
        log = std::make_unique<EventLog>(LogOptions{true, dir.path(), 90});
        QObject::connect(log.get(), &EventLog::logged, [this](const QJsonObject& e) { heard.append(e); });
        log->attach(*deck);
    }
    QList<QJsonObject> fromFile() const {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        return readEvents(dir.path(), now.addDays(-1), now.addDays(1));
    }
    QList<QJsonObject> where(const QList<QJsonObject>& events, const char* key, const QString& value) const {
        QList<QJsonObject> out;
        for (const QJsonObject& e : events)
            if (field(e, key) == value) out.append(e);
        return out;
    }
    void TearDown() override {
        log.reset();
        DeckTest::TearDown();
    }

    QTemporaryDir dir;
    std::unique_ptr<EventLog> log;
    QList<QJsonObject> heard;
};

// Each front end's origin as the deck was given it, with args, outcome and
// the bytes that were queued; a refusal carries its reason and no bytes.
TEST_F(EventLogTest, EveryOriginIsAttributedWithArgsOutcomeAndBytes) {
    qz7sim::Config config;
    config.files = 3;
    startDeck(141, config);
    deck->setName(QStringLiteral("studio-a"));
    startLog();
    EXPECT_FALSE(deck->play(Origin::key("F7")).queued());
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(deck->play(Origin::panel()).queued());
    ASSERT_TRUE(deck->stop(true, Origin::key("F6")).queued());
    ASSERT_TRUE(deck->wind(Direction::Reverse, 1, Origin::osc("127.0.0.1:51000")).queued());
    ASSERT_TRUE(deck->slow(Direction::Reverse, 4, Origin::web("10.0.0.5")).queued());
    ASSERT_TRUE(deck->goTo("00:01:00:00", Origin::web("10.0.0.5")).queued());
    EXPECT_FALSE(deck->openFile(9, Origin::osc("127.0.0.1:51000")).queued());
    ASSERT_TRUE(drain());

    const QList<QJsonObject> events = fromFile();
    const QList<QJsonObject> commands = where(events, "kind", QStringLiteral("command"));
    const QList<QJsonObject> refused = where(events, "kind", QStringLiteral("refused"));
    ASSERT_EQ(refused.size(), 2);
    EXPECT_EQ(field(refused[0], "origin"), QStringLiteral("key F7"));
    EXPECT_EQ(field(refused[0], "op"), QStringLiteral("play"));
    EXPECT_EQ(field(refused[0], "outcome"), QStringLiteral("link off"));
    EXPECT_FALSE(refused[0].contains(QLatin1String("bytes")));
    EXPECT_EQ(field(refused[1], "origin"), QStringLiteral("osc 127.0.0.1:51000"));
    EXPECT_EQ(field(refused[1], "outcome"), QStringLiteral("no file 9 (recorded files: 3)"));
    EXPECT_EQ(refused[1].value(QLatin1String("args")).toObject(), (QJsonObject{{QStringLiteral("number"), 9}}));

    struct Want {
        const char* op;
        const char* origin;
        QJsonObject args;
        Packet packet;
    };
    const std::vector<Want> wants = {
        {"play", "panel", {}, cmd::play()},
        {"stop", "key F6", {{QStringLiteral("lock"), 1}}, cmd::stop(true)},
        {"rew", "osc 127.0.0.1:51000", {{QStringLiteral("item"), 1}}, cmd::wind(Direction::Reverse, 1)},
        {"slow", "web 10.0.0.5", {{QStringLiteral("direction"), -1}, {QStringLiteral("item"), 4}},
         cmd::slow(Direction::Reverse, 4)},
        {"goto", "web 10.0.0.5", {{QStringLiteral("timecode"), QStringLiteral("00:01:00:00")}},
         cmd::timecodeSearch(Timecode::parse("00:01:00:00")->bytes())},
    };
    // The apply goes first; the operations follow in the order they were made.
    ASSERT_EQ(commands.size(), 1 + static_cast<qsizetype>(wants.size()));
    EXPECT_EQ(field(commands[0], "op"), QStringLiteral("apply"));
    for (std::size_t i = 0; i < wants.size(); ++i) {
        const QJsonObject& e = commands[static_cast<qsizetype>(i) + 1];
        SCOPED_TRACE(wants[i].op);
        EXPECT_EQ(field(e, "op"), QString::fromLatin1(wants[i].op));
        EXPECT_EQ(field(e, "origin"), QString::fromLatin1(wants[i].origin));
        EXPECT_EQ(field(e, "deck"), QStringLiteral("studio-a"));
        EXPECT_EQ(field(e, "outcome"), QStringLiteral("queued"));
        EXPECT_EQ(e.value(QLatin1String("args")).toObject(), wants[i].args);
        const std::vector<std::uint8_t> wire = wants[i].packet.wire();
        EXPECT_EQ(field(e, "bytes"),
                  QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(wire.data()),
                                                 static_cast<qsizetype>(wire.size())).toHex()));
        EXPECT_EQ(e.value(QLatin1String("pid")).toInteger(), QCoreApplication::applicationPid());
    }
    // Told to listeners as written, sequence without a hole.
    ASSERT_EQ(heard.size(), events.size());
    for (qsizetype i = 0; i < events.size(); ++i) EXPECT_EQ(heard[i], events[i]);
    for (qsizetype i = 1; i < events.size(); ++i)
        EXPECT_EQ(events[i].value(QLatin1String("seq")).toInteger(), events[i - 1].value(QLatin1String("seq")).toInteger() + 1);
    // The web page's view: the deck's last events, oldest first.
    const QJsonArray recent = log->recent(QStringLiteral("studio-a"), 2);
    ASSERT_EQ(recent.size(), 2);
    EXPECT_EQ(recent[1].toObject(), events.last());
    EXPECT_TRUE(log->recent(QStringLiteral("nobody"), 50).isEmpty());
}

// REC start and stop each once with the timecode and the file; the link's
// OK and OFF once each; the error text coming and going; a Retrieve's end
// with its counts. The timecode alone is never an event.
TEST_F(EventLogTest, RecorderReportsAreLoggedOnceWithTheTimecode) {
    qz7sim::Config config;
    config.files = 3;
    config.error = "FAN STOP";
    startDeck(142, config);
    startLog();
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(waitFor([this] { return deck->status().errorText == "FAN STOP"; }));
    ASSERT_TRUE(deck->record(Origin::key("Shift+F9")).queued());
    ASSERT_TRUE(waitFor([this] { return deck->status().rec; }));
    const std::string tcBefore = deck->status().timecode.text();
    ASSERT_TRUE(waitFor([&] { return deck->status().timecode.text() != tcBefore; }));
    ASSERT_TRUE(deck->stop(false, Origin::panel()).queued());
    ASSERT_TRUE(waitFor([this] { return deck->status().transport == "STOP"; }));
    ASSERT_TRUE(deck->errorReset(Origin::panel()).queued());
    ASSERT_TRUE(waitFor([this] { return !deck->status().errorLatch; }));
    ASSERT_TRUE(retrieveAndWait());
    deck->scan(Origin::panel());
    ASSERT_TRUE(waitFor([this] { return deck->monitor().state() == LinkMonitor::State::Off; }));

    const QList<QJsonObject> events = fromFile();
    const QList<QJsonObject> starts = where(events, "op", QStringLiteral("rec/start"));
    const QList<QJsonObject> stops = where(events, "op", QStringLiteral("rec/stop"));
    ASSERT_EQ(starts.size(), 1);
    ASSERT_EQ(stops.size(), 1);
    EXPECT_EQ(field(starts[0], "transport"), QStringLiteral("REC"));
    EXPECT_EQ(field(starts[0], "origin"), QStringLiteral("recorder"));
    EXPECT_EQ(field(starts[0], "kind"), QStringLiteral("recorder"));
    EXPECT_EQ(field(starts[0], "file"), QStringLiteral("REC FILE : 004"));
    EXPECT_EQ(field(stops[0], "transport"), QStringLiteral("STOP"));
    // The timecode ran between the two, and each names where it was.
    EXPECT_TRUE(Timecode::parse(field(starts[0], "tc").toStdString()));
    EXPECT_LT(field(starts[0], "tc"), field(stops[0], "tc"));
    EXPECT_EQ(where(events, "op", QStringLiteral("transport")).size(), 0) << "STOP to REC to STOP only";

    const QList<QJsonObject> link = where(events, "kind", QStringLiteral("link"));
    ASSERT_EQ(link.size(), 2);
    EXPECT_EQ(field(link[0], "link"), QStringLiteral("OK"));
    EXPECT_EQ(field(link[0], "address"), host(1));
    EXPECT_EQ(field(link[1], "link"), QStringLiteral("OFF"));

    const QList<QJsonObject> errorText = where(events, "op", QStringLiteral("error/on"));
    const QList<QJsonObject> errorClear = where(events, "op", QStringLiteral("error/off"));
    ASSERT_EQ(errorText.size(), 1);
    ASSERT_EQ(errorClear.size(), 1);
    EXPECT_EQ(field(errorText[0], "error"), QStringLiteral("FAN STOP"));
    EXPECT_EQ(field(errorClear[0], "error"), QStringLiteral("FAN STOP"));
    // The text was asked for by the deck itself, on the recorder's flag.
    const QList<QJsonObject> own = where(where(events, "origin", QStringLiteral("recorder")), "kind", QStringLiteral("command"));
    EXPECT_EQ(where(own, "op", QStringLiteral("error/text")).size(), 1);
    // and the name of the file its REC added.
    EXPECT_EQ(where(own, "op", QStringLiteral("file/read")).size(), 1);

    const QList<QJsonObject> retrieve =
        where(where(events, "op", QStringLiteral("retrieve")), "kind", QStringLiteral("command"));
    const QList<QJsonObject> done = where(events, "op", QStringLiteral("retrieve/done"));
    ASSERT_EQ(retrieve.size(), 1);
    ASSERT_EQ(done.size(), 1);
    const qint64 requests = retrieve[0].value(QLatin1String("args")).toObject().value(QLatin1String("requests")).toInteger();
    EXPECT_EQ(retrieve[0].value(QLatin1String("bytes")).toArray().size(), requests);
    EXPECT_EQ(done[0].value(QLatin1String("args")).toObject(),
              (QJsonObject{{QStringLiteral("requests"), requests}, {QStringLiteral("missing"), 0}}));
    EXPECT_EQ(field(done[0], "outcome"), QStringLiteral("complete"));
}

// "Apply" while a Retrieve is still going out ends it, and the log says so
// rather than calling it complete.
TEST_F(EventLogTest, ARetrieveCutShortByApplyIsNotLoggedComplete) {
    qz7sim::Config config;
    config.files = 64;
    startDeck(144, config);
    startLog();
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(deck->retrieve(Origin::panel()).queued());
    ASSERT_TRUE(waitFor([this] { return deck->retrieveProgress().sent > 0; }));
    deck->apply(0, Origin::panel());
    EXPECT_TRUE(deck->retrieveProgress().cancelled);
    const QList<QJsonObject> done = where(fromFile(), "op", QStringLiteral("retrieve/done"));
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(field(done[0], "outcome"), QStringLiteral("cancelled by apply"));
}

// The CSV of a range reads back into the same events, commas, quotes and
// arrays of bytes included.
TEST_F(EventLogTest, CsvExportRoundTrips) {
    startDeck(143);
    startLog();
    ASSERT_TRUE(applyAndWait());
    deck->goTo("not, a \"time\"", Origin::osc("127.0.0.1:9"));
    deck->editFile(1, "A,B \"C\"", 1, Origin::panel());
    log->record(QStringLiteral("deck"), Origin::recorder(), QStringLiteral("recorder"), QStringLiteral("error/on"),
                {{QStringLiteral("error"), QStringLiteral("[E12] {FAN}")}});
    log->record(QString(), Origin::rack(), QStringLiteral("system"), QStringLiteral("reload"),
                {{QStringLiteral("outcome"), QStringLiteral("reload: 1 deck(s)\nsecond line")}});
    // Texts a spreadsheet would run as formulas, one that begins with the
    // apostrophe itself, and the numbers and objects of later events.
    const QStringList formulas = {QStringLiteral("=HYPERLINK(\"http://x\",\"y\")"), QStringLiteral("+1"),
                                  QStringLiteral("-2,3"), QStringLiteral("@SUM(A1)"), QStringLiteral("'=1"),
                                  QStringLiteral("''-"), QStringLiteral("'plain")};
    for (const QString& text : formulas)
        log->record(QStringLiteral("deck"), Origin::web(text.toStdString()), QStringLiteral("recorder"),
                    QStringLiteral("error/on"), {{QStringLiteral("error"), text}, {QStringLiteral("repeated"), 4}});
    emit deck->superseded(Origin::panel(), 3, {{QStringLiteral("ff"), 2}, {QStringLiteral("play"), 1}});
    const QList<QJsonObject> events = fromFile();
    ASSERT_GE(events.size(), 4);
    const QByteArray csv = eventsToCsv(events);
    EXPECT_TRUE(csv.startsWith("ts,seq,pid,deck,origin,kind,op,args,outcome,bytes,tc,")) << csv.left(80).toStdString();
    QString error;
    const QList<QJsonObject> back = eventsFromCsv(csv, &error);
    EXPECT_EQ(error.toStdString(), "");
    ASSERT_EQ(back.size(), events.size());
    for (qsizetype i = 0; i < events.size(); ++i)
        EXPECT_EQ(back[i], events[i]) << QJsonDocument(back[i]).toJson().toStdString() << " from "
                                      << QJsonDocument(events[i]).toJson().toStdString();
    // What a spreadsheet is given: each formula cell quoted, an apostrophe first.
    for (const char* cell : {",\"'=HYPERLINK(", ",\"'+1\",", ",\"'-2,3\",", ",\"'@SUM(A1)\",", ",\"''=1\",",
                             ",\"'''-\",", ",'plain,"})
        EXPECT_TRUE(csv.contains(cell)) << cell;
    for (const char* cell : {",=", ",+", ",-", ",@", ",\"=", ",\"-"}) EXPECT_FALSE(csv.contains(cell)) << cell;
    EXPECT_FALSE(eventsFromCsv("ts,seq\n\"open", &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

// A flood of one refusal from one origin: the first line at once, the
// repeats as one line a second with their count, a quiet second ends the run;
// every refusal is in a count. A STOP's clearing of the stack is one line.
TEST(EventLogFlood, RefusalRunsAreCountedAndASupersedeIsOneLine) {
    QTemporaryDir dir;
    QDateTime now;
    auto at = [&now](int ms) { now = QDateTime(QDate(2026, 12, 8), QTime(10, 0), QTimeZone::utc()).addMSecs(ms); };
    at(0);
    DevicePair devices;
    devices.first = devices.second = QStringLiteral("127.0.148.1");
    devices.single = true;
    Deck deck(devices);  // never started: every operation is refused, "link off"
    deck.setName(QStringLiteral("a"));
    const Origin flooder = Origin::osc("127.0.0.1:51000"), other = Origin::web("127.0.0.9");
    {
        EventLog log({true, dir.path(), 90}, [&now] { return now; });
        log.attach(deck);
        for (int i = 0; i < 1000; ++i) deck.play(flooder);
        for (int i = 0; i < 5; ++i) deck.play(other);
        deck.stop(false, flooder);
        at(999);
        log.flushRepeats();  // the second is not over
        at(1000);
        log.flushRepeats();
        at(1500);
        for (int i = 0; i < 10; ++i) deck.play(flooder);
        at(2000);
        log.flushRepeats();
        at(3000);
        log.flushRepeats();  // a quiet second: the run ends
        at(3100);
        deck.play(flooder);
        deck.play(flooder);
        emit deck.superseded(flooder, 2003, {{QStringLiteral("ff"), 2000}, {QStringLiteral("play"), 3}});
    }  // the last count goes out with the log

    const QList<QJsonObject> events = readEvents(dir.path(), now.addDays(-1), now.addDays(1));
    using Line = std::tuple<QString, QString, qint64>;  // origin, op, repeated
    std::vector<Line> got;
    qint64 plays = 0;
    for (const QJsonObject& e : events) {
        const qint64 repeated = e.value(QLatin1String("repeated")).toInteger(0);
        got.emplace_back(field(e, "origin"), field(e, "op"), repeated);
        if (field(e, "origin") == QLatin1String("osc 127.0.0.1:51000") && field(e, "op") == QLatin1String("play"))
            plays += std::max<qint64>(1, repeated);
    }
    const QString osc = QStringLiteral("osc 127.0.0.1:51000"), web = QStringLiteral("web 127.0.0.9");
    const QString play = QStringLiteral("play"), stop = QStringLiteral("stop");
    EXPECT_EQ(got, (std::vector<Line>{{osc, play, 0}, {web, play, 0}, {osc, stop, 0}, {osc, play, 999}, {web, play, 4},
                                      {osc, play, 10}, {osc, play, 0}, {osc, stop, 0}, {osc, play, 1}}));
    EXPECT_EQ(plays, 1012);
    ASSERT_EQ(events.size(), 9);
    EXPECT_EQ(field(events[3], "outcome"), QStringLiteral("link off"));
    EXPECT_EQ(field(events[3], "kind"), QStringLiteral("refused"));
    EXPECT_EQ(field(events[3], "ts"), QStringLiteral("2026-12-08T10:00:00.000Z"));  // the last repeat's time
    const QJsonObject& cleared = events[7];
    EXPECT_EQ(field(cleared, "kind"), QStringLiteral("superseded"));
    EXPECT_EQ(field(cleared, "deck"), QStringLiteral("a"));
    EXPECT_EQ(cleared.value(QLatin1String("count")).toInteger(), 2003);
    EXPECT_EQ(cleared.value(QLatin1String("removed")).toObject(),
              (QJsonObject{{QStringLiteral("ff"), 2000}, {QStringLiteral("play"), 3}}));
}

// The rack: its decks logged under their names, an OSC sender with its
// address and port, and a reload as a system event of origin rack.
TEST(EventLogRack, OscSenderAndReloadAreAttributed) {
    std::vector<std::unique_ptr<qz7sim::SimServer>> sims;
    for (const char* a : {"127.0.145.1", "127.0.146.1"}) {
        qz7sim::SimOptions options;
        options.address = QHostAddress(QString::fromLatin1(a));
        sims.push_back(std::make_unique<qz7sim::SimServer>(qz7sim::Config{}, options));
        ASSERT_TRUE(sims.back()->start());
    }
    QTemporaryDir dir;
    const QString conf = dir.filePath(QStringLiteral("rack.conf"));
    auto write = [&](const QByteArray& text) {
        QFile f(conf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };
    const QString logDir = dir.filePath(QStringLiteral("log"));
    write("[osc]\nport = 0\n[log]\ndir = " + logDir.toUtf8() + "\n[deck one]\ndevices = 127.0.145.1\n");
    RackOptions options = parseRackOptions({QStringLiteral("qz7rack"), QStringLiteral("--config"), conf});
    RackSetup setup;
    ASSERT_EQ(loadRackSetup(options, setup).toStdString(), "");
    QStringList lines;
    RackService service(options, setup, LinkTiming{std::chrono::milliseconds(1), std::chrono::milliseconds(3)},
                        [&lines](const QString& line) { lines << line; });
    QString error;
    ASSERT_TRUE(service.start(&error)) << error.toStdString();
    ASSERT_TRUE(waitUntil([&] { return service.rack().deck(QStringLiteral("one"))->monitor().state() == LinkMonitor::State::Ok; }, 3000));

    QUdpSocket sender;
    ASSERT_TRUE(sender.bind(QHostAddress::LocalHost, 0));
    const std::vector<std::uint8_t> play = osc("/qz7/deck/one/play");
    sender.writeDatagram(reinterpret_cast<const char*>(play.data()), static_cast<qint64>(play.size()),
                         QHostAddress::LocalHost, service.osc()->port());
    const QString from = QStringLiteral("osc 127.0.0.1:%1").arg(sender.localPort());
    EventLog& log = *service.eventLog();
    ASSERT_TRUE(waitUntil([&] {
        for (const QJsonValue& v : log.recent(QStringLiteral("one"), 10))
            if (field(v.toObject(), "op") == QLatin1String("play")) return true;
        return false;
    }, 3000));

    write("[osc]\nport = 0\n[log]\ndir = " + logDir.toUtf8() + "\n[deck one]\ndevices = 127.0.145.1\n"
          "[deck two]\ndevices = 127.0.146.1\n");
    const QString said = service.reload();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QList<QJsonObject> events = readEvents(logDir, now.addDays(-1), now.addDays(1));
    QList<QJsonObject> plays, reloads, applies;
    for (const QJsonObject& e : events) {
        if (field(e, "op") == QLatin1String("play")) plays.append(e);
        if (field(e, "op") == QLatin1String("reload")) reloads.append(e);
        if (field(e, "op") == QLatin1String("apply")) applies.append(e);
    }
    ASSERT_EQ(plays.size(), 1);
    EXPECT_EQ(field(plays[0], "origin"), from);
    EXPECT_EQ(field(plays[0], "deck"), QStringLiteral("one"));
    ASSERT_EQ(reloads.size(), 1);
    EXPECT_EQ(field(reloads[0], "origin"), QStringLiteral("rack"));
    EXPECT_EQ(field(reloads[0], "kind"), QStringLiteral("system"));
    EXPECT_EQ(field(reloads[0], "outcome"), said);
    EXPECT_EQ(reloads[0].value(QLatin1String("args")).toObject().value(QLatin1String("started")).toArray(),
              (QJsonArray{QStringLiteral("two")}));
    // Each deck's start: its apply by the rack.
    ASSERT_EQ(applies.size(), 2);
    EXPECT_EQ(field(applies[1], "deck"), QStringLiteral("two"));
    EXPECT_EQ(field(applies[1], "origin"), QStringLiteral("rack"));
    EXPECT_LT(applies[1].value(QLatin1String("seq")).toInteger(), reloads[0].value(QLatin1String("seq")).toInteger());
}

}  // namespace
}  // namespace qz7::test
