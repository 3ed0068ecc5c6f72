// Runs the poll cycle on the GUI thread without ever blocking it. Every 20 ms
// (Timer1) a tick sends its packet, then waits up to 33 ms for one datagram:
// the wait is a readyRead or a single-shot timer, whichever comes first, so
// the event loop keeps running. A timer event that comes while a tick waits is
// skipped; ticks never overlap.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "link/poll_cycle.h"
#include "link/reply_decoder.h"
#include "net/udp_transport.h"

namespace qz7 {

class PollDriver : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 20;
    static constexpr int kReceiveTimeoutMs = 33;

    PollDriver(PollCycle& cycle, UdpTransport& transport, ReplyDecoder& decoder, QObject* parent = nullptr);

    void start();
    QTimer* timer() { return timer_; }
    bool tickInProgress() const { return waiting_; }
    // Ticks started, and timer events skipped because a tick was still waiting.
    qint64 ticks() const { return ticks_; }
    qint64 skippedTimerEvents() const { return skipped_; }

    // Where errors from the tick go (the standard error box).
    void setErrorReporter(std::function<void(const QString&)> report) { report_ = std::move(report); }

public slots:
    void Timer1Timer();

private slots:
    void onReadyRead();
    void onReceiveTimeout();

private:
    void finishTick(bool readOne);
    void reportError(const QString& message);

    PollCycle& cycle_;
    UdpTransport& transport_;
    ReplyDecoder& decoder_;
    QTimer* timer_;         // Timer1, 20 ms
    QTimer* receiveWait_;   // 33 ms single shot
    bool waiting_ = false;
    bool timerEventPending_ = false;
    qint64 ticks_ = 0;
    qint64 skipped_ = 0;
    std::function<void(const QString&)> report_;
};

}  // namespace qz7
