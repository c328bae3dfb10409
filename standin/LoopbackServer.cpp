#include "standin/LoopbackServer.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>

#include <chrono>
#include <optional>
#include <stdexcept>

#include "standin/ServerSockets.h"
#include "standin/TestCertificate.h"

namespace quillorn::standin {
namespace {

constexpr int kSliceMs = 50;             // how often a waiting thread looks at the stop flag
constexpr qsizetype kMaxHead = 1 << 20;  // a request head longer than this ends the connection

struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct X509Free {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

void LoopbackServer::TlsContextFree::operator()(ssl_ctx_st* context) const {
    SSL_CTX_free(context);
}

// One accepted socket, with its TLS session when the server speaks TLS. Reads and writes give up
// when the server stops; they wait in slices only so that the stop flag is looked at.
class LoopbackServer::Connection {
public:
    Connection(ServerSocket socket, SSL_CTX* tls, const std::atomic<bool>& stopping)
        : socket_(socket), stopping_(stopping) {
        PrepareConnection(socket_, kSliceMs);
        if (tls) {
            ssl_.reset(SSL_new(tls));
            // The library takes a Windows SOCKET through the same int parameter.
            SSL_set_fd(ssl_.get(), static_cast<int>(socket_));
        }
    }
    ~Connection() { Close(); }

    // The TLS handshake; true at once for a plain connection.
    bool Start() {
        if (!ssl_)
            return true;
        while (!stopping_) {
            const int rc = SSL_accept(ssl_.get());
            if (rc == 1)
                return true;
            if (!Retry(SSL_get_error(ssl_.get(), rc)))
                return false;
        }
        return false;
    }

    // Some bytes into buffer; 0 when the peer closed, the connection broke or the server stops.
    int Read(char* buffer, int size) {
        while (!stopping_ && socket_ != kNoServerSocket) {
            if (ssl_) {
                const int n = SSL_read(ssl_.get(), buffer, size);
                if (n > 0)
                    return n;
                if (!Retry(SSL_get_error(ssl_.get(), n)))
                    return 0;
            } else {
                const int n = ReceiveSlice(socket_, buffer, size, kSliceMs);
                if (n >= 0)
                    return n;
            }
        }
        return 0;
    }

    bool Write(const char* data, qsizetype size) {
        while (size > 0) {
            if (stopping_ || socket_ == kNoServerSocket)
                return false;
            const int want = static_cast<int>(std::min<qsizetype>(size, 1 << 20));
            int n = 0;
            if (ssl_) {
                n = SSL_write(ssl_.get(), data, want);
                if (n <= 0) {
                    if (Retry(SSL_get_error(ssl_.get(), n)))
                        continue;
                    return false;
                }
            } else {
                n = SendSlice(socket_, data, want, kSliceMs);
                if (n < 0)
                    continue;
                if (n == 0)
                    return false;
            }
            data += n;
            size -= n;
        }
        return true;
    }
    bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }

    // The next request head (and body, when it has a Content-Length); nothing at the end of the
    // connection.
    std::optional<HttpRequest> ReadRequest() {
        qsizetype end;
        while ((end = pending_.indexOf("\r\n\r\n")) < 0) {
            if (pending_.size() > kMaxHead || !Fill())
                return std::nullopt;
        }
        HttpRequest request;
        if (ssl_) {
            request.tlsVersion = SSL_get_version(ssl_.get());
            if (const char* name = SSL_get_servername(ssl_.get(), TLSEXT_NAMETYPE_host_name))
                request.serverName = name;
        }
        request.raw = pending_.left(end + 4);
        pending_.remove(0, end + 4);
        Parse(request);
        const qsizetype length = request.Header("Content-Length").toLongLong();
        while (pending_.size() < length) {
            if (!Fill())
                return std::nullopt;
        }
        request.body = pending_.left(length);
        pending_.remove(0, length);
        return request;
    }

    // Silent until the client closes or the server stops.
    void Stall() {
        char scratch[4096];
        while (Read(scratch, sizeof scratch) > 0) {
        }
    }

    void Close(bool notify = true) {
        if (socket_ == kNoServerSocket)
            return;
        if (ssl_) {
            if (notify)
                SSL_shutdown(ssl_.get());  // close_notify; the client's answer is not awaited
            ssl_.reset();
        }
        ShutdownAndClose(socket_);
        socket_ = kNoServerSocket;
    }

private:
    // Whether a TLS call should be repeated: a socket time-out slice (the stop flag is checked by
    // the caller's loop) or a renegotiation step.
    bool Retry(int error) const {
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
            AwaitSlice(socket_, error == SSL_ERROR_WANT_WRITE, kSliceMs);
            return true;
        }
        if (error == SSL_ERROR_SYSCALL && SliceElapsed())
            return true;
        ERR_clear_error();
        return false;
    }

    bool Fill() {
        char buffer[16384];
        const int n = Read(buffer, sizeof buffer);
        if (n <= 0)
            return false;
        pending_.append(buffer, n);
        return true;
    }

