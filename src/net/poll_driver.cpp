#include "net/poll_driver.h"

#include <QNetworkDatagram>
#include <QSocketNotifier>
#include <deque>
#include <stdexcept>

#include "link/command_stack.h"
#include "net/tick_clock.h"
#include "net/timer_fd.h"

namespace qz7 {

using namespace timerfd;

PollDriver::PollDriver(PollCycle& cycle, UdpTransport& transport, ReplyDecoder& decoder,
                       std::chrono::microseconds interval, std::chrono::microseconds replyWait, TickClock* clock,
                       QObject* parent)
    : QObject(parent),
      cycle_(cycle),
      transport_(transport),
      decoder_(decoder),
      interval_(clock ? clock->interval() : interval),
      replyWait_(replyWait),
      clock_(clock) {
    if (interval_.count() <= 0 || replyWait_.count() <= 0)
        throw std::invalid_argument("PollDriver: the interval and the reply wait must be positive");
    replyWaitFd_ = make();
    if (!clock_) {
        try {
            tickTimerFd_ = make();
        } catch (...) {
            ::close(replyWaitFd_);
            throw;
        }
        tickTimer_ = new QSocketNotifier(tickTimerFd_, QSocketNotifier::Read, this);
        tickTimer_->setObjectName(QStringLiteral("TickTimer"));
        connect(tickTimer_, &QSocketNotifier::activated, this, &PollDriver::onTickTimerExpired);
    }
    replyWaitNotifier_ = new QSocketNotifier(replyWaitFd_, QSocketNotifier::Read, this);
    replyWaitNotifier_->setObjectName(QStringLiteral("ReplyWait"));
    connect(replyWaitNotifier_, &QSocketNotifier::activated, this, &PollDriver::onReplyWaitExpired);
    connect(transport_.replySocket(), &QUdpSocket::readyRead, this, &PollDriver::onReadyRead);
}

PollDriver::~PollDriver() {
    if (clock_) clock_->detach(this);
    // The notifiers go before the fds they watch.
    delete tickTimer_;
    delete replyWaitNotifier_;
    if (tickTimerFd_ >= 0) ::close(tickTimerFd_);
    ::close(replyWaitFd_);
}

void PollDriver::start() {
    if (clock_) {
        clock_->attach(this);
    } else {
        // The kernel keeps expirations on this grid however late we read them.
        startGrid(tickTimerFd_, interval_);
    }
    active_ = true;
}

void PollDriver::stop() {
    if (clock_)
        clock_->detach(this);
    else
        disarm(tickTimerFd_);
    active_ = false;
    timerEventPending_ = false;
}

void PollDriver::onTickTimerExpired() {
    // Expirations missed while the event loop was busy give one tick, not a
    // burst of catch-up ticks.
    if (takeExpirations(tickTimerFd_) == 0) return;
    tick();
}

void PollDriver::tick() {
    if (waiting_ || reading_) {
        // Never two ticks at once. Like a timer message that waited behind a
        // blocking receive, the skipped event starts the next tick as soon as
        // this one ends.
        ++skipped_;
        timerEventPending_ = true;
        return;
    }
    ++ticks_;
    emit tickStarted();
    try {
        cycle_.sendTurn();
    } catch (const std::exception& e) {
        // A send error ends the tick: no read this time.
        reportError(QString::fromStdString(e.what()));
        discardPartnerReplies();
        emit tickFinished();
        return;
    }
    if (const std::string partner = cycle_.takePartnerError(); !partner.empty())
        reportError(QString::fromStdString(partner));
    if (transport_.replySocket()->hasPendingDatagrams()) {
        finishTick(true);
        return;
    }
    waiting_ = true;
    // The tick timer is not watched while the tick waits: the events it skips are
    // read off its fd when the wait ends, which spares the event loop a
    // wake-up per skipped event (about 40 % of the idle CPU with a silent
    // recorder).
    if (tickTimer_) tickTimer_->setEnabled(false);
    set(replyWaitFd_, 0, replyWait_, {});
}

void PollDriver::onReadyRead() {
    if (!waiting_) return;  // the datagram waits in the socket for the next tick
    finishTick(true);
}

void PollDriver::onReplyWaitExpired() {
    if (takeExpirations(replyWaitFd_) == 0) return;
    if (!waiting_) return;
    finishTick(false);
}

void PollDriver::startPendingTick(qint64 ticksWhenQueued) {
    // A tick timer event that got in first has already started the next tick.
    if (!active_ || waiting_ || ticks_ != ticksWhenQueued) return;
    tick();
}

void PollDriver::finishTick(bool readReplies) {
    waiting_ = false;
    disarm(replyWaitFd_);
    if (tickTimer_) {
        tickTimer_->setEnabled(true);
        if (const std::uint64_t skipped = takeExpirations(tickTimerFd_); skipped > 0) {
            skipped_ += static_cast<qint64>(skipped);
            timerEventPending_ = true;
        }
    }
    if (readReplies) this->readReplies();
    discardPartnerReplies();
    if (timerEventPending_) {
        timerEventPending_ = false;
        // Through the event loop, as the timer event itself would have come.
        if (active_)
            QMetaObject::invokeMethod(
                this, [this, queuedAt = ticks_] { startPendingTick(queuedAt); }, Qt::QueuedConnection);
    }
    emit tickFinished();
}

void PollDriver::readReplies() {
    QUdpSocket* socket = transport_.replySocket();
    // Everything waiting is read now: a datagram left in the queue would put
    // every later reply a tick behind, for good. Only the newest
    // kMaxRepliesPerTick are kept; the oldest make way as newer ones come.
    std::deque<QNetworkDatagram> replies;
    for (int reads = 0; reads < kMaxReadsPerTick && socket->hasPendingDatagrams(); ++reads) {
        QNetworkDatagram datagram = socket->receiveDatagram(static_cast<qint64>(kMaxDatagram));
        if (!datagram.isValid()) {
            if (socket->error() != QAbstractSocket::UnknownSocketError)
                reportError(QStringLiteral("Socket Error # %1\n%2")
                                .arg(static_cast<int>(socket->error()))
                                .arg(socket->errorString()));
            break;
        }
        replies.push_back(std::move(datagram));
        if (replies.size() > static_cast<std::size_t>(kMaxRepliesPerTick)) {
            replies.pop_front();
            ++dropped_;
        }
    }
    // A handler that runs an event loop of its own must not start a tick
    // that reads past the replies still held here.
    reading_ = true;
    for (const QNetworkDatagram& datagram : replies) decode(datagram);
    reading_ = false;
}

void PollDriver::decode(const QNetworkDatagram& datagram) {
    const QByteArray data = datagram.data();
    QHostAddress from = datagram.senderAddress();
    bool ok = false;
    const quint32 v4 = from.toIPv4Address(&ok);
    if (ok) from = QHostAddress(v4);
    const QHostAddress selected = transport_.firstAddress();
    const Sender sender{from.toString().toStdString(), !selected.isNull() && selected.isEqual(from)};
    const auto bytes = std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                                     static_cast<std::size_t>(data.size()));
    try {
        decoder_.decode(bytes, sender, cycle_.linkEnabled());
    } catch (const std::exception& e) {
        // An error raised by a handler (a list line that cannot be written, a
        // full command stack) ends that handler and is shown; the next reply
        // is decoded as usual.
        reportError(QString::fromUtf8(e.what()));
    }
}

void PollDriver::discardPartnerReplies() {
    // Replies from the partner are never read, but left in its socket they
    // would fill it for nothing.
    QUdpSocket* socket = transport_.partnerSocket();
    char byte = 0;
    for (int reads = 0; reads < kMaxReadsPerTick && socket->hasPendingDatagrams(); ++reads)
        if (socket->readDatagram(&byte, 1) < 0) break;
}

void PollDriver::reportError(const QString& message) {
    if (report_) report_(message);
}

}  // namespace qz7
