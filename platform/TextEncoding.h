// Conversions between text and the bytes of the files Quillorn reads and writes: byte-order-mark
// detection, UTF-8, UTF-16 LE/BE and Windows-1251, the single-byte code page that stands in for the
// system's ANSI code page. Characters Windows-1251 cannot represent become '?'.
#pragma once

#include <QByteArray>
#include <QString>

namespace quillorn {

enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Windows1251 };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Windows1251;
    bool hadMark = false;
};

// Detects a mark in the order EF BB BF, FF FE, FE FF; without one the bytes are Windows-1251.
// The mark itself is not part of the text.
DecodedText DecodeByMark(const QByteArray& bytes);

// The bytes of text in the encoding, preceded by its mark when withMark is set (Windows-1251 has
// none).
QByteArray EncodeText(const QString& text, TextEncoding encoding, bool withMark);

QByteArray ByteOrderMark(TextEncoding encoding);

QString DecodeWindows1251(const QByteArray& bytes);
QByteArray EncodeWindows1251(const QString& text);

}  // namespace quillorn
