#include "net/Transport.h"

#include "net/PlainStream.h"
#include "net/TlsStream.h"

namespace quillorn {

Transport::Transport(const WaitSettings& wait) : waiter_(wait) {}

Transport::~Transport() {
    Close();
}

void Transport::Close() noexcept {
    stream_.reset();
    socket_.Close();
}

void Transport::Connect(const QByteArray& host, int port) {
    Close();
    socket_ = ConnectSocket(host, port, waiter_);
    stream_ = std::make_unique<PlainStream>(socket_, waiter_);
}

void Transport::StartTls(ssl_ctx_st* context, const QByteArray& serverName) {
    if (!socket_.IsOpen())
        throw ConnectionClosed(QStringLiteral("Not connected"));
    try {
        stream_ = std::make_unique<TlsStream>(socket_, waiter_, context, serverName);
    } catch (...) {
        Close();
        throw;
    }
}

ByteStream& Transport::OpenStream() const {
    if (!stream_)
        throw ConnectionClosed(QStringLiteral("Not connected"));
    return *stream_;
}

void Transport::Write(const QByteArray& bytes) {
    OpenStream().Write(bytes);
}

qsizetype Transport::Read(char* data, qsizetype size) {
    return OpenStream().Read(data, size);
}

bool Transport::EndedCleanly() const {
    return !stream_ || stream_->EndedCleanly();
}

bool Transport::HasIncoming() const {
    return stream_ && (stream_->HasBuffered() || socket_.HasIncoming());
}

}  // namespace quillorn
