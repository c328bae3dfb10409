#include "net/Socket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <utility>

#include "net/HostLookup.h"
#include "net/SocketWait.h"
#include "platform/Errors.h"
#include "platform/SystemError.h"

namespace quillorn {

Socket::Socket(Socket&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), peer_(std::move(other.peer_)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        peer_ = std::move(other.peer_);
    }
    return *this;
}

void Socket::Close() noexcept {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool Socket::HasIncoming() const {
    if (fd_ < 0)
        return false;
    pollfd entry{fd_, POLLIN, 0};
    return poll(&entry, 1, 0) != 0;
}

Socket ConnectSocket(const QByteArray& host, int port, SocketWaiter& waiter) {
    const QByteArray peer =
        (host.contains(':') ? "[" + host + "]" : host) + ':' + QByteArray::number(port);
    // Looking the name up and connecting share the connect time-out.
    const auto deadline = waiter.ConnectDeadline();
    const AddressList addresses = LookUpHost(host, port, waiter, deadline);
    QString lastError = QStringLiteral("no address");
    for (addrinfo* address = addresses.get(); address; address = address->ai_next) {
        const int fd =
            ::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                     address->ai_protocol);
        if (fd < 0) {
            lastError = SystemErrorText(errno);
            continue;
        }
        Socket socket(fd, peer);
        if (::connect(socket.Fd(), address->ai_addr, address->ai_addrlen) != 0) {
            if (errno != EINPROGRESS) {
                lastError = SystemErrorText(errno);
                continue;
            }
            waiter.WaitReady(socket.Fd(), WaitFor::Writable, deadline,
                             waiter.Settings().connectPumpIntervalMs, "Connect timed out");
            int error = 0;
            socklen_t length = sizeof error;
            getsockopt(socket.Fd(), SOL_SOCKET, SO_ERROR, &error, &length);
            if (error != 0) {
                lastError = SystemErrorText(error);
                continue;
            }
        }
        const int one = 1;
        setsockopt(socket.Fd(), IPPROTO_TCP, TCP_NODELAY, &one,
                   sizeof one);  // requests are one write
        return socket;
    }
    throw Failure(
        QStringLiteral("Cannot connect to %1: %2").arg(QString::fromLatin1(peer), lastError));
}

}  // namespace quillorn
