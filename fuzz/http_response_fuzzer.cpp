// Arbitrary bytes as a server's answer: read the way the client reads a response (interim answers
// skipped, the body by its framing with a small cap), then decoded, with its Location resolved.
// The first byte sets how many bytes each read of the source hands over, so that lines, chunk
// sizes and bodies split at every possible place.
#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "net/BodyText.h"
#include "net/ResponseReader.h"
#include "net/Url.h"
#include "platform/Errors.h"

namespace {

class PiecewiseSource final : public quillorn::ByteSource {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const size_t piece = 1 + data[0] % 64;
    PiecewiseSource source(reinterpret_cast<const char*>(data) + 1, size - 1, piece);
    quillorn::ResponseReader reader(source, 1 << 16);
    try {
        for (int response = 0; response < 4; ++response) {
            quillorn::ResponseHead head = reader.ReadHead();
            while (head.code >= 100 && head.code < 200 && head.code != 101)
                head = reader.ReadHead();
            QByteArray body;
            const bool untilClose = reader.ReadBody(head, body);
            (void)quillorn::DecodeBody(head.Header("Content-Type"), body);
            const QByteArray location = head.Header("Location");
            if (!location.isEmpty()) {
                const quillorn::Url base = quillorn::ParseUrl(QStringLiteral("https://h:1/a/b?c"));
                (void)quillorn::ResolveLocation(base, QString::fromUtf8(location));
            }
            if (untilClose)
                break;
        }
    } catch (const quillorn::Failure&) {
        // A refused answer is the expected outcome for most inputs.
    }
    return 0;
}
