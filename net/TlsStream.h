// TLS over an open socket: the handshake, then the decrypted bytes. A peer that ends the
// connection without close_notify gives an end of stream that is not clean (EndedCleanly).
#pragma once

#include <chrono>
#include <memory>

#include "net/ByteStream.h"

struct ssl_ctx_st;  // OpenSSL's SSL_CTX
struct ssl_st;      // OpenSSL's SSL

namespace quillorn {

class Socket;
class SocketWaiter;

class TlsStream final : public ByteStream {
public:
    // The handshake over socket (serverName is sent unless it is an IP address); raises Failure
    // "TLS handshake with host:port failed: <why>", or the waiter's time-outs. Socket and waiter
    // must outlive the stream. Ending the stream sends no close_notify: the connection is given
    // up, not politely ended.
    TlsStream(const Socket& socket, SocketWaiter& waiter, ssl_ctx_st* context,
              const QByteArray& serverName);
    ~TlsStream() override;
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    void Write(const QByteArray& bytes) override;
    qsizetype Read(char* data, qsizetype size) override;
    bool EndedCleanly() const override { return endedCleanly_; }
    bool HasBuffered() const override;

private:
    // When the library asks for the socket to become readable or writable (error is
    // SSL_ERROR_WANT_READ or SSL_ERROR_WANT_WRITE), waits for that and returns true; false for
    // any other error, which the caller reports.
    bool AwaitWant(int error, std::chrono::steady_clock::time_point deadline,
                   const char* timeoutMessage);

    struct SslFree {
        void operator()(ssl_st* ssl) const;
    };

    const Socket& socket_;
    SocketWaiter& waiter_;
    std::unique_ptr<ssl_st, SslFree> ssl_;
    bool endedCleanly_ = true;
};

}  // namespace quillorn
