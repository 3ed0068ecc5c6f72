#include "net/signal_watch.h"

#include <QSocketNotifier>
#include <csignal>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qz7 {

namespace {
int signalSockets[2] = {-1, -1};
volatile std::sig_atomic_t terminatePending = 0;
volatile std::sig_atomic_t reloadPending = 0;

// The handler notes the signal in a flag and wakes the loop with a byte. The
// socket does not block: once the loop is behind and the socket is full, the
// bytes already waiting wake it, and the flag says what came.
void onSignal(int signal) {
    const int savedErrno = errno;
    if (signal == SIGHUP)
        reloadPending = 1;
    else
        terminatePending = 1;
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalSockets[0], &c, 1);
    errno = savedErrno;
}
}  // namespace

SignalWatch::SignalWatch(Reload mode, QObject* parent) : QObject(parent), reload_(mode == Reload::OnSighup) {
    if (signalSockets[0] >= 0) return;  // one watch per process
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0) return;
    terminatePending = 0;
    reloadPending = 0;
    notifier_ = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        // However many signals came, one reload and one end: the flags are
        // read after the bytes are drained, so none is missed.
        char drain[256];
        while (::read(signalSockets[1], drain, sizeof drain) > 0) {
        }
        const bool end = terminatePending != 0;
        const bool again = reloadPending != 0;
        terminatePending = 0;
        reloadPending = 0;
        if (end)
            emit terminate();
        else if (again)
            emit reload();
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
