#include "app/options.h"

#include <QRegularExpression>
#include <QtGlobal>

#include <string_view>

#include "deck/deck_name.h"
#include "rack/assembly.h"

namespace qz7 {

namespace {

// Qt's own options, which QApplication reads and removes. They are still in
// argv when the panel reads its options, so they are let through untouched.
struct ToolkitOption {
    std::string_view name;  // without the leading dash
    bool takesValue;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"display", true},  {"geometry", true},           {"qwindowgeometry", true}, {"title", true},
    {"qwindowtitle", true}, {"icon", true},           {"qwindowicon", true},   {"name", true},
    {"visual", true},   {"session", true},            {"style", true},         {"stylesheet", true},
    {"reverse", false}, {"widgetcount", false},       {"nograb", false},       {"dograb", false},
    {"sync", false},
};

const ToolkitOption* toolkitOption(const QString& argument) {
    // Qt takes "-style" and "--style" alike.
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    if (equals >= 0) {
        // Only -style=NAME and -stylesheet=FILE have an inline form.
        name.truncate(equals);
        if (name != QLatin1String("style") && name != QLatin1String("stylesheet")) return nullptr;
    }
    const QByteArray key = name.toLatin1();
    for (const ToolkitOption& option : kToolkitOptions)
        if (option.name == std::string_view(key.constData(), static_cast<std::size_t>(key.size()))) return &option;
    return nullptr;
}

}  // namespace

QString usageText() {
    return QStringLiteral(
        "Usage: qz7cont [--devices FIRST[,SECOND]] [--osc PORT ...] [--http PORT ...] [--help] [--version]\n"
        "Remote-control panel for one or two HD video disk recorders (UDP port 20000).\n"
        "\n"
        "  --devices FIRST,SECOND  recorder hosts in place of 192.168.1.20 and 192.168.1.21;\n"
        "                          a single host means that recorder alone\n"
        "  --name NAME             the deck's name on the web page and in the event log\n"
        "                          (1..32 of A-Z a-z 0-9 _ -; default deck)\n"
        "  --help                  print this text\n"
        "  --version               print the version\n") + remoteUsageText() + webUsageText() + logUsageText() +
           QStringLiteral("The event log goes to $XDG_STATE_HOME/qz7cont/log (~/.local/state/qz7cont/log)\n"
                          "unless --log-dir names another folder.\n");
}

QStringList argumentList(int argc, char** argv) {
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

Options parseOptions(const QStringList& arguments) {
    Options o;
    QStringList seen;
    for (int i = 1; i < arguments.size() && o.error.isEmpty(); ++i) {
        const QString& a = arguments[i];
        QString value;
        bool ours = true;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (takeRemoteOption(arguments, i, o.remote, o.error) || takeWebOption(arguments, i, o.web, o.error) ||
                   takeLogOption(arguments, i, o.log, o.error)) {
        } else if (takeOptionValue(arguments, i, QStringLiteral("--name"), value, o.error)) {
            if (o.error.isEmpty() && !validDeckName(value))
                o.error = QStringLiteral("--name wants %1, not '%2'").arg(QLatin1String(kDeckNameRule), value);
            o.name = value;
        } else if (takeOptionValue(arguments, i, QStringLiteral("--devices"), value, o.error)) {
            if (o.error.isEmpty()) o.error = parseDeviceHosts(value, o.devices);
        } else if (const ToolkitOption* option = a.startsWith(QLatin1Char('-')) ? toolkitOption(a) : nullptr) {
            ours = false;
            if (option->takesValue && !a.contains(QLatin1Char('=')) && i + 1 < arguments.size()) {
                ++i;
                if (option->name == "platform") o.platform = arguments[i];
            }
        } else {
            o.error = QStringLiteral("unknown option: %1").arg(a);
        }
        if (ours && o.error.isEmpty()) o.error = refuseRepeat(a, seen);
    }
    if (!o.error.isEmpty()) return o;
    o.error = checkRemoteOptions(o.remote);
    if (o.error.isEmpty()) o.error = checkWebOptions(o.web);
    // Line 1 is the second recorder: with one there is nothing to read.
    if (o.error.isEmpty() && o.remote.select == 1 && o.devices.single)
        o.error = QStringLiteral("--select 1 needs a second recorder (--devices FIRST,SECOND)");
    // Without a window a remote front end is the only way in.
    if (o.error.isEmpty() && o.remote.headless && !o.remote.osc && !o.web.http)
        o.error = QStringLiteral("--headless needs --osc PORT or --http PORT");
    if (o.error.isEmpty() && o.web.http) o.error = readWebToken(o.web, o.webToken);
    return o;
}

QString parseDeviceHosts(const QString& text, DevicePair& devices) {
    const QStringList hosts = text.split(QLatin1Char(','));
    if (hosts.size() > 2) return QStringLiteral("--devices wants FIRST or FIRST,SECOND, not '%1'").arg(text);
    for (const QString& raw : hosts) {
        const QString host = raw.trimmed();
        if (host.isEmpty()) return QStringLiteral("--devices wants FIRST or FIRST,SECOND, not '%1'").arg(text);
        if (const QString why = checkRecorderHost(host); !why.isEmpty()) return QStringLiteral("--devices: %1").arg(why);
    }
    devices.first = hosts[0].trimmed();
    if (hosts.size() == 2) {
        devices.second = hosts[1].trimmed();
        devices.single = false;
    } else {
        devices.second = devices.first;
        devices.secondId = devices.firstId;
        devices.single = true;
    }
    return {};
}

QString checkRecorderHost(const QString& host) {
    QHostAddress address;
    if (address.setAddress(host)) {
        // Datagrams to "this network", a group or the broadcast block reach no one recorder, or many.
        if (!isUnicastIpv4(address)) return QStringLiteral("'%1' is not one recorder's address (unicast IPv4)").arg(host);
        return {};
    }
    static const QRegularExpression digitsAndDots(QStringLiteral("^[0-9.]+$"));
    if (digitsAndDots.match(host).hasMatch()) return QStringLiteral("'%1' is not an IPv4 address").arg(host);
    // A host name: dot-separated labels of letters, digits and inner hyphens.
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    const QStringList labels = host.endsWith(QLatin1Char('.')) ? host.chopped(1).split(QLatin1Char('.'))
                                                                 : host.split(QLatin1Char('.'));
    bool name = host.size() <= 253;
    for (const QString& l : labels) name = name && label.match(l).hasMatch();
    if (!name) return QStringLiteral("'%1' is neither an IPv4 address nor a host name").arg(host);
    return {};
}

AssemblyConfig assemblyConfig(const Options& options, bool window) {
    AssemblyConfig config;
    config.program = QStringLiteral("qz7cont");
    config.window = window;
    config.osc = options.remote;
    config.http = options.web;
    config.webToken = options.webToken;
    config.log = options.log;
    if (config.log.dir.isEmpty()) config.log.dir = defaultPanelLogDir();
    return config;
}

bool displayConfigured(const Options& options) {
    return !options.platform.isEmpty() || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace qz7
