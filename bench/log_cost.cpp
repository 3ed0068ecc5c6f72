#include "log_cost.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "deck/deck.h"
#include "log/event_log.h"
#include "net/link_monitor.h"
#include "net/poll_driver.h"
#include "probes.h"
#include "simserver.h"
#include "stats.h"

namespace qz7bench {

namespace {

const QString kLogSimHost = QStringLiteral("127.0.0.67");

struct Phase {
    bool logged = false;
    std::vector<long long> ticks;
    std::vector<double> callUs;  // each operation's call, log included when on
    double cpuPercent = 0;
    int commands = 0;
};

struct Volume {
    qint64 events = 0, bytes = 0;
    qint64 retrieveEvents = 0, retrieveBytes = 0, retrieveRequests = 0;
};

// One operation a second, origins and operations in turn.
void operate(qz7::Deck& deck, int n, Phase& phase) {
    using qz7::Origin;
    static const Origin origins[] = {Origin::panel(), Origin::key("F7"), Origin::osc("127.0.0.1:51000"),
                                     Origin::web("10.0.0.5")};
    const Origin& o = origins[n % 4];
    const long long t0 = nowNs();
    switch (n % 8) {
    case 0: deck.play(o); break;
    case 1: deck.stop(false, o); break;
    case 2: deck.wind(qz7::Direction::Forward, 2, o); break;
    case 3: deck.stop(true, o); break;
    case 4: deck.goTo("00:00:10:00", o); break;
    case 5: deck.wind(qz7::Direction::Reverse, 0, o); break;
    case 6: deck.openFile(1, o); break;
    default: deck.slow(qz7::Direction::Forward, 3, o); break;
    }
    phase.callUs.push_back(static_cast<double>(nowNs() - t0) / 1000.0);
    ++phase.commands;
}

Phase runPhase(qz7::Deck& deck, bool logged, const QString& dir, int seconds, Volume& volume) {
    Phase p;
    p.logged = logged;
    std::unique_ptr<qz7::EventLog> log;
    if (logged) {
        log = std::make_unique<qz7::EventLog>(qz7::LogOptions{true, dir, 90});
        log->attach(deck);
        // Only the Retrieve's lines are weighed here (two a phase); the rest
        // is what the files hold, so the measure adds no work of its own.
        QObject::connect(log.get(), &qz7::EventLog::logged, [&volume](const QJsonObject& e) {
            ++volume.events;
            const QString op = e.value(QLatin1String("op")).toString();
            if (!op.startsWith(QLatin1String("retrieve"))) return;
            ++volume.retrieveEvents;
            volume.retrieveBytes += QJsonDocument(e).toJson(QJsonDocument::Compact).size() + 1;
            if (op == QLatin1String("retrieve"))
                volume.retrieveRequests += e.value(QLatin1String("args")).toObject().value(QLatin1String("requests")).toInteger();
        });
    }
    const QMetaObject::Connection stamps = QObject::connect(&deck.linkForTesting().pollDriver(), &qz7::PollDriver::tickStarted,
                                                            [&p] { p.ticks.push_back(nowNs()); });
    waitFor([&] { return deck.retrieveAvailable(); }, 5000);
    deck.retrieve(qz7::Origin::panel());
    QTimer every;
    int n = 0;
    QObject::connect(&every, &QTimer::timeout, [&] { operate(deck, n++, p); });
    const double cpu0 = cpuSeconds();
    const long long t0 = nowNs();
    every.start(1000);
    runFor(seconds * 1000);
    every.stop();
    // The Retrieve ends within the phase when the phase is long enough for it.
    p.cpuPercent = (cpuSeconds() - cpu0) / (static_cast<double>(nowNs() - t0) / 1e9) * 100.0;
    QObject::disconnect(stamps);
    waitFor([&] { return !deck.retrieveProgress().running && deck.commandsWaiting() == 0; }, 120000, 20);
    return p;
}

QString f(double v, int decimals = 2) { return QString::number(v, 'f', decimals); }

}  // namespace

int runLogCostBench(int seconds, int files) {
    const QString loadBefore = loadAverage();
    qz7sim::SimOptions options;
    options.address = QHostAddress(kLogSimHost);
    qz7sim::Config content;
    content.files = files;
    content.clips = 8;
    content.cues = 4;
    qz7sim::SimServer sim(content, options);
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "qz7bench: simulator on %s: %s\n", qPrintable(kLogSimHost), qPrintable(error));
        return 1;
    }
    qz7::DevicePair devices;
    devices.first = devices.second = kLogSimHost;
    devices.single = true;
    qz7::Deck deck(devices);
    deck.start();
    deck.apply(0, qz7::Origin::panel());
    if (!waitFor([&] { return deck.monitor().state() == qz7::LinkMonitor::State::Ok; }, 5000)) {
        std::fprintf(stderr, "qz7bench: the simulator does not answer\n");
        return 1;
    }
    runFor(1000);
    QTemporaryDir dir;
    Volume volume;
    std::vector<Phase> phases;
    std::fprintf(stderr, "qz7bench: log cost, 4 phases of %d s and their Retrieves\n", seconds);
    for (int i = 0; i < 4; ++i) phases.push_back(runPhase(deck, i % 2 == 1, dir.path(), seconds, volume));
    qint64 fileBytes = 0;
    for (const QFileInfo& fi : QDir(dir.path()).entryInfoList(QDir::Files)) fileBytes += fi.size();
    volume.bytes = fileBytes;

    auto merged = [&](bool logged) {
        std::vector<double> ticks, calls;
        double cpu = 0;
        for (const Phase& p : phases) {
            if (p.logged != logged) continue;
            const std::vector<double> t = intervalsMs(p.ticks);
            ticks.insert(ticks.end(), t.begin(), t.end());
            calls.insert(calls.end(), p.callUs.begin(), p.callUs.end());
            cpu += p.cpuPercent / 2;
        }
        return std::make_tuple(summarize(ticks), summarize(calls), cpu);
    };
    const auto [offTicks, offCalls, offCpu] = merged(false);
    const auto [onTicks, onCalls, onCpu] = merged(true);
    const double loggedSeconds = 2.0 * seconds;
    const double perSecond = static_cast<double>(volume.bytes - volume.retrieveBytes) / loggedSeconds;
    const double perRequest = volume.retrieveRequests ? static_cast<double>(volume.retrieveBytes) / volume.retrieveRequests : 0;

    QTextStream out(stdout);
    out << "## qz7bench --log-cost " << seconds << " --files " << files << "\n\nLoad average before: " << loadBefore
        << ", after: " << loadAverage() << ". Phases without / with / without / with the log, each " << seconds
        << " s: a Retrieve of " << files << " files at its start and one command a second.\n\n"
        << "| Measure | Without log | With log |\n|---|---|---|\n";
    out << "| Tick period: median / p99 / max (ms), ticks | " << f(offTicks.p50) << " / " << f(offTicks.p99) << " / "
        << f(offTicks.max) << ", " << offTicks.count << " | " << f(onTicks.p50) << " / " << f(onTicks.p99) << " / "
        << f(onTicks.max) << ", " << onTicks.count << " |\n";
    out << "| One operation's call, the log's write included: median / p99 / max (us) | " << f(offCalls.p50, 1) << " / "
        << f(offCalls.p99, 1) << " / " << f(offCalls.max, 1) << " | " << f(onCalls.p50, 1) << " / " << f(onCalls.p99, 1)
        << " / " << f(onCalls.max, 1) << " |\n";
    out << "| CPU of the process, simulator included (% of one core) | " << f(offCpu) << " | " << f(onCpu) << " |\n";
    out << "\nLogged: " << volume.events << " events, " << volume.bytes << " bytes; " << volume.retrieveEvents << " of them the Retrieves' (" << volume.retrieveBytes
        << " bytes for " << volume.retrieveRequests << " requests, " << f(perRequest, 1)
        << " bytes a request). Everything else: " << f(perSecond, 1) << " bytes a second, "
        << f(perSecond * 3600 / 1024, 0) << " KiB an hour.\n";
    out.flush();
    return 0;
}

}  // namespace qz7bench
