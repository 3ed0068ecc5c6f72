// qz7bench: how the panel feels and what it costs, measured in one run and
// printed as a Markdown table with the command that reproduces it.
//
//  - GUI input latency while polling a recorder that never answers, beside a
//    naive tick that blocks in waitForReadyRead(33);
//  - the tick period with the simulator answering, and a full "Retrieve",
//    beside a bare Qt timer and a bare timerfd over the same spans;
//  - CPU while idle-polling, time to the first painted window, peak memory;
//  - how far the reported transport word trails the recorder after stray
//    datagrams and after a stall (--lag runs only this).
//
// The panel under load runs in a child process (this program started again
// with --retrieve-child) so that its memory and timing are its own; the
// simulator answers from this process. Everything stays on 127.0.0.0/8.
#include <QCoreApplication>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QThread>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTextStream>
#include <QUdpSocket>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <sys/resource.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include "app/application.h"
#include "ui/error_box.h"
#include "app/options.h"
#include "media/media_tables.h"
#include "log_cost.h"
#include "naive_poller.h"
#include "net/poll_driver.h"
#include "probes.h"
#include "simserver.h"
#include "stats.h"
#include "ui/forms.h"
#include "ui/main_window.h"
#include "net/recorder_link.h"
#include "media/media_model.h"
#include "link/commands.h"
#include "deck/deck.h"
#include "net/link_monitor.h"
#include "rack/rack.h"

namespace {

using namespace qz7bench;

// A recorder address nobody answers on (a mute socket is bound there), and
// the simulator's address.
const QString kSilentHost = QStringLiteral("127.0.0.61");
const QString kSimHost = QStringLiteral("127.0.0.62");
constexpr int kTickMs = 20;
// The list refresh asks for 100 cues, 100 clips and 16 sequence headers, plus
// a name and an inhibit flag per file; each request costs two ticks.
constexpr int kFixedRequests = 216;

struct Settings {
    // Which parts run: the silent recorder and the naive tick, the Retrieve
    // with the tick periods, the start-up.
    bool silent = true;
    bool retrieve = true;
    bool startup = true;
    bool lag = true;
    int latencySeconds = 10;
    int idleSeconds = 10;
    int files = 512;
    int startupRuns = 5;
    int settleMs = 1000;
    QString dumpTicks;  // where the Retrieve child writes its tick intervals
};

qz7::DevicePair singleRecorder(const QString& host) {
    qz7::DevicePair d;
    d.first = d.second = host;
    d.single = true;
    return d;
}

// "Apply" on the Device page with the first device line selected.
void apply(qz7::MainWindow& main) {
    main.findChild<QListWidget*>(QStringLiteral("ListBox5"))->setCurrentRow(0);
    main.findChild<QPushButton*>(QStringLiteral("Button7"))->click();
}

void report(const char* key, const QString& value) {
    std::printf("RESULT %s %s\n", key, qPrintable(value));
    std::fflush(stdout);
}

void reportSummary(const char* key, const Summary& s) {
    report(key, QStringLiteral("%1 %2 %3 %4 %5").arg(s.count).arg(s.p50).arg(s.p99).arg(s.max).arg(s.mean));
}

Summary parseSummary(const QString& text) {
    const QStringList f = text.split(QLatin1Char(' '));
    Summary s;
    if (f.size() < 5) return s;
    s.count = f[0].toULong();
    s.p50 = f[1].toDouble();
    s.p99 = f[2].toDouble();
    s.max = f[3].toDouble();
    s.mean = f[4].toDouble();
    return s;
}

long maxRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// ---------------------------------------------------------------------------
// Child: start-up exactly as qz7cont's main() does it, until the main window's
// first frame is painted.

class FirstPaint : public QObject {
public:
    long long paintedNs = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintedNs == 0) paintedNs = nowNs();
        return QObject::eventFilter(watched, event);
    }
};

int startupChild(int& argc, char** argv, long long enteredNs) {
    qz7::Application app(argc, argv);
    const long long appNs = nowNs();
    // As qz7cont: the deck polls from the start, the windows are handed it.
    qz7::Deck deck(singleRecorder(kSilentHost));
    deck.start();
    qz7::Forms forms(deck);
    FirstPaint probe;
    forms.mainWindow()->installEventFilter(&probe);
    forms.mainWindow()->show();
    const bool painted = waitFor([&] { return probe.paintedNs != 0; }, 10000, 1);
    report("entered_ns", QString::number(enteredNs));
    report("app_ns", QString::number(appNs));
    report("painted_ns", QString::number(probe.paintedNs));
    report("vmhwm_kb", QString::number(selfStatusKb("VmHWM")));
    return painted ? 0 : 3;
}

// ---------------------------------------------------------------------------
// Child: the panel against the simulator. Idle polling first, then a full
// "Retrieve" timed from the click to the decoding of its last reply.

// Writes the tick intervals of both phases, one "phase,milliseconds" line each.
void dumpTicks(const QString& path, const std::vector<double>& idle, const std::vector<double>& busy) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    QTextStream out(&f);
    out << "phase,interval_ms\n";
    for (double v : idle) out << "idle," << QString::number(v, 'f', 3) << "\n";
    for (double v : busy) out << "retrieve," << QString::number(v, 'f', 3) << "\n";
}

