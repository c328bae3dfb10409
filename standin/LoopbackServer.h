// A real HTTP/1.1 server on 127.0.0.1 (port 0, picked by the system), plain or TLS with the test
// certificate, for the tests, benchmarks and demo that need a peer. Every accepted connection runs
// in its own thread and is driven either by a script of raw steps (the next script queued when it
// is accepted) or by the request handler, which answers each request of a keep-alive connection.
// Every request is recorded with its raw head and the connection it came on.
//
// The handler runs on a server thread; calls are serialised, so a handler needs no lock of its own
// for state only it touches (read such state from the caller after the client call returned).
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct ssl_ctx_st;  // OpenSSL's SSL_CTX

namespace quillorn::standin {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

struct HttpRequest {
    int connection = 0;         // 0-based, in the order connections were accepted
    int indexOnConnection = 0;  // 0 for the first request a connection carried
    QByteArray raw;             // the head as received, request line through the empty line
    QByteArray method;
    QByteArray target;
    QByteArray version;
    HeaderList headers;     // in the order sent, names as sent
    QByteArray body;        // only when the request had a Content-Length
    QByteArray tlsVersion;  // "TLSv1.2" and the like; empty on a plain connection
    QByteArray serverName;  // the TLS server name the client sent; empty when none

    // The first value of the header (name compared without regard to case); empty when absent.
    QByteArray Header(const QByteArray& name) const;
    bool HasHeader(const QByteArray& name) const;
    QList<QByteArray> HeaderNames() const;
    // The target's path (before '?') and query (after it, without the '?').
    QByteArray Path() const;
    QByteArray Query() const;
};

struct HttpResponse {
    int status = 200;
    QByteArray reason = "OK";
    HeaderList headers;
    QByteArray body;
    // Adds "Content-Length" unless the headers already carry it or Transfer-Encoding.
    bool addContentLength = true;
    // Closes the connection once the response is sent.
    bool closeAfter = false;
    // When not empty, these bytes are sent exactly, instead of everything above.
    QByteArray raw;
    // Waits this long before answering.
    int delayMs = 0;
    // Never answers: holds the connection until the client closes it or the server stops.
    bool stall = false;

    static HttpResponse Text(QByteArray body, QByteArray contentType = "text/html; charset=utf-8");
    static HttpResponse Status(int status, QByteArray reason, QByteArray body = {});
    static HttpResponse Raw(QByteArray bytes, bool closeAfter = false);
    static HttpResponse Stall();
    HttpResponse& WithHeader(QByteArray name, QByteArray value);

    // The status line and headers through the empty line (not used for raw responses).
    QByteArray Head() const;
};

using RequestHandler = std::function<HttpResponse(const HttpRequest&)>;

// One step of a scripted connection.
struct ScriptStep {
    enum class Kind { ReadRequest, Send, SendSlowly, Pause, Close, Stall, CloseWithoutNotify };
    Kind kind = Kind::ReadRequest;
    QByteArray bytes;
    int chunkBytes = 0;
    int delayMs = 0;

    // Waits for one whole request head and records it.
    static ScriptStep ReadRequest();
    static ScriptStep Send(QByteArray bytes);
    // Sends bytes chunkBytes at a time with delayMs between chunks.
    static ScriptStep SendSlowly(QByteArray bytes, int chunkBytes, int delayMs);
    static ScriptStep Pause(int ms);
    // Closes the connection (with a TLS close_notify first).
    static ScriptStep Close();
    // Holds the connection open, silent, until the client closes it or the server stops.
    static ScriptStep Stall();
    // Closes the TCP connection without a TLS close_notify, as a cut connection or a careless
    // server does.
    static ScriptStep CloseWithoutNotify();
};
using ConnectionScript = std::vector<ScriptStep>;

// ReadRequest then Send(bytes): the most common script, one raw answer to one request. With close,
// the connection closes after it.
ConnectionScript AnswerOnce(QByteArray bytes, bool close = false);

class LoopbackServer {
public:
    enum class Transport { Plain, Tls };

    explicit LoopbackServer(Transport transport = Transport::Plain);
    ~LoopbackServer();  // stops the server, ends every connection and joins its threads
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    Transport TransportKind() const { return transport_; }
    quint16 Port() const { return port_; }
    // "http://127.0.0.1:<port>" or "https://127.0.0.1:<port>".
    QString Origin() const;
    // Origin() followed by target (which starts with '/').
    QString Url(const QString& target) const;

    // Answers every request of connections that have no script (and of scripted connections once
    // their script has ended). Without a handler such requests get "500 No handler".
    void SetHandler(RequestHandler handler);
    // The next accepted connection without a script plays this one. When the script ends without
    // Close or Stall, the connection goes on with the handler.
    void AddScript(ConnectionScript script);

    std::vector<HttpRequest> Requests() const;
    int RequestCount() const;
    int ConnectionCount() const { return connections_.load(); }
    // Waits (really) until n connections have been accepted; false on time-out.
    bool WaitForConnections(int n, int timeoutMs) const;
    void ClearRequests();

    class Connection;  // one accepted connection (LoopbackServer.cpp)

private:
    void AcceptLoop();
    void Serve(std::unique_ptr<Connection> connection, int index);
    void Record(HttpRequest request);
    HttpResponse Answer(const HttpRequest& request);

    Transport transport_;
    quint16 port_ = 0;
    std::intptr_t listenSocket_ = -1;  // a ServerSocket (ServerSockets.h)
    struct TlsContextFree {
        void operator()(ssl_ctx_st* context) const;
    };
    std::unique_ptr<ssl_ctx_st, TlsContextFree> tlsContext_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread acceptThread_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::thread> connectionThreads_;
    std::deque<ConnectionScript> scripts_;
    std::vector<HttpRequest> requests_;

    std::mutex handlerMutex_;
    RequestHandler handler_;
};

}  // namespace quillorn::standin
