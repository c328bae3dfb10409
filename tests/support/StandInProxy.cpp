#include "tests/support/StandInProxy.h"

#include <QList>
#include <optional>

namespace quillorn::test {

using standin::kNoServerSocket;
using standin::ServerSocket;

namespace {

constexpr int kSliceMs = 50;             // how often a waiting thread looks at the stop flag
constexpr qsizetype kMaxHead = 1 << 20;  // a longer head ends the connection

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

struct StandInProxy::Message {
    QByteArray startLine;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray Header(const QByteArray& name) const {
        for (const auto& [key, value] : headers) {
            if (SameName(key, name))
                return value;
        }
        return {};
    }
};

namespace {

QByteArray Answer(int status, const QByteArray& reason, const QByteArray& extraHeaders = {}) {
    const QByteArray body = reason + '\n';
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n" + extraHeaders +
           "Content-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n\r\n" + body;
}

}  // namespace

// One socket with the bytes read from it but not used yet.
class StandInProxy::Connection {
public:
    Connection(ServerSocket socket, const std::atomic<bool>& stopping)
        : socket_(socket), stopping_(stopping) {
        standin::PrepareConnection(socket_, kSliceMs);
    }
    ~Connection() { standin::ShutdownAndClose(socket_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Some bytes: more than 0; 0 at the end of the connection, when the server stops, or when
    // done is set.
    int Read(char* buffer, int size, const std::atomic<bool>* done = nullptr) {
        while (!stopping_ && !(done && *done)) {
            const int n = standin::ReceiveSlice(socket_, buffer, size, kSliceMs);
            if (n >= 0)
                return n;
        }
        return 0;
    }

    bool Write(const QByteArray& bytes) {
        qsizetype at = 0;
        while (at < bytes.size()) {
            if (stopping_)
                return false;
            const int want = static_cast<int>(std::min<qsizetype>(bytes.size() - at, 1 << 20));
            const int n = standin::SendSlice(socket_, bytes.constData() + at, want, kSliceMs);
            if (n == 0)
                return false;
            if (n > 0)
                at += n;
        }
        return true;
    }

    // How far a message's body goes.
    enum class Body {
        None,             // the answer to a HEAD
        Declared,         // a request: as far as its Content-Length says, else none
        DeclaredOrToEnd,  // an answer: as far as its Content-Length says, else to the close
    };

    // The next head and its body; nothing at the end of the connection.
    std::optional<Message> ReadMessage(Body extent) {
        qsizetype end;
        while ((end = pending_.indexOf("\r\n\r\n")) < 0) {
            if (pending_.size() > kMaxHead || !Fill())
                return std::nullopt;
        }
        Message message;
        const QList<QByteArray> lines = pending_.left(end).split('\n');
        pending_.remove(0, end + 4);
        message.startLine = lines.value(0).trimmed();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                message.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
        }
        if (extent == Body::None)
            return message;
        bool declared = false;
        const qsizetype length = message.Header("Content-Length").toLongLong(&declared);
        if (declared) {
            while (pending_.size() < length) {
                if (!Fill())
                    return std::nullopt;
            }
            message.body = pending_.left(length);
        } else if (extent == Body::DeclaredOrToEnd) {
            while (Fill()) {
            }
            message.body = pending_;
        }
        pending_.remove(0, message.body.size());
        return message;
    }

    // What was read past the last message.
    QByteArray TakePending() { return std::exchange(pending_, {}); }

private:
    bool Fill() {
        char buffer[16384];
        const int n = Read(buffer, sizeof buffer);
        if (n <= 0)
            return false;
        pending_.append(buffer, n);
        return true;
    }

    ServerSocket socket_;
    const std::atomic<bool>& stopping_;
    QByteArray pending_;
};

StandInProxy::StandInProxy(QByteArray login, QByteArray password)
    : expectedAuthorization_("Basic " + (login + ':' + password).toBase64()) {
    standin::IgnoreBrokenPipes();
    listener_ = standin::ListenOnLoopback(port_);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

StandInProxy::~StandInProxy() {
    stopping_ = true;
    if (acceptThread_.joinable())
        acceptThread_.join();
    std::vector<std::thread> threads;
    {
        const std::lock_guard lock(mutex_);
        threads.swap(connectionThreads_);
    }
    for (auto& thread : threads)
        thread.join();
    standin::CloseServerSocket(listener_);
}

QByteArray StandInProxy::Log() const {
    const std::lock_guard lock(mutex_);
    return log_;
}

void StandInProxy::Note(const QByteArray& line) {
    const std::lock_guard lock(mutex_);
    log_ += line + '\n';
}

void StandInProxy::AcceptLoop() {
    while (!stopping_) {
        const ServerSocket accepted = standin::AcceptWithin(listener_, kSliceMs);
        if (accepted == kNoServerSocket)
            continue;
        const std::lock_guard lock(mutex_);
        connectionThreads_.emplace_back([this, accepted] { Serve(accepted); });
    }
}

void StandInProxy::Serve(ServerSocket socket) {
    Connection client(socket, stopping_);
    while (!stopping_) {
        const std::optional<Message> request = client.ReadMessage(Connection::Body::Declared);
        if (!request)
            return;
        Note(request->startLine);
        const QList<QByteArray> words = request->startLine.split(' ');
        if (request->Header("Proxy-Authorization") != expectedAuthorization_) {
            if (!client.Write(Answer(407, "Proxy Authentication Required",
                                     "Proxy-Authenticate: Basic realm=\"stand-in\"\r\n")))
                return;
            continue;
        }
        if (words.value(0) == "CONNECT") {
            Tunnel(client, words.value(1));
            return;
        }
        if (!Forward(client, *request))
            return;
    }
}

void StandInProxy::Tunnel(Connection& client, const QByteArray& target) {
    const qsizetype colon = target.lastIndexOf(':');
    QByteArray host = target.left(colon);
    if (host.startsWith('[') && host.endsWith(']'))
        host = host.mid(1, host.size() - 2);
    const ServerSocket socket =
        colon > 0 ? standin::ConnectTo(host, target.mid(colon + 1).toUShort()) : kNoServerSocket;
    if (socket == kNoServerSocket) {
        client.Write(Answer(502, "Bad Gateway"));
        return;
    }
    Connection origin(socket, stopping_);
    if (!client.Write("HTTP/1.1 200 Connection established\r\n\r\n") ||
        !origin.Write(client.TakePending()))
        return;
    // Each direction copies until its side ends; then the other gives up within a slice.
    std::atomic<bool> done{false};
    const auto copy = [&done](Connection& from, Connection& to) {
        char buffer[16384];
        int n;
        while ((n = from.Read(buffer, sizeof buffer, &done)) > 0) {
            if (!to.Write(QByteArray(buffer, n)))
                break;
        }
        done = true;
    };
    std::thread back([&] { copy(origin, client); });
    copy(client, origin);
    back.join();
}

bool StandInProxy::Forward(Connection& client, const Message& request) {
    const QList<QByteArray> words = request.startLine.split(' ');
    const QByteArray target = words.value(1);
    if (!target.startsWith("http://"))
        return client.Write(Answer(400, "Bad Request"));
    const QByteArray rest = target.mid(7);
    const qsizetype slash = rest.indexOf('/');
    const QByteArray authority = slash < 0 ? rest : rest.left(slash);
    const QByteArray path = slash < 0 ? QByteArray("/") : rest.mid(slash);
    const qsizetype colon = authority.lastIndexOf(':');
    const bool hasPort = colon > authority.lastIndexOf(']');
    QByteArray host = hasPort ? authority.left(colon) : authority;
    if (host.startsWith('[') && host.endsWith(']'))
        host = host.mid(1, host.size() - 2);
    const quint16 port = hasPort ? authority.mid(colon + 1).toUShort() : 80;

    const ServerSocket socket = standin::ConnectTo(host, port);
    if (socket == kNoServerSocket)
        return client.Write(Answer(502, "Bad Gateway"));
    Connection origin(socket, stopping_);
    // The proxy's own headers stay with the proxy; the origin closes after its answer.
    QByteArray forwarded = words.value(0) + ' ' + path + ' ' + words.value(2) + "\r\n";
    for (const auto& [name, value] : request.headers) {
        if (!SameName(name, "Proxy-Authorization") && !SameName(name, "Proxy-Connection") &&
            !SameName(name, "Connection") && !SameName(name, "Keep-Alive"))
            forwarded += name + ": " + value + "\r\n";
    }
    forwarded += "Connection: close\r\n\r\n" + request.body;
    if (!origin.Write(forwarded))
        return client.Write(Answer(502, "Bad Gateway"));
    const std::optional<Message> response = origin.ReadMessage(
        words.value(0) == "HEAD" ? Connection::Body::None : Connection::Body::DeclaredOrToEnd);
    if (!response)
        return client.Write(Answer(502, "Bad Gateway"));
    QByteArray answer = response->startLine + "\r\n";
    for (const auto& [name, value] : response->headers)
        answer += name + ": " + value + "\r\n";
    answer += "\r\n" + response->body;
    // A body that ended with the origin's connection ends the client's too.
    const bool delimited = !response->Header("Content-Length").isEmpty();
    return client.Write(answer) && delimited;
}

}  // namespace quillorn::test
