#include "app/options.h"

#include <QtGlobal>

#include <string_view>

#include "deck/deck_name.h"

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
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        QString value;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
            continue;
        }
        if (a == QLatin1String("--version")) {
            o.version = true;
            continue;
        }
        if (takeRemoteOption(arguments, i, o.remote, o.error) || takeWebOption(arguments, i, o.web, o.error)) {
            if (!o.error.isEmpty()) return o;
            continue;
        }
        if (takeLogOption(arguments, i, o.log, o.error)) {
            if (!o.error.isEmpty()) return o;
            continue;
        }
        if (a == QLatin1String("--name") || a.startsWith(QLatin1String("--name="))) {
            if (a == QLatin1String("--name") && i + 1 >= arguments.size()) {
                o.error = QStringLiteral("--name wants a name");
                return o;
            }
            o.name = a == QLatin1String("--name") ? arguments[++i] : a.mid(7);
            if (!validDeckName(o.name)) {
                o.error = QStringLiteral("--name wants %1, not '%2'").arg(QLatin1String(kDeckNameRule), o.name);
                return o;
            }
            continue;
        }
        if (a.startsWith(QLatin1String("--devices="))) {
            value = a.mid(10);
        } else if (a == QLatin1String("--devices") && i + 1 < arguments.size()) {
            value = arguments[++i];
        } else if (const ToolkitOption* option = a.startsWith(QLatin1Char('-')) ? toolkitOption(a) : nullptr) {
            if (option->takesValue && !a.contains(QLatin1Char('=')) && i + 1 < arguments.size()) {
                ++i;
                if (option->name == "platform") o.platform = arguments[i];
            }
            continue;
        } else {
            o.error = QStringLiteral("unknown option: %1").arg(a);
            return o;
        }
        const QStringList hosts = value.split(QLatin1Char(','));
        if (hosts.isEmpty() || hosts.size() > 2 || hosts[0].trimmed().isEmpty() ||
            (hosts.size() == 2 && hosts[1].trimmed().isEmpty())) {
            o.error = QStringLiteral("--devices wants FIRST or FIRST,SECOND");
            return o;
        }
        o.devices.first = hosts[0].trimmed();
        if (hosts.size() == 2) {
            o.devices.second = hosts[1].trimmed();
            o.devices.single = false;
        } else {
            o.devices.second = o.devices.first;
            o.devices.secondId = o.devices.firstId;
            o.devices.single = true;
        }
    }
    o.error = checkRemoteOptions(o.remote);
    if (o.error.isEmpty()) o.error = checkWebOptions(o.web);
    // Without a window a remote front end is the only way in.
    if (o.error.isEmpty() && o.remote.headless && !o.remote.osc && !o.web.http)
        o.error = QStringLiteral("--headless needs --osc PORT or --http PORT");
    if (o.error.isEmpty() && o.web.http) o.error = readWebToken(o.web, o.webToken);
    return o;
}

bool displayConfigured(const Options& options) {
    return !options.platform.isEmpty() || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace qz7
