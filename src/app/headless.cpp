#include "app/headless.h"

#include <QCoreApplication>

#include "deck/deck.h"
#include "net/signal_watch.h"
#include "rack/assembly.h"

namespace qz7 {

int runHeadless(const Options& options, int& argc, char** argv) {
    QCoreApplication app(argc, argv);
    Assembly assembly(assemblyConfig(options, false));

    SignalWatch termination;
    QObject::connect(&termination, &SignalWatch::terminate, &app, &QCoreApplication::quit);
    if (!termination.watching()) {
        assembly.say(QStringLiteral("cannot watch for signals"));
        return 1;
    }

    Deck& deck = assembly.makeDeck(options.devices, options.name);
    QString error;
    if (!assembly.start(&error)) {
        assembly.say(error);
        return 1;
    }
    // As "Apply" on the chosen line of the device list, asked by the program's own start.
    deck.apply(options.remote.select, Origin::start());

    const int code = app.exec();
    assembly.shutdown();
    assembly.say(QStringLiteral("stopped"));
    return code;
}

}  // namespace qz7
