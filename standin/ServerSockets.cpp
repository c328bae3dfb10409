#include "standin/ServerSockets.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace quillorn::standin {
namespace {

int Fd(ServerSocket socket) {
    return static_cast<int>(socket);
}

bool SliceOver() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

}  // namespace

void IgnoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

ServerSocket ListenOnLoopback(quint16& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("loopback server: no socket");
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 64) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("loopback server: cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

ServerSocket AcceptWithin(ServerSocket listener, int sliceMs) {
    pollfd entry{Fd(listener), POLLIN, 0};
    if (poll(&entry, 1, sliceMs) <= 0)
        return kNoServerSocket;
    const int fd = accept4(Fd(listener), nullptr, nullptr, SOCK_CLOEXEC);
    return fd < 0 ? kNoServerSocket : fd;
}

ServerSocket ConnectTo(const QByteArray& host, quint16 port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found) != 0)
        return kNoServerSocket;
    int fd = -1;
    for (const addrinfo* address = found; address && fd < 0; address = address->ai_next) {
        fd = socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (fd >= 0 && ::connect(fd, address->ai_addr, address->ai_addrlen) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    return fd < 0 ? kNoServerSocket : fd;
}

// Reads and writes block for a slice at most: the socket's own time-outs.
void PrepareConnection(ServerSocket socket, int sliceMs) {
    timeval slice{0, sliceMs * 1000};
    setsockopt(Fd(socket), SOL_SOCKET, SO_RCVTIMEO, &slice, sizeof slice);
    setsockopt(Fd(socket), SOL_SOCKET, SO_SNDTIMEO, &slice, sizeof slice);
    const int one = 1;
    setsockopt(Fd(socket), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

int ReceiveSlice(ServerSocket socket, char* data, int size, int /*sliceMs*/) {
    const ssize_t n = recv(Fd(socket), data, static_cast<size_t>(size), 0);
    if (n >= 0)
        return static_cast<int>(n);
    return SliceOver() ? -1 : 0;
}

int SendSlice(ServerSocket socket, const char* data, int size, int /*sliceMs*/) {
    const ssize_t n = send(Fd(socket), data, static_cast<size_t>(size), MSG_NOSIGNAL);
    if (n > 0)
        return static_cast<int>(n);
    return n == 0 || SliceOver() ? -1 : 0;
}

bool SliceElapsed() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

// The socket's time-out has already waited the slice.
void AwaitSlice(ServerSocket /*socket*/, bool /*forWriting*/, int /*sliceMs*/) {}

void ShutdownAndClose(ServerSocket socket) noexcept {
    shutdown(Fd(socket), SHUT_WR);
    ::close(Fd(socket));
}

void CloseServerSocket(ServerSocket socket) noexcept {
    if (socket >= 0)
        ::close(Fd(socket));
}

}  // namespace quillorn::standin
