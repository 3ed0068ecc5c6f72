#include "rack/rack_service.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "deck/command_line.h"
#include "deck/deck.h"
#include "log/event_log.h"
#include "log/log_reader.h"

namespace qz7 {

RackOptions parseRackOptions(const QStringList& arguments) {
    RackOptions o;
    QStringList seen;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&](const QString& name, QString& v) { return takeOptionValue(arguments, i, name, v, o.error); };
        QString v;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (a == QLatin1String("--check-config")) {
            o.checkConfig = true;
        } else if (a == QLatin1String("--headless") || a.startsWith(QLatin1String("--select"))) {
            // Every deck of the rack runs without a window and names its own line.
            o.error = QStringLiteral("%1 is an option of qz7cont; qz7rack sets the line per deck (NAME=FIRST,SECOND@LINE)")
                          .arg(a);
        } else if (takeRemoteOption(arguments, i, o.remote, o.error) || takeWebOption(arguments, i, o.web, o.error)) {
        } else if (takeLogOption(arguments, i, o.log, o.error)) {
        } else if (a == QLatin1String("--log-export")) {
            if (i + 2 >= arguments.size()) {
                o.error = QStringLiteral("--log-export needs FROM and TO (UTC dates or times, 2026-12-08 or 2026-12-08T10:00)");
            } else {
                o.logExport = true;
                o.exportFrom = arguments[++i];
                o.exportTo = arguments[++i];
            }
        } else if (a == QLatin1String("--csv")) {
            o.csv = true;
        } else if (value(QStringLiteral("--deck"), v)) {
            if (o.error.isEmpty()) {
                DeckConfig deckConfig;
                o.error = parseDeckOption(v, deckConfig);
                o.decks.append(deckConfig);
            }
        } else if (value(QStringLiteral("--config"), v)) {
            if (o.error.isEmpty() && !o.configFile.isEmpty()) o.error = QStringLiteral("--config given twice");
            o.configFile = v;
        } else {
            o.error = QStringLiteral("unknown option: %1").arg(a);
        }
        if (o.error.isEmpty()) o.error = refuseRepeat(a, seen, {QStringLiteral("--deck")});
        if (!o.error.isEmpty()) return o;
    }
    if (o.checkConfig && o.configFile.isEmpty() && o.decks.isEmpty())
        o.error = QStringLiteral("--check-config needs --config FILE or --deck");
    if (o.csv && !o.logExport) o.error = QStringLiteral("--csv goes with --log-export");
    if (o.logExport) {
        if (!parseLogTime(o.exportFrom, false)) o.error = QStringLiteral("--log-export: '%1' is not a UTC date or time").arg(o.exportFrom);
        else if (!parseLogTime(o.exportTo, true)) o.error = QStringLiteral("--log-export: '%1' is not a UTC date or time").arg(o.exportTo);
    }
    return o;
}

QString rackUsageText() {
    return QStringLiteral(
               "Usage: qz7rack [--deck NAME=FIRST[,SECOND][@LINE]]... [--config FILE] [--osc PORT ...]\n"
               "Runs the decks (recorder pairs or single recorders, UDP port 20000) of a machine\n"
               "room on one event loop, without windows, remote-controlled over OSC and the web.\n"
               "\n"
               "  --deck NAME=FIRST[,SECOND][@LINE]\n"
               "                          a deck: NAME 1..32 of A-Z a-z 0-9 _ -, the recorders'\n"
               "                          numeric addresses, LINE 0 or 1 the recorder whose\n"
               "                          replies are read (default 0); repeatable\n"
               "  --config FILE           an INI file of [deck NAME] sections (devices = FIRST[,SECOND],\n"
               "                          select = LINE), [osc] (port, bind, allow, verbose),\n"
               "                          [http] and [log] sections (the options below without\n"
               "                          their prefix); SIGHUP reads the decks again\n"
               "  --check-config          check the configuration and exit: 0 good, 2 refused\n"
               "  --help                  print this text\n"
               "  --version               print the version\n"
               "  --osc PORT              obey OSC commands on UDP 127.0.0.1:PORT, as\n"
               "                          /qz7/deck/NAME/COMMAND (see README, Rack)\n"
               "  --osc-bind ADDRESS      listen on ADDRESS instead of 127.0.0.1; beyond loopback\n"
               "                          it needs --osc-allow\n"
               "  --osc-allow NET/LEN[,NET/LEN...]\n"
               "                          obey only senders inside these networks (default:\n"
               "                          loopback senders)\n"
               "  --verbose               report remote-control traffic and drops on stderr\n") +
           webUsageText() + logUsageText() +
           QStringLiteral(
               "  --log-export FROM TO [--csv]\n"
               "                          print the events from FROM to TO (UTC: 2026-12-08, or\n"
               "                          2026-12-08T10:00:00; a date alone is the whole day) as\n"
               "                          JSON lines, or as CSV, and exit\n"
               "The command line wins over the file's [osc], [http] and [log] sections ([http]\n"
               "keys: port, bind, allow, token-file, host). Without --log-dir\n"
               "the log goes to $LOGS_DIRECTORY (the unit's LogsDirectory=qz7rack), else to\n"
               "$XDG_STATE_HOME/qz7rack/log.\n");
}

