#include "frontend/TerminationSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

#include "platform/Errors.h"

namespace quillorn {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int g_writeFd = -1;  // the handler may touch nothing but this

extern "C" void OnTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_writeFd, &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0)
        throw Failure(QStringLiteral("Cannot watch for termination signals"));
    g_writeFd = fds_[0];
    notifier_ = new QSocketNotifier(fds_[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::Drain);

    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    for (const int signal : kSignals)
        ::signal(signal, SIG_DFL);
    g_writeFd = -1;
    ::close(fds_[0]);
    ::close(fds_[1]);
}

void TerminationSignals::Drain() {
    char bytes[16];
    ssize_t count = 0;
    while ((count = ::read(fds_[1], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            if (onSignal_)
                onSignal_();
        }
    }
}

}  // namespace quillorn
