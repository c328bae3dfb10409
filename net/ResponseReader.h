// Reading HTTP/1.1 responses from a byte source: the status line and headers, then the body by
// chunked coding (extensions and trailers skipped), Content-Length, or the end of the connection.
// Hostile answers fail cleanly: header lines and heads have size limits, the body has a cap, and a
// connection that ends early is a ConnectionClosed failure, never a short body.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <cstdint>

#include "net/ByteStream.h"

namespace quillorn {

// A body that runs to the connection's end, cut off without the TLS peer's close_notify: some of
// it may be missing ("Connection closed before the end of the response").
class CutOffBody : public ConnectionClosed {
public:
    using ConnectionClosed::ConnectionClosed;
};

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

struct ResponseHead {
    QByteArray statusLine;  // as received, without its line end
    int code = -1;          // StatusCodeOf(statusLine)
    HeaderList headers;     // in the order received, values trimmed

    // The first value of the header (name compared without regard to case); empty when absent.
    QByteArray Header(const QByteArray& name) const;
    QList<QByteArray> Values(const QByteArray& name) const;
    // Whether a comma-separated value of the header equals token, without regard to case.
    bool HasToken(const QByteArray& name, const QByteArray& token) const;
    // An HTTP/1.0 status line: the connection closes after the response unless kept alive.
    bool IsHttp10() const { return statusLine.startsWith("HTTP/1.0"); }
};

// The status line's second space-separated field, cut at the first '.', as a decimal integer;
// -1 when that is not one.
int StatusCodeOf(const QByteArray& statusLine);

// Whether a response with this code has no body whatever its headers say (1xx, 204, 304).
bool HasNoBody(int code);

class ResponseReader {
public:
    static constexpr qsizetype kMaxLine = 64 * 1024;
    static constexpr qsizetype kMaxHead = 1024 * 1024;

    ResponseReader(ByteSource& source, std::int64_t maxBodyBytes);

    // One status line with its headers. Raises ConnectionClosed when the source ends first and
    // Failure for a head that is too large.
    ResponseHead ReadHead();
    // Appends the body of the response to out; true when it ran to the end of the connection.
    // The body is delimited by the last transfer coding when that is chunked; by the end of the
    // connection when it is any other coding (Content-Length is then ignored); else by
    // Content-Length, else by the end of the connection. Raises ConnectionClosed when the source
    // ends early, CutOffBody when a body delimited by the end ends uncleanly, Failure "Response
    // too large" past the cap (a chunk size of more than 15 hex digits included) and Failure for
    // a malformed length or chunk. On any failure out is as it was.
    bool ReadBody(const ResponseHead& head, QByteArray& out);

    // Bytes taken from the source so far.
    std::int64_t BytesReceived() const { return received_; }
    // Bytes received but not yet read: after a complete response, bytes nobody asked for.
    bool HasBuffered() const { return pos_ < buffer_.size(); }

private:
    bool Fill();
    QByteArray ReadLine(qsizetype& headBudget);
    void ReadExact(QByteArray& out, std::int64_t count);
    void ReadUntilClose(QByteArray& out, qsizetype start);
    void ReadChunked(QByteArray& out, qsizetype start);
    void CheckCap(std::int64_t bodyBytes) const;

    ByteSource& source_;
    std::int64_t maxBody_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    std::int64_t received_ = 0;
};

}  // namespace quillorn