int retrieveChild(int idleMs, int timeoutMs, const QString& dumpPath) {
    // As qz7cont: the deck polls from the start, the windows are handed it.
    qz7::Deck deck(singleRecorder(kSimHost));
    deck.start();
    qz7::Forms forms(deck);
    qz7::MainWindow& main = *forms.mainWindow();
    main.show();
    qz7::PollDriver& driver = forms.deck().linkForTesting().pollDriver();
    TickRecorder ticks(driver);

    apply(main);
    QPushButton* retrieve = main.findChild<QPushButton*>(QStringLiteral("Button6"));
    if (!waitFor([retrieve] { return retrieve->isEnabled(); }, 5000)) {
        report("error", QStringLiteral("no system reply from the simulator at %1").arg(kSimHost));
        return 3;
    }
    ticks.clear();
    const long long idleFromNs = nowNs();
    runFor(idleMs);
    report("idle_window_ns", QStringLiteral("%1 %2").arg(idleFromNs).arg(nowNs()));
    const std::vector<double> idleIntervals = intervalsMs(ticks.stamps());
    reportSummary("idle_tick_ms", summarize(idleIntervals));

    const int files = forms.deck().media().tables().recordedFileCount;
    QListWidget* fileList = main.findChild<QListWidget*>(QStringLiteral("ListBox2"));
    QListWidget* cueList = main.findChild<QListWidget*>(QStringLiteral("ListBox4"));
    const auto filled = [](QListWidget* list, int row) {
        return row < 0 || (list->count() > row && list->item(row)->text() != QStringLiteral(" "));
    };
    // The last request out is cue 0 (last in, first out); its reply ends the refresh.
    const auto finished = [&] {
        return forms.deck().linkForTesting().commandStack().empty() && filled(fileList, files - 1) && filled(cueList, 0);
    };
    long long doneNs = 0;
    long long doneTicks = 0;
    const auto check = [&] {
        if (doneNs == 0 && finished()) {
            doneNs = nowNs();
            doneTicks = driver.ticks();
        }
    };
    // A reply is decoded just before its tick finishes.
    const auto onTickEnd = QObject::connect(&driver, &qz7::PollDriver::tickFinished, check);

    ticks.clear();
    const long long ticksBefore = driver.ticks();
    const long long skippedBefore = driver.skippedTimerEvents();
    const double cpuBefore = cpuSeconds();
    const long long clickNs = nowNs();
    retrieve->click();
    const int queued = forms.deck().linkForTesting().commandStack().count();
    const bool done = waitFor([&] { return doneNs != 0; }, timeoutMs, 20);
    const double retrieveCpu = (cpuSeconds() - cpuBefore) / (static_cast<double>(nowNs() - clickNs) / 1e9) * 100.0;
    QObject::disconnect(onTickEnd);
    runFor(200);  // a few more ticks, so the memory peak includes steady polling

    int filledLines = 0;
    for (int row = 0; row < files; ++row) filledLines += filled(fileList, row) ? 1 : 0;
    std::vector<long long> busyStamps = ticks.stamps();
    if (done) std::erase_if(busyStamps, [doneNs](long long t) { return t > doneNs; });
    const std::vector<double> busyIntervals = intervalsMs(busyStamps);
    reportSummary("retrieve_tick_ms", summarize(busyIntervals));
    if (!dumpPath.isEmpty()) dumpTicks(dumpPath, idleIntervals, busyIntervals);
    report("queued", QString::number(queued));
    report("files", QString::number(files));
    report("files_filled", QString::number(filledLines));
    report("first_file_line", fileList->count() > 0 ? fileList->item(0)->text() : QString());
    report("retrieve_ms", QString::number(done ? static_cast<double>(doneNs - clickNs) / 1e6 : -1.0, 'f', 1));
    report("retrieve_window_ns", QStringLiteral("%1 %2").arg(clickNs).arg(done ? doneNs : nowNs()));
    report("retrieve_ticks", QString::number(doneTicks - ticksBefore));
    report("skipped_timer_events", QString::number(driver.skippedTimerEvents() - skippedBefore));
    report("retrieve_cpu_percent", QString::number(retrieveCpu, 'f', 1));
    report("error_boxes", QString::number(qz7::ErrorBox::shownCount()));
    report("vmhwm_kb", QString::number(selfStatusKb("VmHWM")));
    report("maxrss_kb", QString::number(maxRssKb()));
    return done ? 0 : 4;
}

// ---------------------------------------------------------------------------
// Lag: from the moment the recorder's transport changes to the moment the link
// reports it. The link alone (no window) at the program's pace, against the
// simulator and its partner in this process: steady, then after 100 stray
// status replies, then after a 2 s stall and its backlog, each at once and
// again 2 s later.

const QString kLagHost = QStringLiteral("127.0.0.65");
const QString kLagPartnerHost = QStringLiteral("127.0.0.66");
constexpr int kStrays = 100;
constexpr int kStallMs = 2000;
constexpr int kLaterMs = 2000;

struct LagResults {
    QString error;  // empty: measured
    double steady = -1;  // median of five changes
    double strays = -1, straysLater = -1;
    double stall = -1, stallLater = -1;
    int backlog = 0;  // requests the stalled recorder answered at once
    long long droppedStrays = 0, droppedStall = 0;  // replies dropped by the tick's bound
};

class LagRig {
public:
    LagRig() {
        qz7sim::SimOptions options;
        options.address = QHostAddress(kLagHost);
        recorder_ = std::make_unique<qz7sim::SimServer>(qz7sim::Config{}, options);
        options.address = QHostAddress(kLagPartnerHost);
        partner_ = std::make_unique<qz7sim::SimServer>(qz7sim::Config{}, options);
    }

    QString start() {
        QString error;
        if (!recorder_->start(&error) || !partner_->start(&error)) return error;
        qz7::DevicePair pair;
        pair.first = kLagHost;
        pair.second = kLagPartnerHost;
        link_ = std::make_unique<qz7::RecorderLink>(pair);
        QObject::connect(link_.get(), &qz7::RecorderLink::replyReceived, [this](const qz7::Reply& reply) {
            const auto* status = std::get_if<qz7::StatusReply>(&reply);
            if (!status) return;
            const qz7::StatusReply& s = *status;
            reported_ = s.transport;
            if (changedNs_ != 0 && s.transport == expected_) {
                lagMs_ = static_cast<double>(nowNs() - changedNs_) / 1e6;
                changedNs_ = 0;
            }
        });
        link_->apply(kLagHost, kLagPartnerHost);
        link_->pollDriver().start();
        if (!waitFor([this] { return reported_ != 0; }, 3000, 1)) return QStringLiteral("no status from %1").arg(kLagHost);
        return {};
    }

    // Flips the recorder between PLAY and STOP; ms until the link reported it, -1 if not within 10 s.
    double lagOfAStateChange() {
        const bool toPlay = reported_ != 0x01;
        expected_ = toPlay ? 0x01 : 0x20;
        lagMs_ = -1;
        recorder_->recorder().handle((toPlay ? qz7::cmd::play() : qz7::cmd::stop(false)).wire());
        changedNs_ = nowNs();
        waitFor([this] { return lagMs_ >= 0; }, 10000, 1);
        changedNs_ = 0;
        return lagMs_;
    }

    // Status replies nobody asked for, from the recorder's address, saying what it says now.
    void sendStrays(int count) {
        QUdpSocket stray;
        stray.bind(QHostAddress(kLagHost), 0);
        const std::vector<std::uint8_t> status = statusReply(reported_);
        const quint16 port = link_->transport().replySocket()->localPort();
        for (int i = 0; i < count; ++i)
            stray.writeDatagram(reinterpret_cast<const char*>(status.data()), static_cast<qint64>(status.size()),
                                QHostAddress::LocalHost, port);
    }

    long long droppedReplies() const { return link_->pollDriver().droppedReplies(); }

    // Returns the number of requests answered when the stall ended.
    int stall(int ms) {
        int answered = -1;
        const auto c = QObject::connect(recorder_.get(), &qz7sim::SimServer::stallEnded,
                                        [&answered](int n) { answered = n; });
        recorder_->stall(ms);
        waitFor([&answered] { return answered >= 0; }, ms + 5000, 1);
        QObject::disconnect(c);
        return answered;
    }

private:
    static std::vector<std::uint8_t> statusReply(std::uint8_t transport) {
        std::vector<std::uint8_t> d(30, 0);
        d[0] = qz7::kLead;
        d[1] = 26;
        d[2] = qz7::Group::Answer;
        d[3] = qz7::Sense::Status;
        d[5] = transport;
        d.push_back(qz7::checksum(d));
        return d;
    }

    std::unique_ptr<qz7sim::SimServer> recorder_, partner_;
    std::unique_ptr<qz7::RecorderLink> link_;
    std::uint8_t reported_ = 0, expected_ = 0;
    long long changedNs_ = 0;
    double lagMs_ = -1;
};

