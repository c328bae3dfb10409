#include "platform/TextEncoding.h"

#include "platform/Windows1251Table.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <vector>

namespace quillorn {
namespace {

// Both directions of Windows-1251, from the system's table; the first byte of a code unit wins.
struct Cp1251Tables {
    std::array<char16_t, 256> toUnicode = Windows1251CodeUnits();
    std::vector<unsigned char> fromUnicode = std::vector<unsigned char>(0x10000, 0);
    std::vector<bool> mapped = std::vector<bool>(0x10000, false);

    Cp1251Tables() {
        for (int b = 0; b < 256; ++b) {
            const char16_t u = toUnicode[b];
            if (!mapped[u]) {
                mapped[u] = true;
                fromUnicode[u] = static_cast<unsigned char>(b);
            }
        }
    }
};

const Cp1251Tables& Tables() {
    static const Cp1251Tables tables;
    return tables;
}

constexpr auto kDecodeFlags =
    QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

// UTF-8 without a fault, or whose only fault is a sequence cut off at the very end: a decoder that
// keeps its state waits for the rest of such a sequence instead of calling it a fault.
bool IsUtf8ExceptACutEnd(QByteArrayView bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    // The decoder only looks at the bytes when its result is taken.
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace

QString DecodeWindows1251(const QByteArray& bytes) {
    const auto& t = Tables();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(t.toUnicode[static_cast<unsigned char>(bytes[i])]);
    return text;
}

QByteArray EncodeWindows1251(const QString& text) {
    const auto& t = Tables();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            bytes.append('?');  // one character outside the code page, one '?'
            ++i;
        } else if (t.mapped[u]) {
            bytes.append(static_cast<char>(t.fromUnicode[u]));
        } else {
            bytes.append('?');
        }
    }
    return bytes;
}

QByteArray ByteOrderMark(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return QByteArray("\xEF\xBB\xBF", 3);
        case TextEncoding::Utf16LE:
            return QByteArray("\xFF\xFE", 2);
        case TextEncoding::Utf16BE:
            return QByteArray("\xFE\xFF", 2);
        case TextEncoding::Windows1251:
            return {};
    }
    return {};
}

DecodedText DecodeByMark(const QByteArray& bytes) {
    return DecodeFile(bytes, TextEncoding::Windows1251);
}

DecodedText DecodeFile(const QByteArray& bytes, TextEncoding codePage) {
    // The mark is skipped here, once; a second one is text (U+FEFF), which Qt's decoders would
    // otherwise drop as well.
    constexpr auto flags = kDecodeFlags;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder d(QStringConverter::Utf8, flags);
        return {d.decode(QByteArrayView(bytes).sliced(3)), TextEncoding::Utf8, true};
    }
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder d(QStringConverter::Utf16LE, flags);
        return {d.decode(QByteArrayView(bytes).sliced(2)), TextEncoding::Utf16LE, true};
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder d(QStringConverter::Utf16BE, flags);
        return {d.decode(QByteArrayView(bytes).sliced(2)), TextEncoding::Utf16BE, true};
    }
    if (codePage == TextEncoding::Utf8) {
        QStringDecoder d(QStringConverter::Utf8, flags);
        QString text = d.decode(bytes);
        if (!d.hasError() || IsUtf8ExceptACutEnd(bytes))
            return {std::move(text), TextEncoding::Utf8, false};
    }
    return {DecodeWindows1251(bytes), TextEncoding::Windows1251, false};
}

EncodedFile EncodeFile(const QString& text, TextEncoding encoding, bool withMark,
                       TextEncoding codePage) {
    const bool marked = withMark && encoding != TextEncoding::Windows1251;
    QByteArray bytes = EncodeText(text, encoding, marked);
    // A mark says what follows; without one the reader has to guess, so the guess is checked.
    if (marked || DecodeFile(bytes, codePage).text == text)
        return {std::move(bytes), encoding, marked};
    return {EncodeText(text, TextEncoding::Utf8, true), TextEncoding::Utf8, true};
}

QByteArray EncodeText(const QString& text, TextEncoding encoding, bool withMark) {
    QByteArray bytes = withMark ? ByteOrderMark(encoding) : QByteArray();
    switch (encoding) {
        case TextEncoding::Utf8:
            bytes += text.toUtf8();
            break;
        case TextEncoding::Utf16LE: {
            QStringEncoder e(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
            bytes += e.encode(text);
            break;
        }
        case TextEncoding::Utf16BE: {
            QStringEncoder e(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
            bytes += e.encode(text);
            break;
        }
        case TextEncoding::Windows1251:
            bytes += EncodeWindows1251(text);
            break;
    }
    return bytes;
}

}  // namespace quillorn