    static void Parse(HttpRequest& request) {
        const QList<QByteArray> lines = request.raw.left(request.raw.size() - 4).split('\n');
        const QList<QByteArray> words = lines.value(0).trimmed().split(' ');
        request.method = words.value(0);
        request.target = words.value(1);
        request.version = words.value(2);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
            const qsizetype colon = line.indexOf(':');
            if (colon < 0)
                continue;
            request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
        }
    }

    ServerSocket socket_;
    const std::atomic<bool>& stopping_;
    std::unique_ptr<SSL, SslFree> ssl_;
    QByteArray pending_;
};

// ---- requests and responses ----

QByteArray HttpRequest::Header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (SameName(key, name))
            return value;
    }
    return {};
}

bool HttpRequest::HasHeader(const QByteArray& name) const {
    for (const auto& header : headers) {
        if (SameName(header.first, name))
            return true;
    }
    return false;
}

QList<QByteArray> HttpRequest::HeaderNames() const {
    QList<QByteArray> names;
    for (const auto& header : headers)
        names.append(header.first);
    return names;
}

QByteArray HttpRequest::Path() const {
    const qsizetype mark = target.indexOf('?');
    return mark < 0 ? target : target.left(mark);
}

QByteArray HttpRequest::Query() const {
    const qsizetype mark = target.indexOf('?');
    return mark < 0 ? QByteArray() : target.mid(mark + 1);
}

HttpResponse HttpResponse::Text(QByteArray body, QByteArray contentType) {
    HttpResponse response;
    response.body = std::move(body);
    if (!contentType.isEmpty())
        response.headers.append({"Content-Type", contentType});
    return response;
}

HttpResponse HttpResponse::Status(int status, QByteArray reason, QByteArray body) {
    HttpResponse response;
    response.status = status;
    response.reason = std::move(reason);
    response.body = std::move(body);
    return response;
}

HttpResponse HttpResponse::Raw(QByteArray bytes, bool closeAfter) {
    HttpResponse response;
    response.raw = std::move(bytes);
    response.closeAfter = closeAfter;
    return response;
}

HttpResponse HttpResponse::Stall() {
    HttpResponse response;
    response.stall = true;
    return response;
}

HttpResponse& HttpResponse::WithHeader(QByteArray name, QByteArray value) {
    headers.append({std::move(name), std::move(value)});
    return *this;
}

QByteArray HttpResponse::Head() const {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    bool hasLength = false;
    for (const auto& [name, value] : headers) {
        head += name + ": " + value + "\r\n";
        if (SameName(name, "Content-Length") || SameName(name, "Transfer-Encoding"))
            hasLength = true;
    }
    if (addContentLength && !hasLength)
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    head += "\r\n";
    return head;
}

ScriptStep ScriptStep::ReadRequest() {
    return {};
}

ScriptStep ScriptStep::Send(QByteArray bytes) {
    ScriptStep step;
    step.kind = Kind::Send;
    step.bytes = std::move(bytes);
    return step;
}

ScriptStep ScriptStep::SendSlowly(QByteArray bytes, int chunkBytes, int delayMs) {
    ScriptStep step = Send(std::move(bytes));
    step.kind = Kind::SendSlowly;
    step.chunkBytes = std::max(1, chunkBytes);
    step.delayMs = delayMs;
    return step;
}

ScriptStep ScriptStep::Pause(int ms) {
    ScriptStep step;
    step.kind = Kind::Pause;
    step.delayMs = ms;
    return step;
}

ScriptStep ScriptStep::Close() {
    ScriptStep step;
    step.kind = Kind::Close;
    return step;
}

ScriptStep ScriptStep::Stall() {
    ScriptStep step;
    step.kind = Kind::Stall;
    return step;
}

ScriptStep ScriptStep::CloseWithoutNotify() {
    ScriptStep step;
    step.kind = Kind::CloseWithoutNotify;
    return step;
}

ConnectionScript AnswerOnce(QByteArray bytes, bool close) {
    ConnectionScript script{ScriptStep::ReadRequest(), ScriptStep::Send(std::move(bytes))};
    if (close)
        script.push_back(ScriptStep::Close());
    return script;
}

// ---- the server ----

namespace {

SSL_CTX* MakeServerContext() {
    const TestCertificate& certificate = TestCertificate::Shared();
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (!context)
        throw std::runtime_error("loopback server: no TLS context");
    std::unique_ptr<BIO, BioFree> certBio(
        BIO_new_mem_buf(certificate.certificatePem.constData(),
                        static_cast<int>(certificate.certificatePem.size())));
    std::unique_ptr<X509, X509Free> cert(
        PEM_read_bio_X509(certBio.get(), nullptr, nullptr, nullptr));
    std::unique_ptr<BIO, BioFree> keyBio(BIO_new_mem_buf(
        certificate.privateKeyPem.constData(), static_cast<int>(certificate.privateKeyPem.size())));
    std::unique_ptr<EVP_PKEY, KeyFree> key(
        PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr));
    if (!cert || !key || SSL_CTX_use_certificate(context, cert.get()) != 1 ||
        SSL_CTX_use_PrivateKey(context, key.get()) != 1) {
        SSL_CTX_free(context);
        throw std::runtime_error("loopback server: test certificate not usable");
    }
    return context;
}

}  // namespace