void measureLag(LagResults& r) {
    {
        LagRig rig;
        r.error = rig.start();
        if (!r.error.isEmpty()) return;
        std::vector<double> steady;
        for (int i = 0; i < 5; ++i) {
            steady.push_back(rig.lagOfAStateChange());
            runFor(100);
        }
        r.steady = summarize(steady).p50;
        rig.sendStrays(kStrays);
        r.strays = rig.lagOfAStateChange();
        runFor(kLaterMs);
        r.straysLater = rig.lagOfAStateChange();
        r.droppedStrays = rig.droppedReplies();
    }
    // A fresh link, so that what the strays left behind does not count here.
    LagRig rig;
    r.error = rig.start();
    if (!r.error.isEmpty()) return;
    r.backlog = rig.stall(kStallMs);
    r.stall = rig.lagOfAStateChange();
    runFor(kLaterMs);
    r.stallLater = rig.lagOfAStateChange();
    r.droppedStall = rig.droppedReplies();
}

// ---------------------------------------------------------------------------
// Parent

struct ChildRun {
    bool ok = false;
    long long spawnNs = 0;
    std::map<QString, QString> values;
    QString errors;
};

// This program started again in one of its child modes, offscreen.
class Child {
public:
    explicit Child(const QStringList& arguments) {
        process_.setProgram(QCoreApplication::applicationFilePath());
        process_.setArguments(arguments);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process_.setProcessEnvironment(env);
        run_.spawnNs = nowNs();
        process_.start();
        started_ = process_.waitForStarted(5000);
        if (!started_) run_.errors = process_.errorString();
    }

    // Waits for the child, running the event loop (and so the simulator)
    // meanwhile, and collects its RESULT lines.
    ChildRun finish(int timeoutMs) {
        if (!started_) return run_;
        if (!waitFor([this] { return process_.state() == QProcess::NotRunning; }, timeoutMs, 10)) {
            process_.kill();
            process_.waitForFinished(2000);
            run_.errors = QStringLiteral("timed out");
        }
        for (const QByteArray& line : process_.readAllStandardOutput().split('\n')) {
            if (!line.startsWith("RESULT ")) continue;
            const QString text = QString::fromUtf8(line.mid(7));
            const int space = text.indexOf(QLatin1Char(' '));
            run_.values[text.left(space)] = space < 0 ? QString() : text.mid(space + 1);
        }
        run_.errors += QString::fromUtf8(process_.readAllStandardError()).trimmed();
        run_.ok = process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
        return run_;
    }

private:
    QProcess process_;
    ChildRun run_;
    bool started_ = false;
};

ChildRun runChild(const QStringList& arguments, int timeoutMs) { return Child(arguments).finish(timeoutMs); }

// ---------------------------------------------------------------------------
// A control child's firing times, all of them, so that the parent can take
// the same time spans as the panel's phases.
void reportStamps(const std::vector<long long>& stamps) {
    QStringList text;
    text.reserve(static_cast<qsizetype>(stamps.size()));
    for (long long t : stamps) text << QString::number(t);
    report("stamps_ns", text.join(QLatin1Char(' ')));
}

// Child: a 20 ms Qt::PreciseTimer that does nothing, run beside the panel
// child: what the machine's scheduling and Qt's timers allow at that moment.

int timerChild(int durationMs) {
    QTimer timer;
    timer.setInterval(kTickMs);
    timer.setTimerType(Qt::PreciseTimer);
    std::vector<long long> stamps;
    QObject::connect(&timer, &QTimer::timeout, [&stamps] { stamps.push_back(nowNs()); });
    timer.start();
    runFor(durationMs);
    reportStamps(stamps);
    return 0;
}

