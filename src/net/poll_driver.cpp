#include "net/poll_driver.h"

#include <QNetworkDatagram>

#include "link/command_stack.h"

namespace qz7 {

PollDriver::PollDriver(PollCycle& cycle, UdpTransport& transport, ReplyDecoder& decoder, QObject* parent)
    : QObject(parent),
      cycle_(cycle),
      transport_(transport),
      decoder_(decoder),
      timer_(new QTimer(this)),
      receiveWait_(new QTimer(this)) {
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(kIntervalMs);
    timer_->setTimerType(Qt::PreciseTimer);
    receiveWait_->setSingleShot(true);
    receiveWait_->setInterval(kReceiveTimeoutMs);
    receiveWait_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &PollDriver::Timer1Timer);
    connect(receiveWait_, &QTimer::timeout, this, &PollDriver::onReceiveTimeout);
    connect(transport_.replySocket(), &QUdpSocket::readyRead, this, &PollDriver::onReadyRead);
}

void PollDriver::start() { timer_->start(); }

void PollDriver::Timer1Timer() {
    if (waiting_) {
        // Never two ticks at once. Like a timer message that waited behind a
        // blocking receive, the skipped event starts the next tick as soon as
        // this one ends.
        ++skipped_;
        timerEventPending_ = true;
        return;
    }
    ++ticks_;
    try {
        cycle_.sendTurn();
    } catch (const LinkError& e) {
        // A send error ends the tick: no read this time.
        reportError(QString::fromStdString(e.what()));
        return;
    }
    if (const std::string partner = cycle_.takePartnerError(); !partner.empty())
        reportError(QString::fromStdString(partner));
    if (transport_.replySocket()->hasPendingDatagrams()) {
        finishTick(true);
        return;
    }
    waiting_ = true;
    receiveWait_->start();
}

void PollDriver::onReadyRead() {
    if (!waiting_) return;  // the datagram waits in the socket for the next tick
    receiveWait_->stop();
    finishTick(true);
}

void PollDriver::onReceiveTimeout() {
    if (!waiting_) return;
    finishTick(false);
}

void PollDriver::finishTick(bool readOne) {
    waiting_ = false;
    if (timerEventPending_) {
        timerEventPending_ = false;
        QTimer::singleShot(0, Qt::PreciseTimer, this, &PollDriver::Timer1Timer);
    }
    if (!readOne) return;
    QUdpSocket* socket = transport_.replySocket();
    if (!socket->hasPendingDatagrams()) return;
    const QNetworkDatagram datagram = socket->receiveDatagram(static_cast<qint64>(kMaxDatagram));
    if (!datagram.isValid()) {
        if (socket->error() != QAbstractSocket::UnknownSocketError)
            reportError(QStringLiteral("Socket Error # %1\n%2")
                            .arg(static_cast<int>(socket->error()))
                            .arg(socket->errorString()));
        return;
    }
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
        // full command stack) ends the tick and is shown once.
        reportError(QString::fromUtf8(e.what()));
    }
}

void PollDriver::reportError(const QString& message) {
    if (report_) report_(message);
}

}  // namespace qz7
