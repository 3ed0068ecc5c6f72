// Runs the poll cycle on the GUI thread without ever blocking it. Every
// interval (the tick timer, 20 ms) a tick sends its packet, then waits up to the reply
// wait (33 ms) for a datagram: the wait ends on readyRead or on its own timer,
// whichever comes first, so the event loop keeps running. Tick timer events that
// come while a tick waits are skipped, and the skipped event starts the next
// tick as soon as the wait ends; ticks never overlap.
//
// At the end of the tick every datagram waiting on the first endpoint is read
// and decoded, oldest first. Reading only one a tick let any extra datagram
// (a stray reply, the backlog of a recorder that stalled) hold every later
// status back by a tick for good. At most kMaxRepliesPerTick are decoded: when
// more were waiting the oldest are read and dropped (droppedReplies()), so the
// newest status wins. At the program's pace a tick gets one or two replies, so
// no list reply is lost. The partner's socket is emptied too; its replies are
// never decoded.
//
// Both timers are Linux timerfds watched by socket notifiers: the event loop
// wakes on them to the microsecond, where Qt's own timers round their waits to
// whole milliseconds and so jitter the cadence. The tick timer runs on an absolute
// schedule (start + k * interval), so late wakes do not make it drift, and
// expirations missed by a busy event loop give one tick, not a burst. Many
// drivers may share one such timer instead (TickClock, as the rack's decks do).
#pragma once

#include <QObject>
#include <chrono>
#include <functional>

#include "link/poll_cycle.h"
#include "link/reply_decoder.h"
#include "net/udp_transport.h"

class QNetworkDatagram;
class QSocketNotifier;

namespace qz7 {

class TickClock;

class PollDriver : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::microseconds kInterval{20'000};
    static constexpr std::chrono::microseconds kReplyWait{33'000};
    // Replies decoded at the end of one tick, at most.
    static constexpr int kMaxRepliesPerTick = 64;
    // Datagrams read from one socket in one tick, at most, so that a flood
    // cannot hold the GUI thread; more than a full default socket queue.
    static constexpr int kMaxReadsPerTick = 1024;

    // Throws std::invalid_argument unless interval and replyWait are
    // positive, std::system_error when the system gives no timerfd. With a
    // clock the driver ticks on the clock's expirations, at its interval,
    // instead of a timer of its own.
    PollDriver(PollCycle& cycle, UdpTransport& transport, ReplyDecoder& decoder,
               std::chrono::microseconds interval = kInterval, std::chrono::microseconds replyWait = kReplyWait,
               TickClock* clock = nullptr, QObject* parent = nullptr);
    ~PollDriver() override;

    // Starts the tick timer on a schedule counted from now (restarts it if running).
    // The first tick comes one interval later.
    void start();
    // Stops the tick timer. A tick that is waiting still ends as usual (reply or
    // time-out), but no further tick starts, not even a skipped one.
    void stop();
    bool isActive() const { return active_; }

    std::chrono::microseconds interval() const { return interval_; }
    std::chrono::microseconds replyWait() const { return replyWait_; }

    bool tickInProgress() const { return waiting_; }
    // Ticks started, and timer events skipped because a tick was still waiting
    // (counted when that wait ends).
    qint64 ticks() const { return ticks_; }
    qint64 skippedTimerEvents() const { return skipped_; }
    // Replies read but not decoded because more than kMaxRepliesPerTick were
    // waiting at the end of a tick (the oldest of them).
    qint64 droppedReplies() const { return dropped_; }

    // Where errors from the tick go (the standard error box).
    void setErrorReporter(std::function<void(const QString&)> report) { report_ = std::move(report); }

signals:
    // A tick begins (ticks() has moved), before its packet is sent.
    void tickStarted();
    // A tick is over: the replies it read have been decoded.
    void tickFinished();

public slots:
    void tick();

private slots:
    void onReadyRead();

private:
    void onTickTimerExpired();
    void onReplyWaitExpired();
    void startPendingTick(qint64 ticksWhenQueued);
    void finishTick(bool readReplies);
    void readReplies();
    void decode(const QNetworkDatagram& datagram);
    void discardPartnerReplies();
    void reportError(const QString& message);

    PollCycle& cycle_;
    UdpTransport& transport_;
    ReplyDecoder& decoder_;
    const std::chrono::microseconds interval_;
    const std::chrono::microseconds replyWait_;
    TickClock* const clock_;  // shared with other drivers, or nullptr: a timer of our own
    int tickTimerFd_ = -1;
    int replyWaitFd_ = -1;
    QSocketNotifier* tickTimer_ = nullptr;  // the 20 ms tick timer (without a clock)
    QSocketNotifier* replyWaitNotifier_ = nullptr;  // one shot per tick
    bool active_ = false;
    bool waiting_ = false;
    bool reading_ = false;  // decoding the replies of a tick
    bool timerEventPending_ = false;
    qint64 ticks_ = 0;
    qint64 skipped_ = 0;
    qint64 dropped_ = 0;
    std::function<void(const QString&)> report_;
};

}  // namespace qz7
