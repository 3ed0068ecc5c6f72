// The recorder pair the panel knows: the built-in one, or the hosts given
// with --devices. Line 0 of the device list is the first, line 1 the second.
#pragma once

#include <QHostAddress>
#include <QString>

namespace qz7 {

struct DevicePair {
    QString first = QStringLiteral("192.168.1.20");
    QString firstId = QStringLiteral("QA51200040");
    QString second = QStringLiteral("192.168.1.21");
    QString secondId = QStringLiteral("QA51200041");
    bool single = false;  // one recorder only: nothing goes to a second endpoint
};

// The ID code the panel knows for a recorder's address: those of the
// built-in pair; another address's code is not known until a recorder says
// it, so "".
inline QString knownIdCode(const QString& address) {
    const DevicePair builtIn;
    if (address == builtIn.first) return builtIn.firstId;
    if (address == builtIn.second) return builtIn.secondId;
    return {};
}

// A recorder is one host: not "this network" (0.0.0.0/8), not a multicast
// group, not the reserved block that holds the broadcast address.
inline bool isUnicastIpv4(const QHostAddress& a) {
    if (a.protocol() != QAbstractSocket::IPv4Protocol) return false;
    const quint32 v = a.toIPv4Address();
    const quint32 top = v >> 24;
    return top != 0 && top < 224;
}

}  // namespace qz7
