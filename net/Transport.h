// One client connection: a TCP socket, optionally with TLS on top (also through a proxy's tunnel,
// where TLS starts over the socket to the proxy), whose every wait services the event pump and
// gives up after its time-out or at the request's deadline.
#pragma once

#include <QByteArray>
#include <memory>

#include "net/ByteStream.h"
#include "net/Socket.h"
#include "net/SocketWait.h"

struct ssl_ctx_st;  // OpenSSL's SSL_CTX

namespace quillorn {

class Transport final : public ByteSource {
public:
    explicit Transport(const WaitSettings& wait);
    ~Transport() override;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    // Opens the TCP connection, trying every address of host in turn.
    void Connect(const QByteArray& host, int port);
    // The TLS handshake over the open connection (serverName is sent unless it is an IP address);
    // from then on every byte goes through TLS. A failed handshake closes the connection.
    void StartTls(ssl_ctx_st* context, const QByteArray& serverName);

    void Write(const QByteArray& bytes);
    qsizetype Read(char* data, qsizetype size) override;
    bool EndedCleanly() const override;

    // The request the connection now serves must end within WaitSettings::requestDeadlineMs from
    // now: every wait and every read or write past that moment raises "Request took too long".
    // EndRequest lifts the limit.
    void BeginRequest() { waiter_.BeginRequest(); }
    void EndRequest() noexcept { waiter_.EndRequest(); }

    bool IsOpen() const { return socket_.IsOpen(); }
    // Whether the idle connection has something to read (bytes nobody asked for, or the peer's
    // close): then it cannot carry another request.
    bool HasIncoming() const;
    void Close() noexcept;

private:
    ByteStream& OpenStream() const;

    SocketWaiter waiter_;
    Socket socket_;
    // Over socket_, so it goes first.
    std::unique_ptr<ByteStream> stream_;
};

}  // namespace quillorn
