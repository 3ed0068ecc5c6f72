// qz7cont: remote-control panel for one or two HD video disk recorders.
#include <QTextStream>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/application.h"
#include "app/headless.h"
#include "app/options.h"
#include "log/event_log.h"
#include "net/signal_watch.h"
#include "remote/remote_control.h"
#include "remote/web_server.h"
#include "qz7_version.h"
#include "ui/error_box.h"
#include "ui/forms.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    // Options first: --help, --version and a bad option need no display.
    const qz7::Options options = qz7::parseOptions(qz7::argumentList(argc, argv));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "qz7cont: %s\n%s", qPrintable(options.error), qPrintable(qz7::usageText()));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(qz7::usageText()), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("qz7cont " QZ7_VERSION);
        return 0;
    }
    if (options.remote.headless) return qz7::runHeadless(options, argc, argv);
    if (!qz7::displayConfigured(options)) {
        std::fputs("qz7cont: no display to open the panel on (DISPLAY and WAYLAND_DISPLAY are not set)\n", stderr);
        return 1;
    }
    qz7::Application app(argc, argv);
    // SIGINT and SIGTERM close the panel as closing its window does.
    qz7::SignalWatch termination;
    QObject::connect(&termination, &qz7::SignalWatch::terminate, &app, &QCoreApplication::quit);
    try {
        qz7::Forms forms(options.devices);
        forms.deck().setName(options.name);
        qz7::LogOptions logOptions = options.log;
        if (logOptions.dir.isEmpty()) logOptions.dir = qz7::defaultPanelLogDir();
        qz7::EventLog eventLog(logOptions);
        eventLog.attach(forms.deck());
        forms.mainWindow()->setEventLog(&eventLog);
        std::unique_ptr<qz7::RemoteControl> remote;
        if (options.remote.osc) {
            remote = std::make_unique<qz7::RemoteControl>(forms.deck(), options.remote);
            QString error;
            if (!remote->start(&error)) {
                std::fprintf(stderr, "qz7cont: %s\n", qPrintable(error));
                return 1;
            }
        }
        std::unique_ptr<qz7::WebServer> web;
        if (options.web.http) {
            web = std::make_unique<qz7::WebServer>(qz7::WebServer::configFrom(options.web, options.webToken));
            QString error;
            if (!web->start(&error)) {
                std::fprintf(stderr, "qz7cont: %s\n", qPrintable(error));
                return 1;
            }
            web->setDecks({&forms.deck()});
            web->followLog(eventLog);
            std::fprintf(stderr, "qz7cont: web remote on http://%s:%u/\n", qPrintable(web->address().toString()),
                         static_cast<unsigned>(web->port()));
        }
        forms.mainWindow()->show();
        app.exec();
    } catch (const std::exception& e) {
        // The panel cannot run without its windows: say why, where a script sees it too.
        std::fprintf(stderr, "qz7cont: %s\n", e.what());
        qz7::ErrorBox::show(QString::fromUtf8(e.what()));
        app.exec();
        return 1;
    }
    return 0;
}
