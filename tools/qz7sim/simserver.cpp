#include "simserver.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

#include <climits>
#include <cstdio>

#include "link/protocol.h"

namespace qz7sim {

SimServer::SimServer(const Config& config, const SimOptions& options, QObject* parent)
    : QObject(parent), recorder_(config), options_(options), dice_(options.seed) {
    announceTimer_.setInterval(1000);
    connect(&announceTimer_, &QTimer::timeout, this, &SimServer::announce);
    stallTimer_.setSingleShot(true);
    stallTimer_.setTimerType(Qt::PreciseTimer);
    connect(&stallTimer_, &QTimer::timeout, this, &SimServer::endStall);
}

SimServer::~SimServer() = default;

bool SimServer::announceAllowed(const QHostAddress& host, bool allowNonLoopback) {
    bool ok = false;
    const quint32 v4 = host.toIPv4Address(&ok);
    if (!ok) return false;
    if ((v4 >> 24) == 127) return true;
    if (!allowNonLoopback) return false;
    // Even inside a namespace: no broadcast, multicast or unspecified address.
    return v4 != 0xFFFFFFFFu && v4 != 0 && !host.isMulticast();
}

bool SimServer::start(QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (socket_) return fail(QStringLiteral("already running"));
    if (options_.dropPercent < 0 || options_.dropPercent > 100) return fail(QStringLiteral("drop percent must be 0..100"));
    if (options_.delayMs < 0) return fail(QStringLiteral("delay must not be negative"));
    if (options_.stallMs < 0) return fail(QStringLiteral("stall length must not be negative"));

    announceTo_ = QHostAddress();
    if (!options_.announceHost.isEmpty()) {
        const QHostAddress host(options_.announceHost);
        if (host.isNull()) return fail(QStringLiteral("announce host %1 is not an IPv4 address").arg(options_.announceHost));
        if (!announceAllowed(host, options_.allowNonLoopback))
            return fail(QStringLiteral("announce host %1 is outside 127.0.0.0/8 (use --allow-nonloopback only "
                                       "inside a private network namespace)")
                            .arg(options_.announceHost));
        announceTo_ = host;
    }

    auto socket = std::make_unique<QUdpSocket>();
    if (!socket->bind(options_.address, options_.port, QAbstractSocket::DontShareAddress))
        return fail(QStringLiteral("cannot bind %1:%2: %3")
                        .arg(options_.address.toString())
                        .arg(options_.port)
                        .arg(socket->errorString()));
    socket_ = std::move(socket);
    connect(socket_.get(), &QUdpSocket::readyRead, this, &SimServer::readPending);

    clock_.start();
    lastMs_ = 0;
    if (!announceTo_.isNull()) {
        announce();
        announceTimer_.start();
    }
    if (options_.stallAfterMs >= 0)
        QTimer::singleShot(options_.stallAfterMs, Qt::PreciseTimer, this, [this] { stall(options_.stallMs); });
    return true;
}

void SimServer::stop() {
    announceTimer_.stop();
    stallTimer_.stop();
    backlog_.clear();
    socket_.reset();
}

void SimServer::stall(int ms) {
    if (!socket_ || ms <= 0) return;
    if (isStalled() && stallTimer_.remainingTime() >= ms) return;
    if (options_.verbose) std::fprintf(stderr, "qz7sim %s:%u   (stalling %d ms)\n", qPrintable(address().toString()), unsigned{port()}, ms);
    stallTimer_.start(ms);
}

void SimServer::endStall() {
    std::vector<Request> held;
    held.swap(backlog_);
    if (options_.verbose)
        std::fprintf(stderr, "qz7sim %s:%u   (stall over, answering %zu requests)\n", qPrintable(address().toString()),
                     unsigned{port()}, held.size());
    for (const Request& r : held) answer(r);
    emit stallEnded(static_cast<int>(held.size()));
}

bool SimServer::isRunning() const { return socket_ != nullptr; }

QHostAddress SimServer::address() const { return socket_ ? socket_->localAddress() : options_.address; }

quint16 SimServer::port() const { return socket_ ? socket_->localPort() : options_.port; }

void SimServer::syncClock() {
    if (!clock_.isValid()) return;
    const qint64 now = clock_.elapsed();
    qint64 step = now - lastMs_;
    lastMs_ = now;
    while (step > 0) {
        const int chunk = step > INT_MAX ? INT_MAX : static_cast<int>(step);
        recorder_.advance(chunk);
        step -= chunk;
    }
}

void SimServer::readPending() {
    while (socket_ && socket_->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_->receiveDatagram();
        const Request request{datagram.data(), datagram.senderAddress(), static_cast<quint16>(datagram.senderPort())};
        ++received_;
        if (options_.verbose) log("<", request.peer, request.port, request.bytes);

        if (options_.dropPercent > 0 && std::uniform_int_distribution<int>(0, 99)(dice_) < options_.dropPercent) {
            ++dropped_;
            if (options_.verbose) std::fprintf(stderr, "qz7sim %s:%u   (dropped)\n", qPrintable(address().toString()), unsigned{port()});
            continue;
        }
        if (isStalled()) {
            // Read now so the socket's queue cannot overflow and lose any.
            backlog_.push_back(request);
            ++held_;
            continue;
        }
        answer(request);
    }
}

void SimServer::answer(const Request& request) {
    syncClock();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(request.bytes.constData());
    const auto replies = recorder_.handle({bytes, static_cast<std::size_t>(request.bytes.size())});
    for (const Bytes& reply : replies) {
        const QByteArray out(reinterpret_cast<const char*>(reply.data()), static_cast<qsizetype>(reply.size()));
        if (options_.delayMs > 0) {
            // Context object this: a pending reply dies with the server.
            QTimer::singleShot(options_.delayMs, this,
                               [this, out, peer = request.peer, peerPort = request.port] { send(out, peer, peerPort); });
        } else {
            send(out, request.peer, request.port);
        }
    }
    emit requestHandled(request.bytes, static_cast<int>(replies.size()));
}

void SimServer::send(const QByteArray& datagram, const QHostAddress& to, quint16 toPort) {
    if (!socket_) return;
    if (socket_->writeDatagram(datagram, to, toPort) == datagram.size()) ++sent_;
    if (options_.verbose) log(">", to, toPort, datagram);
}

void SimServer::announce() {
    if (!socket_ || announceTo_.isNull()) return;
    const QByteArray discovery(reinterpret_cast<const char*>(qz7::kDiscovery.data()), qz7::kDiscovery.size());
    socket_->writeDatagram(discovery, announceTo_, qz7::kDevicePort);
    if (options_.verbose) log(">", announceTo_, qz7::kDevicePort, discovery);
}

void SimServer::log(const char* direction, const QHostAddress& peer, quint16 peerPort, const QByteArray& bytes) const {
    std::fprintf(stderr, "qz7sim %s:%u %s %s:%u  %s\n", qPrintable(address().toString()), unsigned{port()},
                 direction, qPrintable(peer.toString()), unsigned{peerPort}, bytes.toHex(' ').toUpper().constData());
}

}  // namespace qz7sim
