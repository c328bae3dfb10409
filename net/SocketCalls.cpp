#include "net/SocketCalls.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/Errors.h"
#include "platform/SystemError.h"

namespace quillorn {
namespace {

int Fd(SocketHandle socket) {
    return static_cast<int>(socket);
}

addrinfo StreamHints(int extraFlags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | extraFlags;
    return hints;
}

}  // namespace

int LastSocketError() {
    return errno;
}

bool IsWouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

bool IsInterrupted(int error) {
    return error == EINTR;
}

QString SocketErrorText(int error) {
    return SystemErrorText(error);
}

bool PollSocket(SocketHandle socket, bool forWriting, int timeoutMs) {
    pollfd entry{Fd(socket), static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    const int rc = poll(&entry, 1, timeoutMs);
    if (rc < 0 && errno != EINTR)
        throw Failure(QStringLiteral("poll: ") + SystemErrorText(errno));
    return rc > 0;
}

bool ShowsIncoming(SocketHandle socket) {
    pollfd entry{Fd(socket), POLLIN, 0};
    return poll(&entry, 1, 0) != 0;
}

std::int64_t SendSome(SocketHandle socket, const char* data, std::int64_t size) {
    return send(Fd(socket), data, static_cast<size_t>(size), MSG_NOSIGNAL);
}

std::int64_t ReceiveSome(SocketHandle socket, char* data, std::int64_t size) {
    return recv(Fd(socket), data, static_cast<size_t>(size), 0);
}

void CloseSocket(SocketHandle socket) noexcept {
    if (socket >= 0)
        ::close(Fd(socket));
}

SocketHandle StartConnect(const addrinfo& address, bool& pending, int& error) {
    pending = false;
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                            address.ai_protocol);
    if (fd < 0) {
        error = errno;
        return kNoSocket;
    }
    if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
        if (errno != EINPROGRESS) {
            error = errno;
            ::close(fd);
            return kNoSocket;
        }
        pending = true;
    }
    return fd;
}

int ConnectError(SocketHandle socket) {
    int error = 0;
    socklen_t length = sizeof error;
    getsockopt(Fd(socket), SOL_SOCKET, SO_ERROR, &error, &length);
    return error;
}

void SendWithoutDelay(SocketHandle socket) {
    const int one = 1;
    setsockopt(Fd(socket), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

int LookUpNumeric(const QByteArray& host, const QByteArray& service, addrinfo** found) {
    const addrinfo hints = StreamHints(AI_NUMERICHOST);
    return getaddrinfo(host.constData(), service.constData(), &hints, found);
}

int LookUpName(const Resolver& resolver, const QByteArray& host, const QByteArray& service,
               addrinfo** found) {
    const addrinfo hints = StreamHints(0);
    if (!resolver)
        return getaddrinfo(host.constData(), service.constData(), &hints, found);
    return resolver(host.constData(), service.constData(), &hints, found);
}

const addrinfo* NextAddress(const addrinfo* address) {
    return address->ai_next;
}

void FreeAddresses(addrinfo* list) noexcept {
    if (list)
        freeaddrinfo(list);
}

QString LookupErrorText(int code) {
    return QString::fromLocal8Bit(gai_strerror(code));
}

bool IsNumericAddress(const QByteArray& text) {
    in6_addr scratch{};
    return inet_pton(AF_INET, text.constData(), &scratch) == 1 ||
           inet_pton(AF_INET6, text.constData(), &scratch) == 1;
}

WakeSignal::WakeSignal() {
    const int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0)
        throw Failure(QStringLiteral("Cannot start a name lookup: ") + SystemErrorText(errno));
    waitEnd_ = raiseEnd_ = fd;
}

WakeSignal::~WakeSignal() {
    ::close(Fd(waitEnd_));
}

void WakeSignal::Raise() noexcept {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(Fd(raiseEnd_), &one, sizeof one);
}

void IgnoreBrokenPipes() {
    struct sigaction current {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace quillorn
