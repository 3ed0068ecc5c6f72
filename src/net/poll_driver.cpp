#include "net/poll_driver.h"

#include <QNetworkDatagram>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <stdexcept>
#include <sys/timerfd.h>
#include <system_error>
#include <time.h>
#include <unistd.h>

#include "link/command_stack.h"

namespace qz7 {

namespace {

int makeTimerFd() {
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "timerfd_create");
    return fd;
}

timespec toTimespec(std::chrono::nanoseconds d) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(d.count() / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(d.count() % 1'000'000'000);
    return ts;
}

std::chrono::nanoseconds monotonicNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
}

void setTimer(int fd, int flags, std::chrono::nanoseconds value, std::chrono::nanoseconds period) {
    itimerspec schedule{};
    schedule.it_value = toTimespec(value);
    schedule.it_interval = toTimespec(period);
    // Cannot fail on our own fd with these values; setting also clears any
    // expiration not yet read.
    timerfd_settime(fd, flags, &schedule, nullptr);
}

void disarm(int fd) { setTimer(fd, 0, {}, {}); }

// Expirations since the last read; 0 when the fd was not readable after all
// (a wake from before the timer was set again).
std::uint64_t takeExpirations(int fd) {
    std::uint64_t count = 0;
    return ::read(fd, &count, sizeof count) == static_cast<ssize_t>(sizeof count) ? count : 0;
}

}  // namespace

PollDriver::PollDriver(PollCycle& cycle, UdpTransport& transport, ReplyDecoder& decoder,
                       std::chrono::microseconds interval, std::chrono::microseconds replyWait, QObject* parent)
    : QObject(parent),
      cycle_(cycle),
      transport_(transport),
      decoder_(decoder),
      interval_(interval),
      replyWait_(replyWait) {
    if (interval_.count() <= 0 || replyWait_.count() <= 0)
        throw std::invalid_argument("PollDriver: the interval and the reply wait must be positive");
    tickTimerFd_ = makeTimerFd();
    try {
        replyWaitFd_ = makeTimerFd();
    } catch (...) {
        ::close(tickTimerFd_);
        throw;
    }
    tickTimer_ = new QSocketNotifier(tickTimerFd_, QSocketNotifier::Read, this);
    tickTimer_->setObjectName(QStringLiteral("TickTimer"));
    replyWaitNotifier_ = new QSocketNotifier(replyWaitFd_, QSocketNotifier::Read, this);
    replyWaitNotifier_->setObjectName(QStringLiteral("ReplyWait"));
    connect(tickTimer_, &QSocketNotifier::activated, this, &PollDriver::onTickTimerExpired);
    connect(replyWaitNotifier_, &QSocketNotifier::activated, this, &PollDriver::onReplyWaitExpired);
    connect(transport_.replySocket(), &QUdpSocket::readyRead, this, &PollDriver::onReadyRead);
}

PollDriver::~PollDriver() {
    // The notifiers go before the fds they watch.
    delete tickTimer_;
    delete replyWaitNotifier_;
    ::close(tickTimerFd_);
    ::close(replyWaitFd_);
}

void PollDriver::start() {
    // The kernel keeps expirations on this grid however late we read them.
    setTimer(tickTimerFd_, TFD_TIMER_ABSTIME, monotonicNow() + interval_, interval_);
    active_ = true;
}

void PollDriver::stop() {
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
    tickTimer_->setEnabled(false);
    setTimer(replyWaitFd_, 0, replyWait_, {});
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
    tickTimer_->setEnabled(true);
    if (const std::uint64_t skipped = takeExpirations(tickTimerFd_); skipped > 0) {
        skipped_ += static_cast<qint64>(skipped);
        timerEventPending_ = true;
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
