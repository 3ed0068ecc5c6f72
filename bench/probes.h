// What the benchmark measures with: a steady clock shared by every process on
// the machine, a probe that posts stamped events to the GUI thread from a
// thread of its own, a recorder of the poll cycle's ticks, and the process's
// CPU time and memory as the kernel counts them.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qz7 {
class PollDriver;
}

namespace qz7bench {

// Nanoseconds of CLOCK_MONOTONIC: comparable between a parent and its children.
long long nowNs();

// User plus system CPU time of this process so far, in seconds.
double cpuSeconds();
// A "kB" field of /proc/PID/status (VmHWM, VmRSS, ...); -1 when unreadable.
long procStatusKb(long long pid, const char* field);
long selfStatusKb(const char* field);
// The first three fields of /proc/loadavg.
QString loadAverage();

// Runs the event loop until pred() holds or timeoutMs pass; true if it held.
bool waitFor(const std::function<bool()>& pred, int timeoutMs, int checkEveryMs = 5);
// Runs the event loop for ms milliseconds.
void runFor(int ms);

// Posts events to the GUI thread at random moments 3 to 8 ms apart, each
// stamped with the time it was posted, from a thread that never waits on the
// GUI thread: the way input arrives from the window system. How late the GUI
// thread handles them is the latency an operator feels.
class LatencyProbe {
public:
    LatencyProbe();
    ~LatencyProbe();
    void start();
    // Stops posting and lets the GUI thread handle what was already posted.
    void stop();
    std::vector<double> latenciesMs() const;

private:
    class Receiver;
    std::unique_ptr<Receiver> receiver_;
    std::jthread poster_;
};

// Start times of the poll cycle's ticks, taken as each tick begins (before
// it sends its packet).
class TickRecorder {
public:
    explicit TickRecorder(qz7::PollDriver& driver);
    ~TickRecorder();
    TickRecorder(const TickRecorder&) = delete;
    TickRecorder& operator=(const TickRecorder&) = delete;
    void clear() { stamps_.clear(); }
    const std::vector<long long>& stamps() const { return stamps_; }

private:
    QMetaObject::Connection connection_;
    std::vector<long long> stamps_;
};

}  // namespace qz7bench
