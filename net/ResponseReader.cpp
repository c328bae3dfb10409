#include "net/ResponseReader.h"

#include <QString>
#include <algorithm>

#include "net/MemoryAdvice.h"
#include "platform/HexDigits.h"

namespace quillorn {
namespace {

constexpr qsizetype kReadChunk = 64 * 1024;

[[noreturn]] void Malformed(const char* what) {
    throw Failure(QStringLiteral("Malformed response: ") + QLatin1String(what));
}

[[noreturn]] void ClosedEarly() {
    throw ConnectionClosed(QStringLiteral("Connection closed before the response was complete"));
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Content-Length: digits only; a repeated header or a list must agree on one value.
std::int64_t ContentLength(const ResponseHead& head) {
    std::int64_t length = -1;
    for (const QByteArray& value : head.Values("Content-Length")) {
        for (const QByteArray& item : value.split(',')) {
            const QByteArray digits = item.trimmed();
            if (digits.isEmpty() || digits.size() > 18 ||
                !std::all_of(digits.begin(), digits.end(),
                             [](char c) { return c >= '0' && c <= '9'; }))
                Malformed("invalid Content-Length");
            const std::int64_t parsed = digits.toLongLong();
            if (length >= 0 && parsed != length)
                Malformed("conflicting Content-Length values");
            length = parsed;
        }
    }
    return length;
}

// The transfer codings, last one last; empty without the header.
QByteArray LastTransferCoding(const ResponseHead& head) {
    QByteArray last;
    for (const QByteArray& value : head.Values("Transfer-Encoding")) {
        for (const QByteArray& item : value.split(',')) {
            const QByteArray coding = item.trimmed().toLower();
            if (!coding.isEmpty())
                last = coding;
        }
    }
    return last;
}

}  // namespace

QByteArray ResponseHead::Header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (SameName(key, name))
            return value;
    }
    return {};
}

QList<QByteArray> ResponseHead::Values(const QByteArray& name) const {
    QList<QByteArray> values;
    for (const auto& [key, value] : headers) {
        if (SameName(key, name))
            values.append(value);
    }
    return values;
}

bool ResponseHead::HasToken(const QByteArray& name, const QByteArray& token) const {
    for (const QByteArray& value : Values(name)) {
        for (const QByteArray& item : value.split(',')) {
            if (SameName(item.trimmed(), token))
                return true;
        }
    }
    return false;
}

