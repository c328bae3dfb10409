// An open TCP connection's socket, non-blocking, closed when its owner lets it go; and how one is
// opened within the connect time-out.
#pragma once

#include <QByteArray>
#include <QString>

#include "net/SocketHandle.h"

namespace quillorn {

class SocketWaiter;

class Socket {
public:
    Socket() = default;
    Socket(SocketHandle handle, QByteArray peer) : handle_(handle), peer_(std::move(peer)) {}
    ~Socket() { Close(); }
    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool IsOpen() const { return handle_ != kNoSocket; }
    SocketHandle Handle() const { return handle_; }
    // "host:port" ("[v6]:port"), for messages.
    QString Peer() const { return QString::fromLatin1(peer_); }
    // Whether the socket shows something to read: bytes, the peer's close, or an error.
    bool HasIncoming() const;
    void Close() noexcept;

private:
    SocketHandle handle_ = kNoSocket;
    QByteArray peer_;
};

// Tries every address of host in turn. Raises Failure "Cannot resolve host", "Cannot connect to
// host:port: <why>" or "Connect timed out".
Socket ConnectSocket(const QByteArray& host, int port, SocketWaiter& waiter);

}  // namespace quillorn
