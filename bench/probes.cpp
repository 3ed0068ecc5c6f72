#include "probes.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <random>
#include <sys/resource.h>
#include <time.h>

#include "net/poll_driver.h"

namespace qz7bench {

long long nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

namespace {
long statusKb(const QString& path, const char* field) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}
}  // namespace

long procStatusKb(long long pid, const char* field) { return statusKb(QStringLiteral("/proc/%1/status").arg(pid), field); }

long selfStatusKb(const char* field) { return statusKb(QStringLiteral("/proc/self/status"), field); }

QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("?");
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() >= 3 ? QString::fromLatin1(parts[0] + ' ' + parts[1] + ' ' + parts[2]) : QStringLiteral("?");
}

bool waitFor(const std::function<bool()>& pred, int timeoutMs, int checkEveryMs) {
    if (pred()) return true;
    // A nested event loop that sleeps between checks: spinning on
    // processEvents() would eat the CPU time being measured.
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    check.setInterval(checkEveryMs);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (pred()) loop.exit(0);
    });
    QTimer::singleShot(timeoutMs, Qt::PreciseTimer, &loop, [&loop] { loop.exit(1); });
    check.start();
    return loop.exec() == 0 || pred();
}

void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// ---------------------------------------------------------------------------

namespace {
const QEvent::Type kProbeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class ProbeEvent : public QEvent {
public:
    explicit ProbeEvent(long long postedNs) : QEvent(kProbeEvent), posted(postedNs) {}
    const long long posted;
};
}  // namespace

class LatencyProbe::Receiver : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() != kProbeEvent) return QObject::event(e);
        const long long late = nowNs() - static_cast<ProbeEvent*>(e)->posted;
        std::lock_guard lock(mutex);
        latencies.push_back(static_cast<double>(late) / 1e6);
        return true;
    }
    mutable std::mutex mutex;
    std::vector<double> latencies;
};

LatencyProbe::LatencyProbe() : receiver_(std::make_unique<Receiver>()) {}

LatencyProbe::~LatencyProbe() { stop(); }

void LatencyProbe::start() {
    Receiver* receiver = receiver_.get();
    poster_ = std::jthread([receiver](std::stop_token stop) {
        std::mt19937 dice(20000);  // fixed: every run posts on the same pattern
        std::uniform_int_distribution<int> gapUs(3000, 8000);
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(std::chrono::microseconds(gapUs(dice)));
            QCoreApplication::postEvent(receiver, new ProbeEvent(nowNs()));
        }
    });
}

void LatencyProbe::stop() {
    if (!poster_.joinable()) return;
    poster_.request_stop();
    poster_.join();
    QCoreApplication::sendPostedEvents(receiver_.get(), kProbeEvent);
}

std::vector<double> LatencyProbe::latenciesMs() const {
    std::lock_guard lock(receiver_->mutex);
    return receiver_->latencies;
}

// ---------------------------------------------------------------------------

TickRecorder::TickRecorder(qz7::PollDriver& driver) {
    connection_ = QObject::connect(&driver, &qz7::PollDriver::tickStarted, [this] { stamps_.push_back(nowNs()); });
}

TickRecorder::~TickRecorder() { QObject::disconnect(connection_); }

}  // namespace qz7bench
