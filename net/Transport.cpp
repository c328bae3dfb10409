#include "net/Transport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quillorn {
namespace {

using SteadyClock = std::chrono::steady_clock;

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The first queued OpenSSL error as text (the queue is emptied), or fallback.
QString TlsError(const char* fallback) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return QLatin1String(fallback);
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return QString::fromLatin1(text);
}

bool IsIpAddress(const QByteArray& host) {
    in6_addr scratch{};
    return inet_pton(AF_INET, host.constData(), &scratch) == 1 ||
           inet_pton(AF_INET6, host.constData(), &scratch) == 1;
}

int MsUntil(SteadyClock::time_point moment) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(moment - SteadyClock::now()).count();
    return static_cast<int>(std::clamp<long long>(ms, 0, 1 << 30));
}

// Whether a failed SSL_read saw the TCP connection end without the peer's close_notify.
bool IsUnexpectedEnd(int error, int savedErrno) {
    const unsigned long code = ERR_peek_error();
    if (error == SSL_ERROR_SSL)
        return ERR_GET_LIB(code) == ERR_LIB_SSL &&
               ERR_GET_REASON(code) == SSL_R_UNEXPECTED_EOF_WHILE_READING;
    // Older libraries report it as a system error without an error number.
    return error == SSL_ERROR_SYSCALL && code == 0 && savedErrno == 0;
}

}  // namespace

void TlsContextFree::operator()(ssl_ctx_st* context) const {
    SSL_CTX_free(context);
}
void Transport::SslFree::operator()(ssl_st* ssl) const {
    SSL_free(ssl);
}

TlsContext MakeClientTlsContext() {
    TlsContext context(SSL_CTX_new(TLS_client_method()));
    if (!context)
        throw Failure(QStringLiteral("TLS library cannot be initialised: ") +
                      TlsError("no TLS context"));
    // 0 as the minimum is "the lowest version this library offers".
    SSL_CTX_set_min_proto_version(context.get(), 0);
    SSL_CTX_set_max_proto_version(context.get(), TLS1_2_VERSION);
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_NONE, nullptr);
    SSL_CTX_set_verify_depth(context.get(), 0);
    if (SSL_CTX_set_cipher_list(context.get(), "ALL") != 1)
        throw Failure(QStringLiteral("TLS library cannot be initialised: ") +
                      TlsError("cipher list rejected"));
    // Large bodies: take many records per system call instead of one.
    SSL_CTX_set_read_ahead(context.get(), 1);
    SSL_CTX_set_default_read_buffer_len(context.get(), 256 * 1024);
    return context;
}

Transport::Transport(const WaitSettings& wait) : wait_(wait), lastPump_(SteadyClock::now()) {}

Transport::~Transport() {
    Close();
}

void Transport::Close() noexcept {
    ssl_.reset();  // no close_notify: the connection is given up, not politely ended
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    endedCleanly_ = true;
    ERR_clear_error();
}

void Transport::PumpIfDue(int intervalMs) {
    const auto now = SteadyClock::now();
    if (now - lastPump_ >= std::chrono::milliseconds(intervalMs)) {
        lastPump_ = now;
        Pump(wait_.pump);
        // The pump is where the window learns it is closing; the request ends right after.
        if (wait_.abortCheck && wait_.abortCheck())
            throw RequestAborted(QStringLiteral("Request aborted"));
    }
}

void Transport::BeginRequest() {
    requestDeadline_ = SteadyClock::now() + std::chrono::milliseconds(wait_.requestDeadlineMs);
}

void Transport::EndRequest() noexcept {
    requestDeadline_ = SteadyClock::time_point::max();
}

void Transport::CheckRequestDeadline() const {
    if (SteadyClock::now() >= requestDeadline_)
        throw Failure(QStringLiteral("Request took too long"));
}

SteadyClock::time_point Transport::ReadDeadline() const {
    return SteadyClock::now() + std::chrono::milliseconds(wait_.readTimeoutMs);
}

