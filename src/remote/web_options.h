// Command-line options of the web remote: --http, --http-bind, --http-allow,
// --http-token-file, --http-host. Read here so that each program's option
// parser needs only a hook, as for the OSC options.
#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

#include "remote/remote_options.h"

namespace qz7 {

struct WebOptions {
    bool http = false;  // --http given: the web remote on
    quint16 port = 0;   // 0: any free port
    QHostAddress bind = QHostAddress(QHostAddress::LocalHost);
    bool bindGiven = false;
    QList<OscNetwork> allow;  // as given; see servedNetworks()
    QString tokenFile;        // --http-token-file
    QStringList hosts;        // --http-host: names the page may be reached by

    // Clients that are answered at all: the --http-allow list, or without one
    // every loopback client.
    QList<OscNetwork> servedNetworks() const;
    bool operator==(const WebOptions&) const = default;
};

// A token shorter than this is refused: it would be guessed.
constexpr int kMinTokenLength = 16;

// Takes arguments[i] (and its value, advancing i) when it is one of the
// options above and returns true; a bad value sets error.
bool takeWebOption(const QStringList& arguments, int& i, WebOptions& options, QString& error);

// What only the whole command line shows. "" or the error.
QString checkWebOptions(const WebOptions& options);

// Reads the token of options.tokenFile (its first line, blanks around it
// dropped). "" or why it cannot be used (also when group or others may read
// the file). No file: token stays empty.
QString readWebToken(const WebOptions& options, QString& token);

QString webUsageText();

}  // namespace qz7
