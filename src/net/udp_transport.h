// The two device endpoints: UDP sockets owned for the whole run, each with a
// remote host text, port and broadcast switch. Replies are decoded from the
// first endpoint's socket only; the second one's are read and thrown away.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUdpSocket>

#include "link/transport.h"

class QHostInfo;

namespace qz7 {

struct Endpoint {
    QString host;
    quint16 port = 20000;
    bool broadcast = false;
};

class UdpTransport : public QObject, public Transport {
    Q_OBJECT
public:
    // A name that did not resolve is looked up again after this long.
    static constexpr int kLookupRetryMs = 5000;

    explicit UdpTransport(QObject* parent = nullptr);

    void send(int endpoint, std::span<const std::uint8_t> datagram) override;

    Endpoint& endpoint(int i) { return i == 1 ? first_ : second_; }
    const Endpoint& endpoint(int i) const { return i == 1 ? first_ : second_; }

    // The socket replies are read from (endpoint 1).
    QUdpSocket* replySocket() { return socket1_; }
    // The partner's socket (endpoint 2): its replies are never decoded.
    QUdpSocket* partnerSocket() { return socket2_; }
    // The address the first endpoint's host resolves to (null when it does not, or not yet).
    QHostAddress firstAddress();

    void setLookupRetryMs(int ms) { lookupRetryMs_ = ms; }
    // Each socket reads only its recorder's datagrams from its first send on;
    // this lifts that until the next send.
    void acceptAnySender();

private:
    // A host name's state: looked up in the background, never on the tick.
    struct NameLookup {
        QHostAddress address;  // null until an IPv4 answer came
        bool pending = false;
        QElapsedTimer failed;  // running since the last lookup that found nothing
    };

    QHostAddress resolve(const QString& host);
    void lookedUp(const QString& host, const QHostInfo& info);

    QUdpSocket* socket1_;  // endpoint 1: sends, and the replies we read
    QUdpSocket* socket2_;  // endpoint 2: the partner
    Endpoint first_{QStringLiteral("192.168.1.20")};
    Endpoint second_{QStringLiteral("192.168.1.21")};
    QHash<QString, NameLookup> names_;
    // The sender each socket's kernel filter lets through (null: anyone, until the first send).
    QHostAddress filtered1_, filtered2_;
    int lookupRetryMs_ = kLookupRetryMs;
};

}  // namespace qz7
