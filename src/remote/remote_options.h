// Command-line options for remote control and unattended running: --osc,
// --osc-bind, --osc-allow, --headless, --select, --verbose. Read here so that
// the panel's own option parser needs only a hook.
#pragma once

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "deck/command_line.h"

namespace qz7 {

using OscNetwork = QPair<QHostAddress, int>;  // address, prefix length

struct RemoteOptions {
    bool osc = false;  // --osc given: remote control on
    quint16 port = 0;  // 0: any free port
    QHostAddress bind = QHostAddress(QHostAddress::LocalHost);
    bool bindGiven = false;
    QList<OscNetwork> allow;  // as given; see obeyedNetworks()
    bool headless = false;
    int select = 0;  // recorder line whose status is shown: 0 or 1
    bool selectGiven = false;
    bool verbose = false;

    // Senders whose commands are obeyed: the --osc-allow list, or without one
    // every loopback sender (a loopback bind hears no one else).
    QList<OscNetwork> obeyedNetworks() const;
};

// Takes arguments[i] (and its value, advancing i) when it is one of the
// options above and returns true; a bad value sets error. Returns false for
// any other argument.
bool takeRemoteOption(const QStringList& arguments, int& i, RemoteOptions& options, QString& error);

// Checks what only the whole command line shows. Returns "" or the error.
QString checkRemoteOptions(const RemoteOptions& options);

// The options' lines for the usage text.
QString remoteUsageText();

// Helpers the web options share.
bool isLoopback(const QHostAddress& address);
// Literal addresses only: a host name would be looked up on the network.
bool parseNumericAddress(const QString& text, QHostAddress& address);
// "NET/LEN[,NET/LEN...]" for option; "" or the error.
QString parseNetworks(const QString& option, const QString& text, QList<OscNetwork>& networks);

// "127.0.0.0/8, ::1/128"
QString networksText(const QList<OscNetwork>& networks);

// Whether sender lies inside one of the networks; an IPv4 sender seen
// through an IPv6 socket counts as its IPv4 address.
bool insideNetworks(const QHostAddress& sender, const QList<OscNetwork>& networks);

}  // namespace qz7