LoopbackServer::LoopbackServer(Transport transport) : transport_(transport) {
    IgnoreBrokenPipes();  // a client that hangs up mid-answer must not end the tests
    if (transport_ == Transport::Tls)
        tlsContext_.reset(MakeServerContext());
    listenSocket_ = ListenOnLoopback(port_);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
    stopping_ = true;
    if (acceptThread_.joinable())
        acceptThread_.join();
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        threads.swap(connectionThreads_);
    }
    for (auto& thread : threads)
        thread.join();
    CloseServerSocket(listenSocket_);
}

QString LoopbackServer::Origin() const {
    return QStringLiteral("%1://127.0.0.1:%2")
        .arg(transport_ == Transport::Tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(port_);
}

QString LoopbackServer::Url(const QString& target) const {
    return Origin() + target;
}

void LoopbackServer::SetHandler(RequestHandler handler) {
    std::lock_guard lock(handlerMutex_);
    handler_ = std::move(handler);
}

void LoopbackServer::AddScript(ConnectionScript script) {
    std::lock_guard lock(mutex_);
    scripts_.push_back(std::move(script));
}

std::vector<HttpRequest> LoopbackServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int LoopbackServer::RequestCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(requests_.size());
}

void LoopbackServer::ClearRequests() {
    std::lock_guard lock(mutex_);
    requests_.clear();
}

bool LoopbackServer::WaitForConnections(int n, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return connections_.load() >= n; });
}

void LoopbackServer::AcceptLoop() {
    while (!stopping_) {
        const ServerSocket accepted = AcceptWithin(listenSocket_, kSliceMs);
        if (accepted == kNoServerSocket)
            continue;
        auto connection = std::make_unique<Connection>(accepted, tlsContext_.get(), stopping_);
        std::lock_guard lock(mutex_);
        const int index = connections_++;
        connectionThreads_.emplace_back(
            [this, index, c = std::move(connection)]() mutable { Serve(std::move(c), index); });
        changed_.notify_all();
    }
}

void LoopbackServer::Serve(std::unique_ptr<Connection> connection, int index) {
    if (!connection->Start())
        return;
    std::optional<ConnectionScript> script;
    {
        std::lock_guard lock(mutex_);
        if (!scripts_.empty()) {
            script = std::move(scripts_.front());
            scripts_.pop_front();
        }
    }
    int requestIndex = 0;
    bool open = true;
    auto record = [&](HttpRequest request) {
        request.connection = index;
        request.indexOnConnection = requestIndex++;
        Record(request);
        return request;
    };
    if (script) {
        for (const ScriptStep& step : *script) {
            if (!open || stopping_)
                break;
            switch (step.kind) {
                case ScriptStep::Kind::ReadRequest:
                    if (auto request = connection->ReadRequest()) {
                        record(std::move(*request));
                    } else {
                        open = false;
                    }
                    break;
                case ScriptStep::Kind::Send:
                    open = connection->Write(step.bytes);
                    break;
                case ScriptStep::Kind::SendSlowly:
                    for (qsizetype at = 0; open && at < step.bytes.size(); at += step.chunkBytes) {
                        if (at > 0)
                            SleepMs(step.delayMs);
                        open = connection->Write(
                            step.bytes.constData() + at,
                            std::min<qsizetype>(step.chunkBytes, step.bytes.size() - at));
                    }
                    break;
                case ScriptStep::Kind::Pause:
                    for (int waited = 0; waited < step.delayMs && !stopping_; waited += kSliceMs)
                        SleepMs(std::min(kSliceMs, step.delayMs - waited));
                    break;
                case ScriptStep::Kind::Close:
                    open = false;
                    break;
                case ScriptStep::Kind::Stall:
                    connection->Stall();
                    open = false;
                    break;
                case ScriptStep::Kind::CloseWithoutNotify:
                    connection->Close(false);
                    open = false;
                    break;
            }
        }
    }
    while (open && !stopping_) {
        auto request = connection->ReadRequest();
        if (!request)
            break;
        const HttpRequest recorded = record(std::move(*request));
        const HttpResponse response = Answer(recorded);
        if (response.stall) {
            connection->Stall();
            break;
        }
        for (int waited = 0; waited < response.delayMs && !stopping_; waited += kSliceMs)
            SleepMs(std::min(kSliceMs, response.delayMs - waited));
        if (!response.raw.isEmpty()) {
            open = connection->Write(response.raw);
        } else {
            open = connection->Write(response.Head()) && connection->Write(response.body);
        }
        if (response.closeAfter)
            break;
    }
    connection->Close();
}

void LoopbackServer::Record(HttpRequest request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
    changed_.notify_all();
}

HttpResponse LoopbackServer::Answer(const HttpRequest& request) {
    std::lock_guard lock(handlerMutex_);
    if (!handler_)
        return HttpResponse::Status(500, "No handler");
    return handler_(request);
}

}  // namespace quillorn::standin
