#include "net/signal_watch.h"

#include <QSocketNotifier>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace qz7 {

namespace {
int signalSockets[2] = {-1, -1};

// A signal handler may only write a byte; the event loop reads it.
void onSignal(int signal) {
    const char c = static_cast<char>(signal);
    [[maybe_unused]] const auto n = ::write(signalSockets[0], &c, 1);
}
}  // namespace

SignalWatch::SignalWatch(Reload mode, QObject* parent) : QObject(parent), reload_(mode == Reload::OnSighup) {
    if (signalSockets[0] >= 0) return;  // one watch per process
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) return;
    notifier_ = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char c = 0;
        if (::read(signalSockets[1], &c, 1) != 1) return;
        if (c == SIGHUP)
            emit reload();
        else
            emit terminate();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGINT, SIGTERM}) ::sigaction(s, &action, nullptr);
    if (reload_) ::sigaction(SIGHUP, &action, nullptr);
}

SignalWatch::~SignalWatch() {
    if (!notifier_) return;
    for (int s : {SIGINT, SIGTERM}) std::signal(s, SIG_DFL);
    if (reload_) std::signal(SIGHUP, SIG_DFL);
    delete notifier_;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

}  // namespace qz7