// Child: the same beside the panel child, but a timerfd on an absolute 20 ms
// schedule watched by a socket notifier, as the poll driver's tick timer is.
int timerfdChild(int durationMs) {
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0) {
        report("error", QStringLiteral("timerfd_create failed"));
        return 3;
    }
    const long long first = nowNs() + kTickMs * 1'000'000LL;
    itimerspec schedule{};
    schedule.it_value.tv_sec = static_cast<time_t>(first / 1'000'000'000LL);
    schedule.it_value.tv_nsec = static_cast<long>(first % 1'000'000'000LL);
    schedule.it_interval.tv_nsec = kTickMs * 1'000'000L;
    timerfd_settime(fd, TFD_TIMER_ABSTIME, &schedule, nullptr);
    std::vector<long long> stamps;
    {
        QSocketNotifier notifier(fd, QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, [fd, &stamps] {
            std::uint64_t expirations = 0;
            if (::read(fd, &expirations, sizeof expirations) == static_cast<ssize_t>(sizeof expirations))
                stamps.push_back(nowNs());
        });
        runFor(durationMs);
    }
    ::close(fd);
    reportStamps(stamps);
    return 0;
}

// The two bare timers over one phase of the panel child.
struct Controls {
    Summary qtTimer, timerfd;
};

struct Results {
    Controls idleControls, retrieveControls;  // beside the panel child, same spans
    Summary panelLatency, naiveLatency;
    double panelSilentTickMs = 0, naiveSilentTickMs = 0;
    double panelCpu = 0, naiveCpu = 0;
    bool muted = false;
    int panelErrorBoxes = 0;

    std::optional<ChildRun> retrieve;
    Summary wireTicks;
    std::vector<double> startupFromSpawn, startupFromApp;
    long startupHwmKb = -1;
    long contIdleHwmKb = -1;
    QString contError;
    LagResults lag;
};

// CPU time of this process over `seconds` of event loop, as % of one core.
double cpuPercent(int seconds) {
    const double cpu0 = cpuSeconds();
    const long long t0 = nowNs();
    runFor(seconds * 1000);
    return (cpuSeconds() - cpu0) / (static_cast<double>(nowNs() - t0) / 1e9) * 100.0;
}

void measurePanelSilent(const Settings& s, Results& r) {
    qz7::ErrorBox::resetCounters();
    // As qz7cont: the deck polls from the start, the windows are handed it.
    qz7::Deck deck(singleRecorder(kSilentHost));
    deck.start();
    qz7::Forms forms(deck);
    qz7::MainWindow& main = *forms.mainWindow();
    main.show();
    apply(main);
    runFor(s.settleMs);

    const long long ticks0 = forms.deck().linkForTesting().pollDriver().ticks();
    const long long t0 = nowNs();
    LatencyProbe probe;
    probe.start();
    runFor(s.latencySeconds * 1000);
    probe.stop();
    r.panelSilentTickMs = static_cast<double>(nowNs() - t0) / 1e6 /
                          static_cast<double>(std::max<long long>(1, forms.deck().linkForTesting().pollDriver().ticks() - ticks0));
    r.panelLatency = summarize(probe.latenciesMs());
    r.panelCpu = cpuPercent(s.idleSeconds);
    r.panelErrorBoxes = qz7::ErrorBox::shownCount();
    qz7::ErrorBox::dismiss();
}

void measureNaiveSilent(const Settings& s, Results& r) {
    NaivePoller naive{QHostAddress(kSilentHost)};
    QWidget window;  // something on screen, as with the panel
    window.resize(400, 300);
    window.show();
    naive.start();
    runFor(s.settleMs);
    const long long ticks0 = naive.ticks();
    const long long t0 = nowNs();
    LatencyProbe probe;
    probe.start();
    runFor(s.latencySeconds * 1000);
    probe.stop();
    r.naiveSilentTickMs = static_cast<double>(nowNs() - t0) / 1e6 /
                          static_cast<double>(std::max<long long>(1, naive.ticks() - ticks0));
    r.naiveLatency = summarize(probe.latenciesMs());
    r.naiveCpu = cpuPercent(s.idleSeconds);
    naive.stop();
}

std::vector<long long> parseStamps(const ChildRun& run) {
    std::vector<long long> stamps;
    const auto it = run.values.find(QStringLiteral("stamps_ns"));
    if (it == run.values.end()) return stamps;
    for (const QString& t : it->second.split(QLatin1Char(' '), Qt::SkipEmptyParts)) stamps.push_back(t.toLongLong());
    return stamps;
}

// Intervals between consecutive stamps that both lie in [from, to].
Summary windowSummary(const std::vector<long long>& stamps, long long from, long long to) {
    std::vector<long long> inside;
    for (long long t : stamps)
        if (t >= from && t <= to) inside.push_back(t);
    return summarize(intervalsMs(inside));
}

void measureRetrieve(const Settings& s, Results& r) {
    qz7sim::Config config;
    config.files = s.files;
    config.clips = 100;  // so that the clip and cue lines fill with text, cue 0 last
    config.cues = 100;
    config.sequences = 16;
    qz7sim::SimOptions options;
    options.address = QHostAddress(kSimHost);
    options.port = qz7::kDevicePort;
    qz7sim::SimServer sim(config, options);
    QString error;
    if (!sim.start(&error)) {
        r.retrieve = ChildRun{};
        r.retrieve->errors = QStringLiteral("simulator on %1: %2").arg(kSimHost, error);
        return;
    }
    // Arrival times of the requests: the tick period as the recorder sees it.
    std::vector<long long> arrivals;
    QObject::connect(&sim, &qz7sim::SimServer::requestHandled, [&arrivals](const QByteArray&, int) {
        arrivals.push_back(nowNs());
    });
    const int limitMs = 2 * (kFixedRequests + 2 * s.files) * kTickMs;
    const int idleMs = 10000;
    QStringList arguments{QStringLiteral("--retrieve-child"), QStringLiteral("--idle-ms"), QString::number(idleMs),
                          QStringLiteral("--timeout-ms"), QString::number(limitMs * 2 + 10000)};
    if (!s.dumpTicks.isEmpty()) arguments << QStringLiteral("--dump-ticks") << s.dumpTicks;
    // The control timers run over the same span as the panel child's ticks.
    const QString controlMs = QString::number(idleMs + limitMs + 3000);
    Child control({QStringLiteral("--timer-child"), QStringLiteral("--duration-ms"), controlMs});
    Child controlFd({QStringLiteral("--timerfd-child"), QStringLiteral("--duration-ms"), controlMs});
    r.retrieve = runChild(arguments, limitMs * 2 + 30000);
    const std::vector<long long> qtStamps = parseStamps(control.finish(30000));
    const std::vector<long long> fdStamps = parseStamps(controlFd.finish(30000));
    const auto window = [&r](const char* key) {
        const QStringList f = r.retrieve->values[QString::fromLatin1(key)].split(QLatin1Char(' '));
        return f.size() == 2 ? std::pair(f[0].toLongLong(), f[1].toLongLong()) : std::pair(0LL, 0LL);
    };
    const auto [idleFrom, idleTo] = window("idle_window_ns");
    const auto [busyFrom, busyTo] = window("retrieve_window_ns");
    r.idleControls = {windowSummary(qtStamps, idleFrom, idleTo), windowSummary(fdStamps, idleFrom, idleTo)};
    r.retrieveControls = {windowSummary(qtStamps, busyFrom, busyTo), windowSummary(fdStamps, busyFrom, busyTo)};
    r.wireTicks = summarize(intervalsMs(arrivals));
}

void measureStartup(const Settings& s, Results& r) {
    for (int i = 0; i < s.startupRuns; ++i) {
        const ChildRun run = runChild({QStringLiteral("--startup-child")}, 20000);
        if (!run.ok) {
            std::fprintf(stderr, "start-up run %d failed: %s\n", i + 1, qPrintable(run.errors));
            continue;
        }
        const auto value = [&run](const char* key) {
            const auto it = run.values.find(QString::fromLatin1(key));
            return it == run.values.end() ? 0LL : it->second.toLongLong();
        };
        r.startupFromSpawn.push_back(static_cast<double>(value("painted_ns") - run.spawnNs) / 1e6);
        r.startupFromApp.push_back(static_cast<double>(value("painted_ns") - value("app_ns")) / 1e6);
        r.startupHwmKb = std::max(r.startupHwmKb, static_cast<long>(value("vmhwm_kb")));
    }
}

// The real executable, left idle for three seconds with its window up.
void measureContIdle(Results& r) {
    QProcess cont;
    cont.setProgram(QStringLiteral(QZ7_CONT_PATH));
    cont.setArguments({QStringLiteral("--devices"), kSilentHost});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    cont.setProcessEnvironment(env);
    cont.start();
    if (!cont.waitForStarted(5000)) {
        r.contError = cont.errorString();
        return;
    }
    runFor(3000);
    r.contIdleHwmKb = procStatusKb(cont.processId(), "VmHWM");
    cont.terminate();
    if (!cont.waitForFinished(3000)) {
        cont.kill();
        cont.waitForFinished(2000);
    }
}

QString ms(double v, int decimals = 2) { return QString::number(v, 'f', decimals); }
QString yesNo(bool met) { return met ? QStringLiteral("yes") : QStringLiteral("**no**"); }
QString mib(long kb) { return kb < 0 ? QStringLiteral("?") : QString::number(static_cast<double>(kb) / 1024.0, 'f', 1); }

// The cadence holds when mean and median read 20.0 ms and the slow ticks are
// no slower than a bare Qt::PreciseTimer's in the same run allows, give or
// take 0.2 ms: what is left is this machine's scheduling, not the panel.
bool cadenceMet(const Summary& s, const Summary& control) {
    return s.count > 0 && control.count > 0 && std::abs(s.mean - 20.0) < 0.05 && std::abs(s.p50 - 20.0) < 0.05 &&
           s.p99 <= control.p99 + 0.2;
}

QString childErrorBoxes(const Results& r) {
    if (!r.retrieve) return QStringLiteral("?");
    const auto it = r.retrieve->values.find(QStringLiteral("error_boxes"));
    return it == r.retrieve->values.end() ? QStringLiteral("?") : it->second;
}

double median(std::vector<double> v) { return summarize(std::move(v)).p50; }

void printSilentRows(QTextStream& out, const Settings& s, const Results& r) {
    out << "| GUI event latency, polling a silent recorder, p50 / p99 / max (ms), " << r.panelLatency.count << " / "
        << r.naiveLatency.count << " events | " << ms(r.panelLatency.p50) << " / " << ms(r.panelLatency.p99) << " / "
        << ms(r.panelLatency.max) << " | " << ms(r.naiveLatency.p50) << " / " << ms(r.naiveLatency.p99) << " / "
        << ms(r.naiveLatency.max) << " | p99 <= 2 ms (naive about 33) | " << yesNo(r.panelLatency.p99 <= 2.0)
        << " |\n";
    out << "| Mean tick period, silent recorder (ms) | " << ms(r.panelSilentTickMs) << " | "
        << ms(r.naiveSilentTickMs) << " | about 33 (the receive time-out) | - |\n";
    out << "| CPU while idle-polling a silent recorder, " << s.idleSeconds << " s (% of one core) | "
        << ms(r.panelCpu) << " | " << ms(r.naiveCpu) << " | <= 0.9 | " << yesNo(r.panelCpu <= 0.9) << " |\n";
}

void printRetrieveRows(QTextStream& out, const Settings& s, const Results& r) {
    const int limitMs = 2 * (kFixedRequests + 2 * s.files) * kTickMs;
    if (!r.retrieve || !r.retrieve->values.count(QStringLiteral("retrieve_ms"))) {
        out << "| Tick period and full Retrieve | failed: "
            << (r.retrieve ? r.retrieve->errors.simplified() : QStringLiteral("not run")) << " | - | - | **no** |\n";
        return;
    }
    const auto& v = r.retrieve->values;
    const auto get = [&v](const char* k) {
        const auto it = v.find(QString::fromLatin1(k));
        return it == v.end() ? QString() : it->second;
    };
    const Summary idle = parseSummary(get("idle_tick_ms"));
    const Summary busy = parseSummary(get("retrieve_tick_ms"));
    const auto controlRow = [&out](const char* phase, const Controls& c) {
        out << "| Control over the same " << phase
            << ", in other processes: a bare 20 ms Qt::PreciseTimer / a bare 20 ms timerfd (absolute schedule, "
               "socket notifier), median / mean / p99 / max (ms) | "
            << ms(c.qtTimer.p50) << " / " << ms(c.qtTimer.mean, 3) << " / " << ms(c.qtTimer.p99) << " / "
            << ms(c.qtTimer.max) << " (" << c.qtTimer.count << ") / " << ms(c.timerfd.p50) << " / "
            << ms(c.timerfd.mean, 3) << " / " << ms(c.timerfd.p99) << " / " << ms(c.timerfd.max) << " ("
            << c.timerfd.count << ") | - | what this machine allows | - |\n";
    };
    const auto aim = [](const Controls& c) {
        return QStringLiteral("median 20.0, p99 <= %1 (the Qt timer's + 0.2)").arg(ms(c.qtTimer.p99 + 0.2));
    };
    out << "| Tick period, simulator answering, idle polling: median / mean / p99 / max (ms), " << idle.count
        << " ticks | " << ms(idle.p50) << " / " << ms(idle.mean, 3) << " / " << ms(idle.p99) << " / "
        << ms(idle.max) << " | - | " << aim(r.idleControls) << " | "
        << yesNo(cadenceMet(idle, r.idleControls.qtTimer)) << " |\n";
    controlRow("idle polling", r.idleControls);
    out << "| Tick period during the full Retrieve: median / mean / p99 / max (ms), " << busy.count << " ticks | "
        << ms(busy.p50) << " / " << ms(busy.mean, 3) << " / " << ms(busy.p99) << " / " << ms(busy.max) << " | - | "
        << aim(r.retrieveControls) << " | " << yesNo(cadenceMet(busy, r.retrieveControls.qtTimer)) << " |\n";
    controlRow("Retrieve", r.retrieveControls);
    out << "| Request arrivals at the simulator: median / p99 interval (ms), " << r.wireTicks.count
        << " requests | " << ms(r.wireTicks.p50) << " / " << ms(r.wireTicks.p99) << " | - | - | - |\n";
    const double retrieveMs = get("retrieve_ms").toDouble();
    const double over = (retrieveMs - limitMs) / limitMs * 100.0;
    out << "| Full Retrieve of " << get("files") << " files, click to last reply (s) | "
        << ms(retrieveMs / 1000.0, 3) << " (" << (over >= 0 ? "+" : "") << ms(over) << " %, "
        << get("retrieve_ticks") << " ticks, " << get("skipped_timer_events") << " skipped timer events, "
        << get("files_filled") << " file lines filled) | - | <= "
        << ms(limitMs / 1000.0, 1) << " s + 2 % (" << get("queued") << " requests x 2 ticks x 20 ms) | "
        << yesNo(retrieveMs > 0 && retrieveMs <= limitMs * 1.02) << " |\n";
    out << "| Peak memory of the panel process after the full Retrieve, VmHWM (MiB) | "
        << mib(get("vmhwm_kb").toLong()) << " | - | - | - |\n";
}

void printStartupRows(QTextStream& out, const Results& r) {
    out << "| Start to first painted main window, median of " << r.startupFromSpawn.size()
        << " (ms): from spawn / from QApplication | " << ms(median(r.startupFromSpawn), 1) << " / "
        << ms(median(r.startupFromApp), 1) << " | - | - | - |\n";
    out << "| Peak memory right after start-up, VmHWM (MiB): start-up child / qz7cont idle 3 s | "
        << mib(r.startupHwmKb) << " / " << (r.contError.isEmpty() ? mib(r.contIdleHwmKb) : r.contError)
        << " | - | - | - |\n";
}

void printLagRows(QTextStream& out, const Results& r) {
    const LagResults& l = r.lag;
    if (!l.error.isEmpty()) {
        out << "| Lag of the reported transport word | failed: " << l.error << " | - | - | **no** |\n";
        return;
    }
    const auto lag = [](double v) { return v < 0 ? QStringLiteral("none in 10 s") : ms(v, 1); };
    const bool met = l.strays >= 0 && l.straysLater >= 0 && l.stall >= 0 && l.stallLater >= 0 &&
                     std::max({l.strays, l.straysLater, l.stall, l.stallLater}) < 100.0;
    out << "| Lag from a transport change on the recorder to the link reporting it (ms): steady (median of 5) "
           "/ after "
        << kStrays << " stray status replies, at once / " << kLaterMs / 1000
        << " s later / after a " << kStallMs / 1000 << " s stall and its backlog of " << l.backlog << ", at once / "
        << kLaterMs / 1000 << " s later | " << lag(l.steady) << " / " << lag(l.strays) << " / "
        << lag(l.straysLater) << " / " << lag(l.stall) << " / " << lag(l.stallLater)
        << " (replies dropped by the bound of " << qz7::PollDriver::kMaxRepliesPerTick << " a tick: " << l.droppedStrays
        << " / " << l.droppedStall << ") | - | below 100 after strays and stall | " << yesNo(met) << " |\n";
}

void printReport(const Settings& s, const Results& r, const QString& loadBefore, const QString& loadAfter) {
    QTextStream out(stdout);
    out << "## qz7bench\n\n";
    out << "Load average (1, 5, 15 min) before: " << loadBefore << ", after: " << loadAfter
        << "; cores: " << QThread::idealThreadCount() << "; Qt " << qVersion() << ", platform "
        << qEnvironmentVariable("QT_QPA_PLATFORM") << ".\n\n";

    out << "| Measure | QZ7Cont | Naive blocking tick | Aim | Met |\n";
    out << "|---|---|---|---|---|\n";
    if (s.silent) printSilentRows(out, s, r);
    if (s.retrieve) printRetrieveRows(out, s, r);
    if (s.startup) printStartupRows(out, r);
    if (s.lag) printLagRows(out, r);

    out << "\nHow: latency = events posted to the GUI thread from a separate thread every 3-8 ms, stamped "
           "when posted, measured when handled; the silent recorder is a mute socket on "
        << kSilentHost << ":20000" << (r.muted ? "" : " (could not bind: datagrams went to a closed port)")
        << ". Tick periods: the moments ticks began (PollDriver::tickStarted); the tick timer is a timerfd on an "
           "absolute 20 ms schedule. The bare timers beside it, taken over the same spans, show what the machine "
           "allows: Qt's timers round their waits to whole milliseconds (median a few tenths over 20, mean 20.00), "
           "a timerfd wakes the event loop to the microsecond. Retrieve runs in a child panel process against "
           "qz7sim in this process on "
        << kSimHost
        << ":20000 (clips 100, cues 100, sequences 16) and ends when the stack is empty and the last file "
           "line and cue line 0 (the last reply) are filled. Start-up: a child doing what qz7cont's main() "
           "does, until the first Paint event of TForm1 (offscreen platform). Error boxes raised while "
           "polling: "
        << r.panelErrorBoxes << " (panel polling a silent recorder), " << childErrorBoxes(r)
        << " (Retrieve child). Lag: the link without a window at 20 ms ticks against qz7sim on " << kLagHost
        << " (partner " << kLagPartnerHost
        << "); the simulator's transport is flipped between PLAY and STOP and the time taken until a "
           "status reply with the new word is decoded; stray replies are sent from "
        << kLagHost << " to the panel's reply socket.\n\n";

    out << "Reproduce:\n\n```\ncmake --build " << QZ7_BENCH_BUILD_DIR << " --target qz7bench -j2 && "
        << QCoreApplication::applicationFilePath() << " --latency-seconds " << s.latencySeconds << " --idle-seconds "
        << s.idleSeconds << " --files " << s.files << " --startup-runs " << s.startupRuns;
    if (!(s.silent && s.retrieve && s.startup && s.lag)) {
        QStringList parts;
        if (s.silent) parts << QStringLiteral("silent");
        if (s.retrieve) parts << QStringLiteral("retrieve");
        if (s.startup) parts << QStringLiteral("startup");
        if (s.lag) parts << QStringLiteral("lag");
        out << " --only " << parts.join(QLatin1Char(','));
    }
    out << "\n```\n";
    out.flush();
}

// ---------------------------------------------------------------------------
// The rack at scale (--decks N): N decks in a child process, as qz7rack runs
// them, against N pairs of simulators in this process on 127.0.22N.1/.2; a
// bare timerfd child over the same span is the control.
QString rackHost(int deck, int n) { return QStringLiteral("127.0.%1.%2").arg(220 + deck).arg(n); }

int rackChild(int decks, int durationMs, bool retrieve) {
    qz7::Rack rack(qz7::LinkTiming{}, [](const QString&) {});
    QList<qz7::DeckConfig> deckConfigs;
    for (int k = 0; k < decks; ++k) {
        qz7::DeckConfig d;
        d.name = QStringLiteral("deck%1").arg(k + 1);
        d.devices.first = rackHost(k, 1);
        d.devices.second = rackHost(k, 2);
        d.devices.single = false;
        deckConfigs << d;
    }
    rack.apply(deckConfigs);
    const bool linked = waitFor([&] {
        for (const qz7::DeckConfig& d : deckConfigs)
            if (rack.deck(d.name)->monitor().state() != qz7::LinkMonitor::State::Ok) return false;
        return true;
    }, 10000);
    if (!linked) {
        report("error", QStringLiteral("not every deck linked within 10 s"));
        return 3;
    }
    runFor(1000);  // past the link start and the first status replies
    std::vector<std::vector<long long>> stamps(static_cast<std::size_t>(decks));
    for (int k = 0; k < decks; ++k) {
        auto& mine = stamps[static_cast<std::size_t>(k)];
        QObject::connect(&rack.deck(deckConfigs[k].name)->linkForTesting().pollDriver(), &qz7::PollDriver::tickStarted,
                         [&mine] { mine.push_back(nowNs()); });
    }
    const double cpu0 = cpuSeconds();
    const long long t0 = nowNs();
    runFor(durationMs);
    const double cpu = (cpuSeconds() - cpu0) / (static_cast<double>(nowNs() - t0) / 1e9) * 100.0;
    Summary worst;
    std::size_t count = 0;
    int queued = 0;
    for (int k = 0; k < decks; ++k) {
        const Summary t = summarize(intervalsMs(stamps[static_cast<std::size_t>(k)]));
        count += t.count;
        if (t.p99 >= worst.p99) worst = t;
        queued += rack.deck(deckConfigs[k].name)->commandsWaiting();
    }
    reportSummary("worst_deck_ticks", worst);
    report("ticks", QString::number(count));
    report("cpu_percent", QString::number(cpu, 'f', 2));
    report("queued", QString::number(queued));
    report("vmrss_kb", QString::number(selfStatusKb("VmRSS")));

    // Then a Retrieve on every deck at once: each deck's time from its
    // request to the end of the tick that sent its last request (that tick
    // reads the reply).
    if (retrieve) {
        std::vector<long long> doneNs(static_cast<std::size_t>(decks), 0);
        std::vector<QMetaObject::Connection> watches;
        int started = 0;
        const long long clickNs = nowNs();
        for (int k = 0; k < decks; ++k) {
            qz7::Deck* deck = rack.deck(deckConfigs[k].name);
            long long* done = &doneNs[static_cast<std::size_t>(k)];
            watches.push_back(QObject::connect(&deck->linkForTesting().pollDriver(), &qz7::PollDriver::tickFinished,
                                               [deck, done] {
                                                   if (*done == 0 && deck->commandsWaiting() == 0) *done = nowNs();
                                               }));
            started += deck->retrieve(qz7::Origin::rack()).queued() ? 1 : 0;
        }
        waitFor([&] { return std::all_of(doneNs.begin(), doneNs.end(), [](long long t) { return t != 0; }); },
                120000, 20);
        for (const auto& w : watches) QObject::disconnect(w);
        std::vector<double> seconds;
        for (long long t : doneNs) seconds.push_back(t == 0 ? -1.0 : static_cast<double>(t - clickNs) / 1e9);
        std::sort(seconds.begin(), seconds.end());
        report("retrieve_started", QString::number(started));
        report("retrieve_fastest_s", QString::number(seconds.front(), 'f', 2));
        report("retrieve_slowest_s", QString::number(seconds.back(), 'f', 2));
        report("retrieve_unfinished", QString::number(std::count(seconds.begin(), seconds.end(), -1.0)));
    }
    report("vmhwm_kb", QString::number(selfStatusKb("VmHWM")));
    return 0;
}

QString valueOf(const ChildRun& run, const QString& key) {
    const auto it = run.values.find(key);
    return it == run.values.end() ? QString() : it->second;
}

int runRackBench(int decks, int seconds, int files) {
    const QString loadBefore = loadAverage();
    std::fprintf(stderr, "qz7bench: %d decks for %d s\n", decks, seconds + 3);
    std::vector<std::unique_ptr<qz7sim::SimServer>> sims;
    for (int k = 0; k < decks; ++k)
        for (int n = 1; n <= 2; ++n) {
            qz7sim::SimOptions options;
            options.address = QHostAddress(rackHost(k, n));
            qz7sim::Config content;
            content.files = files;
            sims.push_back(std::make_unique<qz7sim::SimServer>(content, options));
            QString error;
            if (!sims.back()->start(&error)) {
                std::fprintf(stderr, "qz7bench: simulator on %s: %s\n", qPrintable(rackHost(k, n)), qPrintable(error));
                return 1;
            }
        }
    const int durationMs = seconds * 1000;
    QStringList childArgs{QStringLiteral("--rack-child"), QString::number(decks), QStringLiteral("--duration-ms"),
                          QString::number(durationMs)};
    if (files > 0) childArgs << QStringLiteral("--retrieve");
    Child rackRun(childArgs);
    // The control starts once the decks are linked, about when the rack starts measuring.
    runFor(1500);
    Child control({QStringLiteral("--timerfd-child"), QStringLiteral("--duration-ms"), QString::number(durationMs)});
    const ChildRun rack = rackRun.finish(durationMs + 30000 + (files > 0 ? 150000 : 0));
    const ChildRun fd = control.finish(10000);
    if (!rack.ok) {
        std::fprintf(stderr, "qz7bench: the rack child failed: %s %s\n", qPrintable(rack.errors),
                     qPrintable(valueOf(rack, QStringLiteral("error"))));
        return 1;
    }
    const Summary ticks = parseSummary(valueOf(rack, QStringLiteral("worst_deck_ticks")));
    std::vector<double> fdIntervals;
    std::vector<long long> fdStamps;
    for (const QString& t : valueOf(fd, QStringLiteral("stamps_ns")).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        fdStamps.push_back(t.toLongLong());
    const Summary control_ = summarize(intervalsMs(fdStamps));
    const double cpu = valueOf(rack, QStringLiteral("cpu_percent")).toDouble();
    const long rss = valueOf(rack, QStringLiteral("vmhwm_kb")).toLong();

    QTextStream out(stdout);
    out << "## qz7bench --decks " << decks << "\n\nLoad average (1, 5, 15 min) before: " << loadBefore
        << ", after: " << loadAverage() << "; cores: " << QThread::idealThreadCount() << "; Qt " << qVersion()
        << ".\n\n| Measure | Rack of " << decks << " decks | Aim | Met |\n|---|---|---|---|\n";
    out << "| Tick period of the worst deck (highest p99), idle polling, simulators answering: median / mean / "
           "p99 / max (ms), "
        << ticks.count << " ticks | " << ms(ticks.p50) << " / " << ms(ticks.mean, 3) << " / " << ms(ticks.p99)
        << " / " << ms(ticks.max) << " | p99 <= " << ms(control_.p99 + 0.3) << " (the control's + 0.3) | "
        << yesNo(ticks.p99 <= control_.p99 + 0.3) << " |\n";
    out << "| Control: a bare 20 ms timerfd in another process, same span: median / mean / p99 / max (ms), "
        << control_.count << " ticks | " << ms(control_.p50) << " / " << ms(control_.mean, 3) << " / "
        << ms(control_.p99) << " / " << ms(control_.max) << " | what this machine allows | - |\n";
    out << "| CPU of the whole rack, every deck linked and answering, " << valueOf(rack, QStringLiteral("queued"))
        << " commands queued at the end (% of one core) | " << ms(cpu) << " | < 4 | " << yesNo(cpu < 4.0) << " |\n";
    if (files > 0) {
        // Every request of the refresh costs two ticks.
        const double limitS = 2.0 * (kFixedRequests + 2 * files) * kTickMs / 1000.0;
        const double slowest = valueOf(rack, QStringLiteral("retrieve_slowest_s")).toDouble();
        const bool all = valueOf(rack, QStringLiteral("retrieve_unfinished")) == QLatin1String("0") &&
                         valueOf(rack, QStringLiteral("retrieve_started")).toInt() == decks;
        out << "| Retrieve of " << files << " files on all " << decks
            << " decks at once, request to last request's tick (s): fastest / slowest deck | "
            << valueOf(rack, QStringLiteral("retrieve_fastest_s")) << " / " << valueOf(rack, QStringLiteral("retrieve_slowest_s"))
            << (all ? QString() : QStringLiteral(" (%1 unfinished)").arg(valueOf(rack, QStringLiteral("retrieve_unfinished"))))
            << " | each <= " << ms(limitS, 1) << " s + 1 % | " << yesNo(all && slowest > 0 && slowest <= limitS * 1.01)
            << " |\n";
    }
    out << "| Peak resident memory of the rack process, VmHWM (MiB) | " << mib(rss) << " | < 60 | "
        << yesNo(rss > 0 && rss < 60 * 1024) << " |\n";
    out << "\nThe rack child runs qz7rack's Rack (the decks without OSC) with the shipped 20 ms tick; its "
        << 2 * decks << " simulators answer from this process on 127.0.220.1 and up.\n\nReproduce:\n\n```\ncmake "
           "--build "
        << QZ7_BENCH_BUILD_DIR << " --target qz7bench -j2 && " << QCoreApplication::applicationFilePath()
        << " --decks " << decks << " --idle-seconds " << seconds;
    if (files > 0) out << " --files " << files;
    out << "\n```\n";
    out.flush();
    return 0;
}

int runBench(const Settings& s) {
    Results r;
    const QString loadBefore = loadAverage();
    std::fprintf(stderr, "qz7bench: about %d s\n",
                 (s.silent ? 2 * (s.latencySeconds + s.idleSeconds) + 2 : 0) +
                     (s.retrieve ? (2 * (kFixedRequests + 2 * s.files) * kTickMs) / 1000 + 12 : 0) +
                     (s.startup ? 4 + s.startupRuns : 0) + (s.lag ? 20 : 0));

    // Binding the silent address keeps every datagram on this machine's
    // loopback and makes sure nothing answers there.
    QUdpSocket mute;
    r.muted = mute.bind(QHostAddress(kSilentHost), qz7::kDevicePort);

    if (s.silent) {
        std::fprintf(stderr, "qz7bench: panel polling a silent recorder\n");
        measurePanelSilent(s, r);
        std::fprintf(stderr, "qz7bench: naive blocking tick\n");
        measureNaiveSilent(s, r);
    }
    if (s.retrieve) {
        std::fprintf(stderr, "qz7bench: full Retrieve against the simulator\n");
        measureRetrieve(s, r);
    }
    if (s.startup) {
        std::fprintf(stderr, "qz7bench: start-up\n");
        measureStartup(s, r);
        measureContIdle(r);
    }
    if (s.lag) {
        std::fprintf(stderr, "qz7bench: lag after stray replies and a stall\n");
        measureLag(r.lag);
    }

    printReport(s, r, loadBefore, loadAverage());
    return !s.retrieve || (r.retrieve && r.retrieve->ok) ? 0 : 1;
}

QString usage() {
    return QStringLiteral(
        "Usage: qz7bench [--latency-seconds N] [--idle-seconds N] [--files N] [--startup-runs N] [--quick]\n"
        "                [--dump-ticks FILE] [--only silent,retrieve,startup,lag] [--lag]\n"
        "Measures the panel against a silent recorder on 127.0.0.61 and the simulator on 127.0.0.62,\n"
        "and prints a Markdown table. --quick: 3 s phases, 64 files, 2 start-ups. --dump-ticks: the\n"
        "tick intervals of the simulator phases as CSV. --only: run just the parts named (silent\n"
        "recorder and naive tick; Retrieve with the tick periods; start-up; lag), all by default.\n"
        "--lag: only the lag of the reported state after stray replies and a stall (--only lag).\n"
        "--decks N [--idle-seconds S] [--files F]: only the rack: N decks in one process against N\n"
        "simulated pairs on 127.0.220.1 and up, tick periods beside a bare timerfd, CPU and memory;\n"
        "with --files, then a Retrieve of F files on every deck at once.\n"
        "--log-cost S [--files F]: only the event log's cost: phases of S s without and with the log\n"
        "in turn, one deck against the simulator on 127.0.0.67 (a Retrieve of F files, default 128,\n"
        "and a command a second each), and the bytes the log wrote.\n");
}

std::optional<Settings> parseSettings(const QStringList& args, QString* error) {
    Settings s;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto number = [&](int& out, int low, int high) {
            bool ok = i + 1 < args.size();
            const int v = ok ? args[++i].toInt(&ok) : 0;
            if (!ok || v < low || v > high) {
                *error = QStringLiteral("%1 wants a number from %2 to %3").arg(a).arg(low).arg(high);
                return false;
            }
            out = v;
            return true;
        };
        if (a == QLatin1String("--latency-seconds")) {
            if (!number(s.latencySeconds, 1, 600)) return std::nullopt;
        } else if (a == QLatin1String("--idle-seconds")) {
            if (!number(s.idleSeconds, 1, 600)) return std::nullopt;
        } else if (a == QLatin1String("--files")) {
            if (!number(s.files, 1, qz7sim::kTableSize)) return std::nullopt;
        } else if (a == QLatin1String("--startup-runs")) {
            if (!number(s.startupRuns, 1, 50)) return std::nullopt;
        } else if (a == QLatin1String("--dump-ticks") && i + 1 < args.size()) {
            s.dumpTicks = args[++i];
        } else if (a == QLatin1String("--only") && i + 1 < args.size()) {
            const QStringList parts = args[++i].split(QLatin1Char(','), Qt::SkipEmptyParts);
            s.silent = parts.contains(QStringLiteral("silent"));
            s.retrieve = parts.contains(QStringLiteral("retrieve"));
            s.startup = parts.contains(QStringLiteral("startup"));
            s.lag = parts.contains(QStringLiteral("lag"));
            for (const QString& part : parts)
                if (part != QLatin1String("silent") && part != QLatin1String("retrieve") &&
                    part != QLatin1String("startup") && part != QLatin1String("lag")) {
                    *error = QStringLiteral("--only: unknown part %1").arg(part);
                    return std::nullopt;
                }
        } else if (a == QLatin1String("--lag")) {
            s.silent = s.retrieve = s.startup = false;
            s.lag = true;
        } else if (a == QLatin1String("--quick")) {
            s.latencySeconds = s.idleSeconds = 3;
            s.files = 64;
            s.startupRuns = 2;
        } else {
            *error = QStringLiteral("unknown option: %1").arg(a);
            return std::nullopt;
        }
    }
    return s;
}

bool hasArgument(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return true;
    return false;
}

int intArgument(const QStringList& args, const QString& name, int fallback) {
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toInt() : fallback;
}

QString stringArgument(const QStringList& args, const QString& name) {
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

}  // namespace

int main(int argc, char** argv) {
    const long long enteredNs = nowNs();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (hasArgument(argc, argv, "--startup-child")) return startupChild(argc, argv, enteredNs);

    qz7::Application app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--retrieve-child")))
        return retrieveChild(intArgument(args, QStringLiteral("--idle-ms"), 5000),
                             intArgument(args, QStringLiteral("--timeout-ms"), 120000),
                             stringArgument(args, QStringLiteral("--dump-ticks")));
    if (args.contains(QStringLiteral("--rack-child")))
        return rackChild(intArgument(args, QStringLiteral("--rack-child"), 8),
                         intArgument(args, QStringLiteral("--duration-ms"), 10000),
                         args.contains(QStringLiteral("--retrieve")));
    if (args.contains(QStringLiteral("--decks"))) {
        const int decks = intArgument(args, QStringLiteral("--decks"), 0);
        if (decks < 1 || decks > 32) {
            std::fprintf(stderr, "qz7bench: --decks wants 1..32\n");
            return 2;
        }
        return runRackBench(decks, std::clamp(intArgument(args, QStringLiteral("--idle-seconds"), 10), 1, 600),
                            std::clamp(intArgument(args, QStringLiteral("--files"), 0), 0, qz7sim::kTableSize));
    }
    if (args.contains(QStringLiteral("--log-cost")))
        return runLogCostBench(std::clamp(intArgument(args, QStringLiteral("--log-cost"), 20), 5, 600),
                               std::clamp(intArgument(args, QStringLiteral("--files"), 128), 1, qz7sim::kTableSize));
    if (args.contains(QStringLiteral("--timer-child")))
        return timerChild(intArgument(args, QStringLiteral("--duration-ms"), 10000));
    if (args.contains(QStringLiteral("--timerfd-child")))
        return timerfdChild(intArgument(args, QStringLiteral("--duration-ms"), 10000));
    if (args.contains(QStringLiteral("--help"))) {
        std::fputs(qPrintable(usage()), stdout);
        return 0;
    }
    QString error;
    const std::optional<Settings> settings = parseSettings(args, &error);
    if (!settings) {
        std::fprintf(stderr, "qz7bench: %s\n%s", qPrintable(error), qPrintable(usage()));
        return 2;
    }
    return runBench(*settings);
}
