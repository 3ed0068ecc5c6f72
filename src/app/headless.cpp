#include "app/headless.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include <sys/socket.h>
#include <unistd.h>

#include "deck/deck.h"
#include "net/link_monitor.h"
#include "remote/remote_control.h"

namespace qz7 {

namespace {
int signalSockets[2] = {-1, -1};

void onTerminate(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalSockets[0], &c, 1);
}

void logLine(const QString& line) { std::fprintf(stderr, "qz7cont: %s\n", qPrintable(line)); }
}  // namespace

int runHeadless(const Options& options, int& argc, char** argv) {
    QCoreApplication app(argc, argv);

    // A signal only writes a byte; the event loop reads it and quits cleanly.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        logLine(QStringLiteral("cannot watch for signals"));
        return 1;
    }
    QSocketNotifier signalWatch(signalSockets[1], QSocketNotifier::Read);
    QObject::connect(&signalWatch, &QSocketNotifier::activated, &app, [] {
        char c = 0;
        [[maybe_unused]] const auto n = ::read(signalSockets[1], &c, 1);
        QCoreApplication::quit();
    });
    std::signal(SIGINT, onTerminate);
    std::signal(SIGTERM, onTerminate);

    Deck deck(options.devices);
    // The deck leaves out a repeat of the same failure, as the window does.
    QObject::connect(&deck, &Deck::errorRaised, &app, [](const QString& message) { logLine(message); });

    RemoteControl remote(deck, options.remote);
    QString error;
    if (!remote.start(&error)) {
        logLine(error);
        return 1;
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
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    logLine(QStringLiteral("stopped"));
    return code;
}

}  // namespace qz7
