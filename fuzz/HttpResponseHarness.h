// The client's reading of a response, driven by arbitrary bytes: shared by the fuzz target and
// the test that replays its saved inputs. The first byte sets how many bytes each read of the
// source hands over, so that lines, chunk sizes and bodies split at every possible place.
#pragma once

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "net/BodyText.h"
#include "net/ResponseReader.h"
#include "net/Url.h"
#include "platform/Errors.h"

namespace quillorn::fuzz {

class PiecewiseSource final : public ByteSource {
public:
    PiecewiseSource(const char* data, size_t size, size_t piece)
        : data_(data), size_(size), piece_(piece) {}
    qsizetype Read(char* out, qsizetype size) override {
        const size_t n = std::min({static_cast<size_t>(size), piece_, size_ - at_});
        std::memcpy(out, data_ + at_, n);
        at_ += n;
        return static_cast<qsizetype>(n);
    }

private:
    const char* data_;
    size_t size_;
    size_t piece_;
    size_t at_ = 0;
};

// Reads up to four responses the way the client does (interim answers skipped, bodies capped at
// 64 KiB), decodes each body and resolves its Location. Returns the bodies decoded before the
// input ran out or was refused.
inline int ReadResponses(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    PiecewiseSource source(reinterpret_cast<const char*>(data) + 1, size - 1, 1 + data[0] % 64);
    ResponseReader reader(source, 1 << 16);
    int decoded = 0;
    try {
        for (int response = 0; response < 4; ++response) {
            ResponseHead head = reader.ReadHead();
            while (head.code >= 100 && head.code < 200 && head.code != 101)
                head = reader.ReadHead();
            QByteArray body;
            const bool untilClose = reader.ReadBody(head, body);
            (void)DecodeBody(head.Header("Content-Type"), body);
            ++decoded;
            const QByteArray location = head.Header("Location");
            if (!location.isEmpty()) {
                const Url base = ParseUrl(QStringLiteral("https://h:1/a/b?c"));
                (void)ResolveLocation(base, location);  // the raw bytes, as the client passes them
            }
            if (untilClose)
                break;
        }
    } catch (const Failure&) {
        // A refused answer is the expected outcome for most inputs.
    }
    return decoded;
}

}  // namespace quillorn::fuzz
