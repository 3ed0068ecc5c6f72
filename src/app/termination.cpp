#include "app/termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace qz7 {

namespace {
int signalSockets[2] = {-1, -1};

// A signal handler may only write a byte; the event loop reads it.
void onTerminate(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalSockets[0], &c, 1);
}
}  // namespace

TerminationWatch::TerminationWatch(QObject* parent) : QObject(parent) {
    if (signalSockets[0] >= 0) return;  // one watch per process
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) return;
    notifier_ = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [] {
        char c = 0;
        [[maybe_unused]] const auto n = ::read(signalSockets[1], &c, 1);
        QCoreApplication::quit();
    });
    std::signal(SIGINT, onTerminate);
    std::signal(SIGTERM, onTerminate);
}

TerminationWatch::~TerminationWatch() {
    if (!notifier_) return;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    delete notifier_;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

}  // namespace qz7
