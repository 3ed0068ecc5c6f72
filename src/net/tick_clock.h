// One tick timer for many poll drivers: the rack's decks tick together on one
// timerfd instead of each waking the event loop on its own. Every expiration
// starts a tick on each attached driver in the order they were attached, so
// one wake sends every deck's packet and their replies come back close
// together, to be read in as few wakes as the event loop can manage.
//
// The schedule is absolute (start + k * interval) from the first attach, as
// a driver's own timer is; a driver attached later joins that grid. A driver
// still waiting for its reply skips the tick as it would skip its own timer's.
#pragma once

#include <QObject>
#include <chrono>
#include <vector>

class QSocketNotifier;

namespace qz7 {

class PollDriver;

class TickClock : public QObject {
    Q_OBJECT
public:
    // Throws std::invalid_argument unless interval is positive,
    // std::system_error when the system gives no timerfd.
    explicit TickClock(std::chrono::microseconds interval, QObject* parent = nullptr);
    ~TickClock() override;

    std::chrono::microseconds interval() const { return interval_; }
    // Drivers call these from their start() and stop(): the clock runs while
    // one is attached.
    void attach(PollDriver* driver);
    void detach(PollDriver* driver);
    int attached() const { return static_cast<int>(drivers_.size()); }
    // Expirations read (each gave every attached driver one tick).
    qint64 expirations() const { return expirations_; }

private:
    void onExpired();

    const std::chrono::microseconds interval_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::vector<PollDriver*> drivers_;
    qint64 expirations_ = 0;
};

}  // namespace qz7
