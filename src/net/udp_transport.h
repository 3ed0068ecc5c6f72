// The two device endpoints: UDP sockets owned for the whole run, each with a
// remote host text, port and broadcast switch. Replies are read from the
// first endpoint's socket only.
#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUdpSocket>

#include "link/transport.h"

namespace qz7 {

struct Endpoint {
    QString host;
    quint16 port = 20000;
    bool broadcast = false;
};

class UdpTransport : public QObject, public Transport {
    Q_OBJECT
public:
    explicit UdpTransport(QObject* parent = nullptr);

    void send(int endpoint, std::span<const std::uint8_t> datagram) override;

    Endpoint& endpoint(int i) { return i == 1 ? first_ : second_; }
    const Endpoint& endpoint(int i) const { return i == 1 ? first_ : second_; }

    // The socket replies are read from (IdUDPClient1).
    QUdpSocket* replySocket() { return socket1_; }
    // The address the first endpoint's host resolves to (null when it does not).
    QHostAddress firstAddress();

private:
    QHostAddress resolve(const QString& host);

    QUdpSocket* socket1_;  // IdUDPClient1
    QUdpSocket* socket2_;  // IdUDPClient2
    Endpoint first_{QStringLiteral("192.168.1.20")};
    Endpoint second_{QStringLiteral("192.168.1.21")};
    QHash<QString, QHostAddress> resolved_;
};

}  // namespace qz7
