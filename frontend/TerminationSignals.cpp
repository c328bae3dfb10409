#include "frontend/TerminationSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

#include "platform/Errors.h"

namespace quillorn {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// The self-pipe: the handler writes a byte to the first end, the event loop reads the second.
int g_fds[2] = {-1, -1};
bool g_caughtForProcess = false;

extern "C" void OnTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_fds[0], &byte, 1);
    errno = saved;
}

extern "C" void OnFileSizeSignal(int) {}

// False when the self-pipe cannot be made; the signals keep their default action then.
bool Catch() {
    if (g_fds[0] >= 0)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_fds) != 0) {
        g_fds[0] = g_fds[1] = -1;
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t caught;
    sigemptyset(&caught);
    for (const int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
        sigaddset(&caught, signal);
    }
    // A blocked signal stays blocked across exec: a program started with these blocked would
    // never see a stop. One that came before this moment is handled now.
    ::pthread_sigmask(SIG_UNBLOCK, &caught, nullptr);
    return true;
}

void Release() {
    for (const int signal : kSignals)
        ::signal(signal, SIG_DFL);
    ::close(g_fds[0]);
    ::close(g_fds[1]);
    g_fds[0] = g_fds[1] = -1;
}

}  // namespace

void SurviveFileSizeLimit() {
    // Caught by a handler that does nothing rather than ignored: the write still fails with EFBIG,
    // and a program this one starts (the desktop opening a workbook) gets the default action back
    // on exec instead of inheriting an ignored signal.
    struct sigaction action = {};
    action.sa_handler = OnFileSizeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGXFSZ, &action, nullptr);
}

void CatchTerminationSignals() {
    // Should it fail, the TerminationSignals object tries again and says so.
    g_caughtForProcess = Catch();
}

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)), caughtHere_(g_fds[0] < 0) {
    if (!Catch())
        throw Failure(QStringLiteral("Cannot watch for termination signals"));
    // Bytes written before this moment are read on the event loop's first turn.
    auto* notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationSignals::Drain);
    watcher_ = notifier;
}

TerminationSignals::~TerminationSignals() {
    static_cast<QSocketNotifier*>(watcher_)->setEnabled(false);  // before its descriptor may close
    if (caughtHere_ && !g_caughtForProcess)
        Release();
}

void TerminationSignals::Drain() {
    char bytes[16];
    ssize_t count = 0;
    while ((count = ::read(g_fds[1], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            if (onSignal_)
                onSignal_();
        }
    }
}

}  // namespace quillorn
