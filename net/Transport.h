// One client connection: a TCP socket, optionally with TLS on top (also through a proxy's tunnel),
// whose every wait services the event pump and gives up after its time-out. Reads and writes raise
// Failure; ConnectionClosed marks the failures after which a request on a reused connection may be
// sent again on a new one (the peer had closed or reset it).
#pragma once

#include <QByteArray>
#include <chrono>
#include <functional>
#include <memory>

#include "platform/Errors.h"
#include "platform/EventPump.h"

struct ssl_ctx_st;  // OpenSSL's SSL_CTX
struct ssl_st;      // OpenSSL's SSL

namespace quillorn {

class ConnectionClosed : public Failure {
public:
    using Failure::Failure;
};

// A source of bytes a response is read from: a connection, or memory in the fuzzer.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to size bytes into data; 0 at the end of the stream. Raises Failure on errors.
    virtual qsizetype Read(char* data, qsizetype size) = 0;
    // After Read returned 0: whether the peer announced that end. False for a TLS connection cut
    // without the peer's close_notify, where the last bytes may be missing; plain TCP cannot tell.
    virtual bool EndedCleanly() const { return true; }
};

// How the connection waits: read by reference, so changes reach an open connection.
struct WaitSettings {
    EventPump pump;
    // Asked after every pump: true abandons the wait with RequestAborted.
    std::function<bool()> abortCheck;
    int connectTimeoutMs = 120000;
    int readTimeoutMs = 120000;
    // The whole request, from connecting to the body's last byte: a server that trickles bytes
    // cannot keep it open for ever.
    int requestDeadlineMs = 300000;
    int connectPumpIntervalMs = 125;
    int readPumpIntervalMs = 250;
};

struct TlsContextFree {
    void operator()(ssl_ctx_st* context) const;
};
using TlsContext = std::unique_ptr<ssl_ctx_st, TlsContextFree>;

// The client's TLS settings: no certificate verification, cipher list "ALL", every protocol
// version the library offers up to TLS 1.2. A peer that ends the connection without close_notify
// gives an end of stream that is not clean (Transport::EndedCleanly). Raises Failure when the
// library cannot be set up.
TlsContext MakeClientTlsContext();

class Transport final : public ByteSource {
public:
    explicit Transport(const WaitSettings& wait);
    ~Transport() override;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    // Opens the TCP connection, trying every address of host in turn.
    void Connect(const QByteArray& host, int port);
    // The TLS handshake over the open connection (serverName is sent unless it is an IP address).
    void StartTls(ssl_ctx_st* context, const QByteArray& serverName);

    void Write(const QByteArray& bytes);
    qsizetype Read(char* data, qsizetype size) override;
    bool EndedCleanly() const override { return endedCleanly_; }

    // The request the connection now serves must end within WaitSettings::requestDeadlineMs from
    // now: every wait and every read or write past that moment raises "Request took too long".
    // EndRequest lifts the limit.
    void BeginRequest();
    void EndRequest() noexcept;

    bool IsOpen() const { return fd_ >= 0; }
    // Whether the idle connection has something to read (bytes nobody asked for, or the peer's
    // close): then it cannot carry another request.
    bool HasIncoming() const;
    void Close() noexcept;

private:
    enum class Direction { In, Out };
    // Waits until the socket is ready; raises "Read timed out" (or "Connect timed out") at the
    // deadline, pumping events at the interval meanwhile (and RequestAborted when the abort check
    // says so after a pump).
    void WaitReady(Direction direction, std::chrono::steady_clock::time_point deadline,
                   int pumpIntervalMs, const char* timeoutMessage);
    void PumpIfDue(int intervalMs);
    void CheckRequestDeadline() const;
    std::chrono::steady_clock::time_point ReadDeadline() const;

    struct SslFree {
        void operator()(ssl_st* ssl) const;
    };

    const WaitSettings& wait_;
    int fd_ = -1;
    std::unique_ptr<ssl_st, SslFree> ssl_;
    QByteArray peer_;  // "host:port", for messages
    std::chrono::steady_clock::time_point lastPump_;
    bool endedCleanly_ = true;
    std::chrono::steady_clock::time_point requestDeadline_ =
        std::chrono::steady_clock::time_point::max();
};

}  // namespace quillorn
