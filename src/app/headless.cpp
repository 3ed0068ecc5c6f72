#include "app/headless.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include <sys/socket.h>
#include <unistd.h>

#include "app/remote_control.h"
#include "media/media_model.h"
#include "net/link_monitor.h"
#include "net/recorder_link.h"
#include "ui/error_box.h"
#include "ui/media_lists.h"

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
    ErrorBox::setReporter(logLine);

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

    RecorderLink link(options.devices);
    MediaModel media;
    connectMediaReplies(link, media, &app);
    QObject::connect(&link, &RecorderLink::tickError, &app, [](const QString& message) { ErrorBox::show(message); });

    LinkMonitor monitor(link);
    RemoteControl remote(link, media, monitor, options.remote, true);
    QString error;
    if (!remote.start(&error)) {
        logLine(error);
        return 1;
    }
    QString shown;
    QObject::connect(&monitor, &LinkMonitor::changed, &app, [&monitor, &shown] {
        // Link changes, not every second of a silence.
        const QString text =
            monitor.state() == LinkMonitor::State::NoReply ? QStringLiteral("NO REPLY") : monitor.text();
        if (text != shown) logLine(QStringLiteral("link: %1").arg(shown = text));
    });

    // As "Apply" on the chosen line of the device list.
    const DevicePair& d = options.devices;
    const bool second = options.remote.select == 1 && !d.single;
    link.pollDriver().start();
    link.apply(second ? d.second : d.first, second ? d.first : d.second);

    const int code = app.exec();
    link.pollDriver().stop();
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    logLine(QStringLiteral("stopped"));
    return code;
}

}  // namespace qz7