QString loadRackSetup(const RackOptions& options, RackSetup& setup) {
    setup = {};
    RackFile file;
    if (!options.configFile.isEmpty()) {
        if (const QString why = readRackFile(options.configFile, file); !why.isEmpty()) return why;
    }
    setup.decks = file.decks + options.decks;
    // An export reads the log alone: it needs no deck.
    if (!options.logExport)
        if (const QString why = checkDecks(setup.decks); !why.isEmpty()) return why;
    setup.fileOsc = file.osc;
    setup.osc = mergeOsc(file.osc, options.remote);
    setup.fileLog = file.log;
    setup.log = mergeLog(file.log, options.log);
    if (const QString why = checkRemoteOptions(setup.osc); !why.isEmpty()) return why;
    setup.fileHttp = file.http;
    setup.http = mergeHttp(file.http, options.web);
    if (const QString why = checkWebOptions(setup.http); !why.isEmpty()) return why;
    if (setup.http.http) {
        if (const QString why = readWebToken(setup.http, setup.webToken); !why.isEmpty()) return why;
    }
    return {};
}

namespace {
AssemblyConfig assemblyConfig(const RackSetup& setup) {
    AssemblyConfig config;
    config.program = QStringLiteral("qz7rack");
    config.osc = setup.osc;
    config.http = setup.http;
    config.webToken = setup.webToken;
    config.log = setup.log;
    return config;
}
}  // namespace

RackService::RackService(RackOptions options, RackSetup setup, LinkTiming timing, Rack::Log log, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      setup_(std::move(setup)),
      assembly_(assemblyConfig(setup_), timing, std::move(log)),
      rack_(assembly_.makeRack()) {}

RackService::~RackService() = default;

bool RackService::start(QString* error) {
    if (!assembly_.start(error)) return false;
    const Rack::Change change = rack_.apply(setup_.decks);
    assembly_.showDecksOnWeb();
    say(QStringLiteral("running %1 deck(s): %2").arg(change.started.size()).arg(change.started.join(QStringLiteral(", "))));
    return true;
}

QString RackService::reload() {
    QString line;
    if (options_.configFile.isEmpty()) {
        line = QStringLiteral("reload: no --config file; the decks stay as they are");
        say(line);
        assembly_.eventLog().record(QString(), Origin::rack(), QStringLiteral("system"), QStringLiteral("reload"),
                          {{QStringLiteral("outcome"), line}});
        return line;
    }
    RackSetup next;
    if (const QString why = loadRackSetup(options_, next); !why.isEmpty()) {
        line = QStringLiteral("reload refused, the running decks stay as they are: %1").arg(why);
        say(line);
        assembly_.eventLog().record(QString(), Origin::rack(), QStringLiteral("system"), QStringLiteral("reload"),
                          {{QStringLiteral("outcome"), line}});
        return line;
    }
    if (!(next.fileOsc == setup_.fileOsc))
        say(QStringLiteral("reload: the [osc] section changed; it takes effect at the next start of qz7rack"));
    if (!(next.fileHttp == setup_.fileHttp))
        say(QStringLiteral("reload: the [http] section changed; it takes effect at the next start of qz7rack"));
    if (!(next.fileLog == setup_.fileLog))
        say(QStringLiteral("reload: the [log] section changed; it takes effect at the next start of qz7rack"));
    const Rack::Change c = rack_.apply(next.decks);
    assembly_.showDecksOnWeb();
    // The OSC endpoint, the web remote and the log keep the options they started with.
    next.fileOsc = setup_.fileOsc;
    next.osc = setup_.osc;
    next.fileHttp = setup_.fileHttp;
    next.http = setup_.http;
    next.webToken = setup_.webToken;
    next.fileLog = setup_.fileLog;
    next.log = setup_.log;
    setup_ = next;
    auto part = [](const char* what, const QStringList& names) {
        return names.isEmpty() ? QString() : QStringLiteral("; %1 %2").arg(QLatin1String(what), names.join(QStringLiteral(", ")));
    };
    line = QStringLiteral("reload: %1 deck(s)").arg(rack_.names().size()) + part("started", c.started) +
           part("stopped", c.stopped) + part("restarted", c.restarted) + part("untouched", c.kept);
    say(line);
    QJsonObject args;
    args.insert(QStringLiteral("started"), QJsonArray::fromStringList(c.started));
    args.insert(QStringLiteral("stopped"), QJsonArray::fromStringList(c.stopped));
    args.insert(QStringLiteral("restarted"), QJsonArray::fromStringList(c.restarted));
    args.insert(QStringLiteral("untouched"), QJsonArray::fromStringList(c.kept));
    assembly_.eventLog().record(QString(), Origin::rack(), QStringLiteral("system"), QStringLiteral("reload"),
                      {{QStringLiteral("args"), args}, {QStringLiteral("outcome"), line}});
    return line;
}

QString exportLog(const RackOptions& options, const RackSetup& setup, QByteArray& out, int* skipped) {
    if (setup.log.dir.isEmpty()) return QStringLiteral("--log-export: no log folder");
    const auto from = parseLogTime(options.exportFrom, false);
    const auto to = parseLogTime(options.exportTo, true);
    if (!from || !to) return QStringLiteral("--log-export: FROM and TO are UTC dates or times");
    const QList<QJsonObject> events = readEvents(setup.log.dir, *from, *to, skipped);
    if (options.csv) {
        out = eventsToCsv(events);
    } else {
        for (const QJsonObject& e : events) out += QJsonDocument(e).toJson(QJsonDocument::Compact) + '\n';
    }
    return {};
}

}  // namespace qz7
