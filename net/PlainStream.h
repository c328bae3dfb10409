// The bytes of a plain TCP connection, as they come.
#pragma once

#include "net/ByteStream.h"

namespace quillorn {

class Socket;
class SocketWaiter;

class PlainStream final : public ByteStream {
public:
    // Both must outlive the stream.
    PlainStream(const Socket& socket, SocketWaiter& waiter) : socket_(socket), waiter_(waiter) {}

    void Write(const QByteArray& bytes) override;
    qsizetype Read(char* data, qsizetype size) override;

private:
    const Socket& socket_;
    SocketWaiter& waiter_;
};

}  // namespace quillorn
