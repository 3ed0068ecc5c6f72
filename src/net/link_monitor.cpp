#include "net/link_monitor.h"

#include <algorithm>

#include "net/recorder_link.h"

namespace qz7 {

LinkMonitor::LinkMonitor(RecorderLink& link, QObject* parent)
    : QObject(parent), link_(link), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("LinkMonitor"));
    elapsed_.start();
    clock_ = [this] { return elapsed_.elapsed(); };
    connect(&link_, &RecorderLink::linkEnabledChanged, this, &LinkMonitor::onLinkEnabled);
    // Status and timecode requests alternate on every free tick, so one of
    // their answers is due every 40 ms even during a long list refresh.
    connect(&link_, &RecorderLink::replyReceived, this, [this](const Reply& reply) {
        if (std::holds_alternative<StatusReply>(reply) || std::holds_alternative<TimecodeReply>(reply)) onReply();
    });
    connect(&link_, &RecorderLink::tickError, this, &LinkMonitor::onTickError);
    connect(timer_, &QTimer::timeout, this, &LinkMonitor::refresh);
    timer_->start(kRefreshMs);
}

void LinkMonitor::setClock(Clock clock) {
    clock_ = std::move(clock);
    since_ = clock_();
    refresh();
}

QString LinkMonitor::address() const { return link_.transport().endpoint(1).host; }

QString LinkMonitor::text() const {
    return QString::fromStdString(qz7::lampText(state_, address().toStdString(), silentSeconds_, false));
}

QString LinkMonitor::lampText() const {
    return QString::fromStdString(qz7::lampText(state_, address().toStdString(), silentSeconds_, !sendError_.isEmpty()));
}

void LinkMonitor::onLinkEnabled(bool on) {
    // Every "Apply" starts afresh: the values on screen may be another recorder's.
    if (on) {
        answered_ = false;
        since_ = clock_();
    }
    refresh();
}

void LinkMonitor::onReply() {
    answered_ = true;
    since_ = clock_();
    refresh();
}

void LinkMonitor::onTickError(const QString& message) {
    sendError_ = message;
    errorTick_ = link_.pollCycle().cleanTicks();
    refresh();
}

void LinkMonitor::refresh() {
    // The error is raised after its tick counted, so only a later tick clears it.
    if (!sendError_.isEmpty() && link_.pollCycle().cleanTicks() > errorTick_) sendError_.clear();

    const qint64 silentMs = std::max<qint64>(0, clock_() - since_);
    silentSeconds_ = silentMs / 1000;
    if (!link_.linkEnabled())
        state_ = State::Off;
    else if (silentMs >= kSilenceMs)
        state_ = State::NoReply;
    else
        state_ = answered_ ? State::Ok : State::Waiting;
    if (state_ != State::NoReply) silentSeconds_ = 0;

    // Compared with what was last told: the reply and error handlers change
    // the state before they refresh. The text names the state.
    const QString shown = text();
    if (shown != shownText_ || sendError_ != shownError_) {
        shownText_ = shown;
        shownError_ = sendError_;
        emit changed();
    }
}

}  // namespace qz7