int StatusCodeOf(const QByteArray& statusLine) {
    const QList<QByteArray> fields = statusLine.split(' ');
    qsizetype i = 0;
    while (i < fields.size() && fields[i].isEmpty())
        ++i;  // runs of spaces separate one field
    ++i;
    while (i < fields.size() && fields[i].isEmpty())
        ++i;
    if (i >= fields.size())
        return -1;
    QByteArray field = fields[i];
    const qsizetype dot = field.indexOf('.');
    if (dot >= 0)
        field.truncate(dot);
    const qsizetype digitsFrom = (!field.isEmpty() && (field[0] == '-' || field[0] == '+')) ? 1 : 0;
    if (field.size() == digitsFrom || !std::all_of(field.begin() + digitsFrom, field.end(),
                                                   [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    bool ok = false;
    const int code = field.toInt(&ok);
    return ok ? code : -1;
}

bool HasNoBody(int code) {
    return (code >= 100 && code < 200) || code == 204 || code == 304;
}

ResponseReader::ResponseReader(ByteSource& source, std::int64_t maxBodyBytes)
    : source_(source), maxBody_(maxBodyBytes) {}

bool ResponseReader::Fill() {
    if (pos_ > 0 && pos_ == buffer_.size()) {
        buffer_.clear();
        pos_ = 0;
    } else if (pos_ > kReadChunk) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
    const qsizetype used = buffer_.size();
    buffer_.resize(used + kReadChunk);
    const qsizetype n = source_.Read(buffer_.data() + used, kReadChunk);
    buffer_.resize(used + n);
    received_ += n;
    return n > 0;
}

QByteArray ResponseReader::ReadLine(qsizetype& headBudget) {
    qsizetype searchFrom = pos_;
    while (true) {
        const qsizetype end = buffer_.indexOf('\n', searchFrom);
        if (end >= 0) {
            const qsizetype length = end + 1 - pos_;
            if (length > kMaxLine)
                Malformed("header line too long");
            headBudget -= length;
            if (headBudget < 0)
                Malformed("header too large");
            QByteArray line = buffer_.mid(pos_, end - pos_);
            pos_ = end + 1;
            if (line.endsWith('\r'))
                line.chop(1);
            return line;
        }
        if (buffer_.size() - pos_ > kMaxLine)
            Malformed("header line too long");
        searchFrom = buffer_.size();
        const qsizetype before = pos_;
        if (!Fill())
            ClosedEarly();
        searchFrom -= before - pos_;  // Fill may have moved the unread bytes to the front
    }
}

ResponseHead ResponseReader::ReadHead() {
    qsizetype budget = kMaxHead;
    ResponseHead head;
    // Empty lines before a status line are tolerated (left over from an earlier response).
    do {
        head.statusLine = ReadLine(budget);
    } while (head.statusLine.isEmpty());
    head.code = StatusCodeOf(head.statusLine);
    while (true) {
        const QByteArray line = ReadLine(budget);
        if (line.isEmpty())
            return head;
        if ((line[0] == ' ' || line[0] == '\t') && !head.headers.isEmpty()) {
            head.headers.last().second += ' ' + line.trimmed();  // an old-style folded line
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;  // not a header: ignored
        head.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
}

void ResponseReader::CheckCap(std::int64_t bodyBytes) const {
    if (bodyBytes > maxBody_)
        throw Failure(QStringLiteral("Response too large"));
}

void ResponseReader::ReadExact(QByteArray& out, std::int64_t count) {
    const qsizetype from = std::min<qsizetype>(buffer_.size() - pos_, count);
    out.append(buffer_.constData() + pos_, from);
    pos_ += from;
    qsizetype left = static_cast<qsizetype>(count) - from;
    if (left == 0)
        return;
    // The rest goes straight into out: a large body is never copied through the buffer.
    qsizetype at = out.size();
    out.resize(at + left);
    AdviseLargeRegion(out.data() + at, left);
    while (left > 0) {
        const qsizetype n = source_.Read(out.data() + at, left);
        if (n == 0) {
            out.resize(at);
            ClosedEarly();
        }
        received_ += n;
        at += n;
        left -= n;
    }
}

void ResponseReader::ReadUntilClose(QByteArray& out, qsizetype start) {
    out.append(buffer_.constData() + pos_, buffer_.size() - pos_);
    pos_ = buffer_.size();
    CheckCap(out.size() - start);
    while (true) {
        if (out.capacity() - out.size() < kReadChunk)
            out.reserve(std::max(out.size() + kReadChunk, out.capacity() * 2));
        const qsizetype at = out.size();
        out.resize(at + kReadChunk);
        const qsizetype n = source_.Read(out.data() + at, kReadChunk);
        out.resize(at + n);
        received_ += n;
        if (n == 0) {
            if (!source_.EndedCleanly())
                throw CutOffBody(
                    QStringLiteral("Connection closed before the end of the response"));
            return;
        }
        CheckCap(out.size() - start);
    }
}

void ResponseReader::ReadChunked(QByteArray& out, qsizetype start) {
    qsizetype budget = kMaxHead;  // chunk-size lines and trailers share the head's limits
    while (true) {
        const QByteArray line = ReadLine(budget).trimmed();
        qsizetype end = 0;
        while (end < line.size() && IsHexDigit(static_cast<unsigned char>(line[end])))
            ++end;
        if (end == 0)
            Malformed("bad chunk size");
        if (end < line.size() && line[end] != ';' && line[end] != ' ' && line[end] != '\t')
            Malformed("bad chunk size");
        if (end > 15)
            throw Failure(QStringLiteral("Response too large"));
        const std::int64_t size = line.left(end).toLongLong(nullptr, 16);
        if (size == 0)
            break;
        CheckCap(out.size() - start + size);
        ReadExact(out, size);
        budget = kMaxHead;
        if (!ReadLine(budget).isEmpty())
            Malformed("chunk data longer than its size");
    }
    while (!ReadLine(budget).isEmpty()) {
        // trailer fields: not used
    }
}

bool ResponseReader::ReadBody(const ResponseHead& head, QByteArray& out) {
    if (HasNoBody(head.code))
        return false;
    const qsizetype start = out.size();
    try {
        const QByteArray coding = LastTransferCoding(head);
        if (coding == "chunked") {
            ReadChunked(out, start);
            return false;
        }
        if (coding.isEmpty()) {
            const std::int64_t length = ContentLength(head);
            if (length >= 0) {
                CheckCap(length);
                ReadExact(out, length);
                return false;
            }
        }
        ReadUntilClose(out, start);
        return true;
    } catch (...) {
        out.resize(start);
        throw;
    }
}

}  // namespace quillorn
