// Command-line options. Without options the panel talks to the built-in
// recorder pair 192.168.1.20 and 192.168.1.21.
#pragma once

#include <QString>
#include <QStringList>

#include "log/log_options.h"
#include "remote/remote_options.h"
#include "remote/web_options.h"
#include "net/device_pair.h"

namespace qz7 {

struct AssemblyConfig;

struct Options {
    DevicePair devices;
    QString name = QStringLiteral("deck");  // --name: the deck's name on the web page and in the log
    RemoteOptions remote;  // --osc..., --headless, --select, --verbose
    WebOptions web;        // --http...
    QString webToken;      // read from --http-token-file
    LogOptions log;        // --log-dir, --log-keep-days, --no-log
    bool help = false;
    bool version = false;
    QString platform;  // Qt's -platform option, if given
    QString error;     // non-empty: the command line was not understood
};

// The arguments as QApplication would see them, read before it exists so that
// --help and --version never need a display.
QStringList argumentList(int argc, char** argv);
Options parseOptions(const QStringList& arguments);
// --devices FIRST[,SECOND]: each a unicast IPv4 address or a host name (looked
// up when the link starts). "" or the refusal.
QString parseDeviceHosts(const QString& text, DevicePair& devices);
QString checkRecorderHost(const QString& host);
QString usageText();
// What both builds of qz7cont assemble from the command line.
AssemblyConfig assemblyConfig(const Options& options, bool window);
// Whether the toolkit has a display to open. Qt aborts the process when it has
// none; the panel checks first so that it can say so and exit cleanly.
bool displayConfigured(const Options& options);

}  // namespace qz7
