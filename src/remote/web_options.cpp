#include "remote/web_options.h"

#include <QFile>

namespace qz7 {

QList<OscNetwork> WebOptions::servedNetworks() const {
    if (!allow.isEmpty()) return allow;
    return {{QHostAddress(QStringLiteral("127.0.0.0")), 8}, {QHostAddress(QHostAddress::LocalHostIPv6), 128}};
}

namespace {
// A name as a browser writes it in Host: letters, digits, dots and dashes.
bool validHostName(const QString& name) {
    if (name.isEmpty() || name.size() > 253) return false;
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('.') && c != QLatin1Char('-')) return false;
    return true;
}
}  // namespace

bool takeWebOption(const QStringList& arguments, int& i, WebOptions& o, QString& error) {
    QString value;
    if (takeOptionValue(arguments, i, QStringLiteral("--http"), value, error)) {
        if (!error.isEmpty()) return true;
        bool ok = false;
        const uint port = value.toUInt(&ok, 10);
        if (!ok || value.startsWith(QLatin1Char('+')) || port > 65535)
            error = QStringLiteral("--http wants a TCP port 1..65535 (0: any free port), not '%1'").arg(value);
        o.http = true;
        o.port = static_cast<quint16>(port);
        return true;
    }
    if (takeOptionValue(arguments, i, QStringLiteral("--http-bind"), value, error)) {
        if (!error.isEmpty()) return true;
        if (!parseNumericAddress(value, o.bind))
            error = QStringLiteral("--http-bind wants a numeric IP address, not '%1'").arg(value);
        o.bindGiven = true;
        return true;
    }
    if (takeOptionValue(arguments, i, QStringLiteral("--http-allow"), value, error)) {
        if (!error.isEmpty()) return true;
        error = parseNetworks(QStringLiteral("--http-allow"), value, o.allow);
        return true;
    }
    if (takeOptionValue(arguments, i, QStringLiteral("--http-token-file"), value, error)) {
        if (!error.isEmpty()) return true;
        if (value.isEmpty()) error = QStringLiteral("--http-token-file needs a file name");
        o.tokenFile = value;
        return true;
    }
    if (takeOptionValue(arguments, i, QStringLiteral("--http-host"), value, error)) {
        if (!error.isEmpty()) return true;
        for (const QString& name : value.split(QLatin1Char(','))) {
            if (!validHostName(name.trimmed())) {
                error = QStringLiteral("--http-host wants host names (letters, digits, '.', '-'), not '%1'").arg(name);
                return true;
            }
            o.hosts << name.trimmed().toLower();
        }
        return true;
    }
    return false;
}

QString checkWebOptions(const WebOptions& o) {
    if (!o.http && (o.bindGiven || !o.allow.isEmpty() || !o.tokenFile.isEmpty() || !o.hosts.isEmpty()))
        return QStringLiteral("--http-bind, --http-allow, --http-token-file and --http-host need --http PORT");
    // Beyond this machine a page that steers the recorders needs both: who
    // may reach it, and a secret they must know.
    if (o.http && !isLoopback(o.bind) && (o.allow.isEmpty() || o.tokenFile.isEmpty()))
        return QStringLiteral("--http-bind %1 listens beyond this machine: give --http-allow NET/LEN[,NET/LEN...] "
                              "with the clients that may use the page, and --http-token-file FILE with its token")
            .arg(o.bind.toString());
    return {};
}

QString readWebToken(const WebOptions& o, QString& token) {
    token.clear();
    if (o.tokenFile.isEmpty()) return {};
    QFile file(o.tokenFile);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("--http-token-file %1: %2").arg(o.tokenFile, file.errorString());
    const QByteArray first = file.readLine(4096).trimmed();
    for (const char c : first)
        if (static_cast<unsigned char>(c) < 0x21 || static_cast<unsigned char>(c) > 0x7E)
            return QStringLiteral("--http-token-file %1: the token must be printable ASCII without blanks").arg(o.tokenFile);
    if (first.size() < kMinTokenLength)
        return QStringLiteral("--http-token-file %1: the token must be at least %2 characters")
            .arg(o.tokenFile)
            .arg(kMinTokenLength);
    // A secret everyone on this machine can read (or replace) is no secret:
    // the fix is one command, so say it. The group may read it: a service's
    // group, or the access systemd grants a credential, shows there.
    const QFileDevice::Permissions mode = file.permissions();
    const bool readable = mode & QFileDevice::ReadOther;
    if (readable || (mode & QFileDevice::WriteOther))
        return QStringLiteral("token file %1 is %2 by others; chmod o-rw %1")
            .arg(o.tokenFile, readable ? QStringLiteral("readable") : QStringLiteral("writable"));
    token = QString::fromLatin1(first);
    return {};
}

QString webUsageText() {
    return QStringLiteral(
        "  --http PORT             serve the web remote (page, JSON API, WebSocket /ws) on\n"
        "                          TCP 127.0.0.1:PORT (see docs/web.md)\n"
        "  --http-bind ADDRESS     listen on ADDRESS instead of 127.0.0.1; beyond loopback\n"
        "                          it needs --http-allow and --http-token-file\n"
        "  --http-allow NET/LEN[,NET/LEN...]\n"
        "                          answer only clients inside these networks (default:\n"
        "                          loopback clients)\n"
        "  --http-token-file FILE  a secret of at least 16 characters the page and API\n"
        "                          clients must give (sent in clear: no TLS); the file\n"
        "                          readable by its owner only (chmod 600)\n"
        "  --http-host NAME[,NAME...]\n"
        "                          host names the page may be reached by, besides the\n"
        "                          bound address\n");
}

}  // namespace qz7
