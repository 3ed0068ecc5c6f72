// qz7cont: remote-control panel for one or two HD video disk recorders.
#include <QTextStream>
#include <cstdio>
#include <exception>

#include "app/application.h"
#include "app/headless.h"
#include "app/options.h"
#include "net/signal_watch.h"
#include "rack/assembly.h"
#include "qz7_version.h"
#include "ui/error_box.h"
#include "ui/forms.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    // Options first: --help, --version and a bad option need no display.
    const qz7::Options options = qz7::parseOptions(qz7::argumentList(argc, argv));
    if (!options.error.isEmpty()) {
        // One line: the whole usage would bury the reason.
        std::fprintf(stderr, "qz7cont: %s (see --help)\n", qPrintable(options.error));
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
        qz7::Assembly assembly(qz7::assemblyConfig(options, true));
        // The window is a view of the deck: it is handed the deck and leaves
        // the network to the assembly.
        qz7::Forms forms(assembly.makeDeck(options.devices, options.name));
        forms.mainWindow()->setEventLog(&assembly.eventLog());
        QString error;
        if (!assembly.start(&error)) {
            assembly.say(error);
            return 1;
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
