#include "net/Socket.h"

#include <utility>

#include "net/HostLookup.h"
#include "net/SocketCalls.h"
#include "net/SocketWait.h"
#include "platform/Errors.h"

namespace quillorn {

Socket::Socket(Socket&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoSocket)), peer_(std::move(other.peer_)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kNoSocket);
        peer_ = std::move(other.peer_);
    }
    return *this;
}

void Socket::Close() noexcept {
    CloseSocket(handle_);
    handle_ = kNoSocket;
}

bool Socket::HasIncoming() const {
    return handle_ != kNoSocket && ShowsIncoming(handle_);
}

Socket ConnectSocket(const QByteArray& host, int port, SocketWaiter& waiter) {
    const QByteArray peer =
        (host.contains(':') ? "[" + host + "]" : host) + ':' + QByteArray::number(port);
    // Looking the name up and connecting share the connect time-out.
    const auto deadline = waiter.ConnectDeadline();
    const AddressList addresses = LookUpHost(host, port, waiter, deadline);
    QString lastError = QStringLiteral("no address");
    for (const addrinfo* address = addresses.get(); address; address = NextAddress(address)) {
        bool pending = false;
        int error = 0;
        Socket socket(StartConnect(*address, pending, error), peer);
        if (!socket.IsOpen()) {
            lastError = SocketErrorText(error);
            continue;
        }
        if (pending) {
            waiter.WaitReady(socket.Handle(), WaitFor::Writable, deadline,
                             waiter.Settings().connectPumpIntervalMs, "Connect timed out");
            if (const int failed = ConnectError(socket.Handle()); failed != 0) {
                lastError = SocketErrorText(failed);
                continue;
            }
        }
        SendWithoutDelay(socket.Handle());  // requests are one write
        return socket;
    }
    throw Failure(
        QStringLiteral("Cannot connect to %1: %2").arg(QString::fromLatin1(peer), lastError));
}

}  // namespace quillorn