void Transport::WaitReady(Direction direction, SteadyClock::time_point deadline, int pumpIntervalMs,
                          const char* timeoutMessage) {
    while (true) {
        PumpIfDue(pumpIntervalMs);
        const auto nextPump = lastPump_ + std::chrono::milliseconds(pumpIntervalMs);
        const auto until = std::min(deadline, requestDeadline_);
        const int timeout = std::min(MsUntil(until), MsUntil(nextPump));
        pollfd entry{fd_, static_cast<short>(direction == Direction::In ? POLLIN : POLLOUT), 0};
        const int rc = poll(&entry, 1, timeout);
        if (rc > 0)
            return;  // ready, or an error the next call reports
        if (rc < 0 && errno != EINTR)
            throw Failure(QStringLiteral("poll: ") + SystemError(errno));
        // The limit that came first names the failure.
        if (SteadyClock::now() >= until)
            throw Failure(deadline <= requestDeadline_ ? QString::fromLatin1(timeoutMessage)
                                                       : QStringLiteral("Request took too long"));
    }
}

void Transport::Connect(const QByteArray& host, int port) {
    Close();
    peer_ = (host.contains(':') ? "[" + host + "]" : host) + ':' + QByteArray::number(port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int resolved =
        getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found);
    if (resolved != 0)
        throw Failure(
            QStringLiteral("Cannot resolve host \"%1\": %2")
                .arg(QString::fromLatin1(host), QString::fromLocal8Bit(gai_strerror(resolved))));
    std::unique_ptr<addrinfo, void (*)(addrinfo*)> addresses(found, freeaddrinfo);

    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(wait_.connectTimeoutMs);
    QString lastError = QStringLiteral("no address");
    for (addrinfo* address = found; address; address = address->ai_next) {
        const int fd =
            socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                   address->ai_protocol);
        if (fd < 0) {
            lastError = SystemError(errno);
            continue;
        }
        fd_ = fd;
        if (::connect(fd, address->ai_addr, address->ai_addrlen) != 0) {
            if (errno != EINPROGRESS) {
                lastError = SystemError(errno);
                Close();
                continue;
            }
            WaitReady(Direction::Out, deadline, wait_.connectPumpIntervalMs, "Connect timed out");
            int error = 0;
            socklen_t length = sizeof error;
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
            if (error != 0) {
                lastError = SystemError(error);
                Close();
                continue;
            }
        }
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);  // requests are one write
        return;
    }
    throw Failure(
        QStringLiteral("Cannot connect to %1: %2").arg(QString::fromLatin1(peer_), lastError));
}

void Transport::StartTls(ssl_ctx_st* context, const QByteArray& serverName) {
    ssl_.reset(SSL_new(context));
    if (!ssl_ || SSL_set_fd(ssl_.get(), fd_) != 1)
        throw Failure(QStringLiteral("TLS set-up failed: ") + TlsError("no TLS session"));
    if (!IsIpAddress(serverName))
        SSL_set_tlsext_host_name(ssl_.get(), serverName.constData());
    const auto deadline = ReadDeadline();
    while (true) {
        const int rc = SSL_connect(ssl_.get());
        if (rc == 1)
            return;
        const int error = SSL_get_error(ssl_.get(), rc);
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
            WaitReady(error == SSL_ERROR_WANT_READ ? Direction::In : Direction::Out, deadline,
                      wait_.readPumpIntervalMs, "Read timed out");
            continue;
        }
        const int savedErrno = errno;
        QString why = TlsError("");
        if (why.isEmpty())
            why = error == SSL_ERROR_SYSCALL && savedErrno != 0
                      ? SystemError(savedErrno)
                      : QStringLiteral("connection closed");
        Close();
        throw Failure(QStringLiteral("TLS handshake with %1 failed: %2")
                          .arg(QString::fromLatin1(peer_), why));
    }
}

