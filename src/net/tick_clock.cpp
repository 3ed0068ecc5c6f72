#include "net/tick_clock.h"

#include <QSocketNotifier>
#include <algorithm>
#include <stdexcept>

#include "net/poll_driver.h"
#include "net/timer_fd.h"

namespace qz7 {

TickClock::TickClock(std::chrono::microseconds interval, QObject* parent) : QObject(parent), interval_(interval) {
    if (interval_.count() <= 0) throw std::invalid_argument("TickClock: the interval must be positive");
    fd_ = timerfd::make();
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    notifier_->setObjectName(QStringLiteral("SharedTickTimer"));
    connect(notifier_, &QSocketNotifier::activated, this, &TickClock::onExpired);
}

TickClock::~TickClock() {
    delete notifier_;
    ::close(fd_);
}

void TickClock::attach(PollDriver* driver) {
    if (std::find(drivers_.begin(), drivers_.end(), driver) != drivers_.end()) return;
    drivers_.push_back(driver);
    if (drivers_.size() == 1) timerfd::startGrid(fd_, interval_);
}

void TickClock::detach(PollDriver* driver) {
    const auto it = std::find(drivers_.begin(), drivers_.end(), driver);
    if (it == drivers_.end()) return;
    drivers_.erase(it);
    if (drivers_.empty()) timerfd::disarm(fd_);
}

void TickClock::onExpired() {
    // Expirations missed while the event loop was busy give one tick, not a
    // burst of catch-up ticks.
    if (timerfd::takeExpirations(fd_) == 0) return;
    ++expirations_;
    // A tick's handlers may stop a deck (and so detach it) or start one: walk
    // a copy, and skip whoever left on the way.
    const std::vector<PollDriver*> now = drivers_;
    for (PollDriver* driver : now)
        if (std::find(drivers_.begin(), drivers_.end(), driver) != drivers_.end()) driver->tick();
}

}  // namespace qz7
