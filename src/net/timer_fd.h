// Linux timerfds as the poll driver and the shared tick clock use them: a
// socket notifier watches the fd, so the event loop wakes to the microsecond.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <sys/timerfd.h>
#include <system_error>
#include <time.h>
#include <unistd.h>

namespace qz7::timerfd {

inline int make() {
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "timerfd_create");
    return fd;
}

inline timespec toTimespec(std::chrono::nanoseconds d) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(d.count() / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(d.count() % 1'000'000'000);
    return ts;
}

inline std::chrono::nanoseconds monotonicNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
}

inline void set(int fd, int flags, std::chrono::nanoseconds value, std::chrono::nanoseconds period) {
    itimerspec schedule{};
    schedule.it_value = toTimespec(value);
    schedule.it_interval = toTimespec(period);
    // Cannot fail on our own fd with these values; setting also clears any
    // expiration not yet read.
    timerfd_settime(fd, flags, &schedule, nullptr);
}

// Every `period` on an absolute grid that starts one period from now.
inline void startGrid(int fd, std::chrono::nanoseconds period) {
    set(fd, TFD_TIMER_ABSTIME, monotonicNow() + period, period);
}

inline void disarm(int fd) { set(fd, 0, {}, {}); }

// Expirations since the last read; 0 when the fd was not readable after all
// (a wake from before the timer was set again).
inline std::uint64_t takeExpirations(int fd) {
    std::uint64_t count = 0;
    return ::read(fd, &count, sizeof count) == static_cast<ssize_t>(sizeof count) ? count : 0;
}

}  // namespace qz7::timerfd
