#include "remote/remote_options.h"

namespace qz7 {

bool isLoopback(const QHostAddress& a) {
    bool v4 = false;
    const quint32 ip = a.toIPv4Address(&v4);
    return v4 ? (ip >> 24) == 127 : a.isLoopback();
}

bool parseNumericAddress(const QString& text, QHostAddress& address) {
    // Literal addresses only: a host name would be looked up on the network.
    return !text.isEmpty() && address.setAddress(text);
}

QString parseNetworks(const QString& option, const QString& text, QList<OscNetwork>& networks) {
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString& raw : parts) {
        const QString part = raw.trimmed();
        const qsizetype slash = part.indexOf(QLatin1Char('/'));
        QHostAddress address;
        if (slash < 0 || !parseNumericAddress(part.left(slash), address))
            return QStringLiteral("%1 wants NET/LEN[,NET/LEN...], e.g. 192.168.5.0/24; '%2' is not one").arg(option, part);
        const int longest = address.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128;
        bool ok = false;
        const QString lengthText = part.mid(slash + 1);
        const int length = lengthText.toInt(&ok, 10);
        if (!ok || lengthText.startsWith(QLatin1Char('+')) || length < 0 || length > longest)
            return QStringLiteral("%1: in '%2' the prefix length must be 0..%3").arg(option, part).arg(longest);
        networks.append({address, length});
    }
    return {};
}

QList<OscNetwork> RemoteOptions::obeyedNetworks() const {
    if (!allow.isEmpty()) return allow;
    return {{QHostAddress(QStringLiteral("127.0.0.0")), 8}, {QHostAddress(QHostAddress::LocalHostIPv6), 128}};
}

bool takeRemoteOption(const QStringList& arguments, int& i, RemoteOptions& o, QString& error) {
    const QString& a = arguments[i];
    QString value;
    if (a == QLatin1String("--headless")) {
        o.headless = true;
        return true;
    }
    if (a == QLatin1String("--verbose")) {
        o.verbose = true;
        return true;
    }
    if (takeOptionValue(arguments, i, QStringLiteral("--osc"), value, error)) {
        if (!error.isEmpty()) return true;
        bool ok = false;
        const uint port = value.toUInt(&ok, 10);
        if (!ok || value.startsWith(QLatin1Char('+')) || port > 65535)
            error = QStringLiteral("--osc wants a UDP port 1..65535 (0: any free port), not '%1'").arg(value);
        o.osc = true;
        o.port = static_cast<quint16>(port);
        return true;
    }
    if (takeOptionValue(arguments, i, QStringLiteral("--osc-bind"), value, error)) {
        if (!error.isEmpty()) return true;
        if (!parseNumericAddress(value, o.bind))
            error = QStringLiteral("--osc-bind wants a numeric IP address, not '%1'").arg(value);
        o.bindGiven = true;
        return true;
    }
    if (takeOptionValue(arguments, i, QStringLiteral("--osc-allow"), value, error)) {
        if (!error.isEmpty()) return true;
        error = parseNetworks(QStringLiteral("--osc-allow"), value, o.allow);
        return true;
    }
    if (takeOptionValue(arguments, i, QStringLiteral("--select"), value, error)) {
        if (!error.isEmpty()) return true;
        o.selectGiven = true;
        if (value == QLatin1String("0") || value == QLatin1String("1"))
            o.select = value.toInt();
        else
            error = QStringLiteral("--select wants 0 or 1 (the recorder line), not '%1'").arg(value);
        return true;
    }
    return false;
}

QString checkRemoteOptions(const RemoteOptions& o) {
    if (!o.osc && o.bindGiven) return QStringLiteral("--osc-bind needs --osc PORT");
    if (!o.osc && !o.allow.isEmpty()) return QStringLiteral("--osc-allow needs --osc PORT");
    // The window reads the line chosen on its Device page; a --select it
    // ignored would leave the operator believing the other recorder is read.
    if (o.selectGiven && !o.headless)
        return QStringLiteral("--select works with --headless only; in the window, choose the line on the "
                              "Device page and press Apply");
    // Listening beyond this machine without saying who may steer the
    // recorders would hand them to anyone on that network.
    if (o.osc && !isLoopback(o.bind) && o.allow.isEmpty())
        return QStringLiteral("--osc-bind %1 listens beyond this machine: give --osc-allow NET/LEN[,NET/LEN...] "
                              "with the senders that may control the recorders")
            .arg(o.bind.toString());
    return {};
}

QString remoteUsageText() {
    return QStringLiteral(
        "  --osc PORT              obey OSC commands on UDP 127.0.0.1:PORT and send status\n"
        "                          to subscribers (see docs/remote-control.md)\n"
        "  --osc-bind ADDRESS      listen on ADDRESS instead of 127.0.0.1; beyond loopback\n"
        "                          it needs --osc-allow\n"
        "  --osc-allow NET/LEN[,NET/LEN...]\n"
        "                          obey only senders inside these networks; others are\n"
        "                          dropped and counted (default: loopback senders)\n"
        "  --headless              run without windows\n"
        "  --select 0|1            with --headless, the recorder line whose replies are read\n"
        "                          (default 0)\n"
        "  --verbose               report remote-control traffic and drops on stderr\n");
}

QString networksText(const QList<OscNetwork>& networks) {
    QStringList parts;
    for (const OscNetwork& n : networks) parts << QStringLiteral("%1/%2").arg(n.first.toString()).arg(n.second);
    return parts.join(QStringLiteral(", "));
}

bool insideNetworks(const QHostAddress& sender, const QList<OscNetwork>& networks) {
    bool v4 = false;
    const quint32 ip = sender.toIPv4Address(&v4);
    const QHostAddress address = v4 ? QHostAddress(ip) : sender;
    for (const OscNetwork& n : networks)
        if (address.isInSubnet(n)) return true;
    return false;
}

}  // namespace qz7