void Transport::Write(const QByteArray& bytes) {
    if (fd_ < 0)
        throw ConnectionClosed(QStringLiteral("Not connected"));
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    auto deadline = ReadDeadline();
    while (left > 0) {
        PumpIfDue(wait_.readPumpIntervalMs);
        CheckRequestDeadline();
        const int chunk = static_cast<int>(std::min<qsizetype>(left, 1 << 20));
        if (ssl_) {
            const int n = SSL_write(ssl_.get(), data, chunk);
            if (n > 0) {
                data += n;
                left -= n;
                deadline = ReadDeadline();
                continue;
            }
            const int error = SSL_get_error(ssl_.get(), n);
            if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
                WaitReady(error == SSL_ERROR_WANT_READ ? Direction::In : Direction::Out, deadline,
                          wait_.readPumpIntervalMs, "Write timed out");
                continue;
            }
            const int savedErrno = errno;
            ERR_clear_error();
            throw ConnectionClosed(QStringLiteral("Cannot send to %1: %2")
                                       .arg(QString::fromLatin1(peer_),
                                            savedErrno ? SystemError(savedErrno)
                                                       : QStringLiteral("connection closed")));
        }
        const ssize_t n = send(fd_, data, static_cast<size_t>(chunk), MSG_NOSIGNAL);
        if (n >= 0) {
            data += n;
            left -= n;
            deadline = ReadDeadline();
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            WaitReady(Direction::Out, deadline, wait_.readPumpIntervalMs, "Write timed out");
        } else if (errno != EINTR) {
            throw ConnectionClosed(QStringLiteral("Cannot send to %1: %2")
                                       .arg(QString::fromLatin1(peer_), SystemError(errno)));
        }
    }
}

qsizetype Transport::Read(char* data, qsizetype size) {
    if (fd_ < 0)
        throw ConnectionClosed(QStringLiteral("Not connected"));
    const int chunk = static_cast<int>(std::min<qsizetype>(size, 1 << 30));
    const auto deadline = ReadDeadline();
    while (true) {
        PumpIfDue(wait_.readPumpIntervalMs);
        CheckRequestDeadline();  // bytes that keep trickling in do not extend the request
        if (ssl_) {
            const int n = SSL_read(ssl_.get(), data, chunk);
            if (n > 0)
                return n;
            const int error = SSL_get_error(ssl_.get(), n);
            if (error == SSL_ERROR_ZERO_RETURN)
                return 0;
            const int savedErrno = errno;
            if (IsUnexpectedEnd(error, savedErrno)) {
                // The TCP connection ended without close_notify: an end, but perhaps not the
                // one the peer meant (bytes may have been cut off on the way).
                ERR_clear_error();
                endedCleanly_ = false;
                return 0;
            }
            if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
                WaitReady(error == SSL_ERROR_WANT_READ ? Direction::In : Direction::Out, deadline,
                          wait_.readPumpIntervalMs, "Read timed out");
                continue;
            }
            QString why = TlsError("");
            if (why.isEmpty())
                why = savedErrno ? SystemError(savedErrno) : QStringLiteral("connection closed");
            throw ConnectionClosed(
                QStringLiteral("Cannot read from %1: %2").arg(QString::fromLatin1(peer_), why));
        }
        const ssize_t n = recv(fd_, data, static_cast<size_t>(chunk), 0);
        if (n >= 0)
            return n;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            WaitReady(Direction::In, deadline, wait_.readPumpIntervalMs, "Read timed out");
        } else if (errno != EINTR) {
            throw ConnectionClosed(QStringLiteral("Cannot read from %1: %2")
                                       .arg(QString::fromLatin1(peer_), SystemError(errno)));
        }
    }
}

bool Transport::HasIncoming() const {
    if (fd_ < 0)
        return false;
    if (ssl_ && SSL_pending(ssl_.get()) > 0)
        return true;
    pollfd entry{fd_, POLLIN, 0};
    return poll(&entry, 1, 0) != 0;
}

}  // namespace quillorn
