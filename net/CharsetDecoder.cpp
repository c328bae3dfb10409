#include "net/CharsetDecoder.h"

#include <iconv.h>

#include <QSysInfo>
#include <cerrno>
#include <memory>

namespace quillorn {
namespace {

struct IconvClose {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};

}  // namespace

std::optional<QString> DecodeWithSystemConverter(const QByteArray& name, const QByteArray& body) {
    const char* wide = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
    iconv_t handle = iconv_open(wide, name.constData());
    if (handle == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::unique_ptr<void, IconvClose> guard(handle);

    QString text(body.size() + 16, Qt::Uninitialized);
    char* in = const_cast<char*>(body.constData());
    size_t inLeft = static_cast<size_t>(body.size());
    qsizetype written = 0;
    while (true) {
        if (text.size() - written < 16)
            text.resize(text.size() * 2 + 16);
        char* out = reinterpret_cast<char*>(text.data() + written);
        size_t outLeft = static_cast<size_t>(text.size() - written) * 2;
        const size_t before = outLeft;
        const size_t rc = iconv(handle, inLeft ? &in : nullptr, &inLeft, &out, &outLeft);
        written += static_cast<qsizetype>((before - outLeft) / 2);
        if (rc != static_cast<size_t>(-1)) {
            if (inLeft == 0)
                break;
            continue;
        }
        if (errno == E2BIG)
            continue;
        // An invalid or truncated sequence: one replacement character, then go on after the byte.
        if (text.size() - written < 1)
            text.resize(text.size() + 16);
        text[written++] = QChar(QChar::ReplacementCharacter);
        ++in;
        --inLeft;
        if (inLeft == 0)
            break;
    }
    // Stateful encodings may hold a last character until they are told the input ended.
    if (text.size() - written < 16)
        text.resize(written + 16);
    char* out = reinterpret_cast<char*>(text.data() + written);
    size_t outLeft = static_cast<size_t>(text.size() - written) * 2;
    const size_t before = outLeft;
    iconv(handle, nullptr, nullptr, &out, &outLeft);
    written += static_cast<qsizetype>((before - outLeft) / 2);
    text.truncate(written);
    return text;
}

}  // namespace quillorn
