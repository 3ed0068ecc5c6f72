#include "app/headless.h"

#include <QCoreApplication>
#include <cstdio>
#include <memory>

#include "deck/deck.h"
#include "log/event_log.h"
#include "net/link_monitor.h"
#include "net/signal_watch.h"
#include "remote/remote_control.h"
#include "remote/web_server.h"

namespace qz7 {

namespace {
void logLine(const QString& line) { std::fprintf(stderr, "qz7cont: %s\n", qPrintable(line)); }
}  // namespace

int runHeadless(const Options& options, int& argc, char** argv) {
    QCoreApplication app(argc, argv);

    SignalWatch termination;
    QObject::connect(&termination, &SignalWatch::terminate, &app, &QCoreApplication::quit);
    if (!termination.watching()) {
        logLine(QStringLiteral("cannot watch for signals"));
        return 1;
    }

    Deck deck(options.devices);
    deck.setName(options.name);
    LogOptions logOptions = options.log;
    if (logOptions.dir.isEmpty()) logOptions.dir = defaultPanelLogDir();
    EventLog eventLog(logOptions);
    eventLog.attach(deck);
    // Without a window the log's trouble is one line each way.
    const auto logState = [&eventLog](bool off, const QString& why) {
        logLine(off ? QStringLiteral("LOG OFF: %1 (control goes on; trying again every minute)").arg(why)
                    : QStringLiteral("log: writing again to %1").arg(eventLog.dir()));
    };
    QObject::connect(&eventLog, &EventLog::offChanged, &app, logState);
    if (eventLog.isOff()) logState(true, eventLog.offReason());
    // The deck leaves out a repeat of the same failure, as the window does.
    QObject::connect(&deck, &Deck::errorRaised, &app, [](const QString& message) { logLine(message); });

    QString error;
    std::unique_ptr<RemoteControl> remote;
    if (options.remote.osc) {
        remote = std::make_unique<RemoteControl>(deck, options.remote);
        if (!remote->start(&error)) {
            logLine(error);
            return 1;
        }
    }
    std::unique_ptr<WebServer> web;
    if (options.web.http) {
        web = std::make_unique<WebServer>(WebServer::configFrom(options.web, options.webToken));
        if (!web->start(&error)) {
            logLine(error);
            return 1;
        }
        web->setDecks({&deck});
        web->followLog(eventLog);
        // Scripts and tests read the port when 0 asked for any free one.
        logLine(QStringLiteral("web remote on http://%1:%2/").arg(web->address().toString()).arg(web->port()));
    }
    QString shown;
    const LinkMonitor& monitor = deck.monitor();
    QObject::connect(&monitor, &LinkMonitor::changed, &app, [&monitor, &shown] {
        // Link changes, not every second of a silence.
        const QString text =
            monitor.state() == LinkMonitor::State::NoReply ? QStringLiteral("NO REPLY") : monitor.text();
        if (text != shown) logLine(QStringLiteral("link: %1").arg(shown = text));
    });

    // As "Apply" on the chosen line of the device list.
    deck.start();
    deck.apply(options.remote.select, Origin::rack());

    const int code = app.exec();
    deck.shutdown();
    logLine(QStringLiteral("stopped"));
    return code;
}

}  // namespace qz7
