#include "net/TlsStream.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <algorithm>

#include "net/Socket.h"
#include "net/SocketCalls.h"
#include "net/SocketWait.h"
#include "net/TlsError.h"

namespace quillorn {
namespace {

// Whether a failed SSL_read saw the TCP connection end without the peer's close_notify.
// savedError is the socket error of the failed call.
bool IsUnexpectedEnd(int error, int savedError) {
    const unsigned long code = ERR_peek_error();
    if (error == SSL_ERROR_SSL)
        return ERR_GET_LIB(code) == ERR_LIB_SSL &&
               ERR_GET_REASON(code) == SSL_R_UNEXPECTED_EOF_WHILE_READING;
    // Older libraries report it as a system error without an error number.
    return error == SSL_ERROR_SYSCALL && code == 0 && savedError == 0;
}

// Why a call failed: the library's queued error, else the system's, else a closed connection.
QString FailureCause(int savedError) {
    const QString queued = TakeTlsError("");
    if (!queued.isEmpty())
        return queued;
    return savedError != 0 ? SocketErrorText(savedError) : QStringLiteral("connection closed");
}

}  // namespace

void TlsStream::SslFree::operator()(ssl_st* ssl) const {
    SSL_free(ssl);
}

TlsStream::TlsStream(const Socket& socket, SocketWaiter& waiter, ssl_ctx_st* context,
                     const QByteArray& serverName)
    : socket_(socket), waiter_(waiter), ssl_(SSL_new(context)) {
    // The library takes a Windows SOCKET through the same int parameter.
    if (!ssl_ || SSL_set_fd(ssl_.get(), static_cast<int>(socket_.Handle())) != 1)
        throw Failure(QStringLiteral("TLS set-up failed: ") + TakeTlsError("no TLS session"));
    if (!IsNumericAddress(serverName))
        SSL_set_tlsext_host_name(ssl_.get(), serverName.constData());
    const auto deadline = waiter_.ReadDeadline();
    while (true) {
        const int rc = SSL_connect(ssl_.get());
        if (rc == 1)
            return;
        const int error = SSL_get_error(ssl_.get(), rc);
        const int savedError = LastSocketError();
        if (AwaitWant(error, deadline, "Read timed out"))
            continue;
        throw Failure(
            QStringLiteral("TLS handshake with %1 failed: %2")
                .arg(socket_.Peer(), FailureCause(error == SSL_ERROR_SYSCALL ? savedError : 0)));
    }
}

TlsStream::~TlsStream() {
    ssl_.reset();
    ERR_clear_error();
}

bool TlsStream::AwaitWant(int error, std::chrono::steady_clock::time_point deadline,
                          const char* timeoutMessage) {
    if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE)
        return false;
    waiter_.WaitReady(socket_.Handle(),
                      error == SSL_ERROR_WANT_READ ? WaitFor::Readable : WaitFor::Writable,
                      deadline, waiter_.Settings().readPumpIntervalMs, timeoutMessage);
    return true;
}

void TlsStream::Write(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    auto deadline = waiter_.ReadDeadline();
    while (left > 0) {
        waiter_.Checkpoint();
        const int chunk = static_cast<int>(std::min<qsizetype>(left, 1 << 20));
        const int n = SSL_write(ssl_.get(), data, chunk);
        if (n > 0) {
            data += n;
            left -= n;
            deadline = waiter_.ReadDeadline();
            continue;
        }
        const int error = SSL_get_error(ssl_.get(), n);
        const int savedError = LastSocketError();
        if (AwaitWant(error, deadline, "Write timed out"))
            continue;
        ERR_clear_error();
        throw ConnectionClosed(QStringLiteral("Cannot send to %1: %2")
                                   .arg(socket_.Peer(), savedError
                                                            ? SocketErrorText(savedError)
                                                            : QStringLiteral("connection closed")));
    }
}

qsizetype TlsStream::Read(char* data, qsizetype size) {
    const int chunk = static_cast<int>(std::min<qsizetype>(size, 1 << 30));
    const auto deadline = waiter_.ReadDeadline();
    while (true) {
        waiter_.Checkpoint();
        const int n = SSL_read(ssl_.get(), data, chunk);
        if (n > 0)
            return n;
        const int error = SSL_get_error(ssl_.get(), n);
        const int savedError = LastSocketError();
        if (error == SSL_ERROR_ZERO_RETURN)
            return 0;
        if (IsUnexpectedEnd(error, savedError)) {
            // The TCP connection ended without close_notify: an end, but perhaps not the one
            // the peer meant (bytes may have been cut off on the way).
            ERR_clear_error();
            endedCleanly_ = false;
            return 0;
        }
        if (AwaitWant(error, deadline, "Read timed out"))
            continue;
        throw ConnectionClosed(QStringLiteral("Cannot read from %1: %2")
                                   .arg(socket_.Peer(), FailureCause(savedError)));
    }
}

bool TlsStream::HasBuffered() const {
    return SSL_pending(ssl_.get()) > 0;
}

}  // namespace quillorn
