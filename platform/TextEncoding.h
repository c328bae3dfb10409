// Conversions between text and the bytes of the files Quillorn reads and writes: byte-order-mark
// detection, UTF-8, UTF-16 LE/BE and Windows-1251, the single-byte code page of the files brought
// over from Windows and of the review journal. Characters Windows-1251 cannot represent become '?'.
// Which encoding a file without a mark is in depends on the system's code page (SystemCodePage.h),
// which callers pass in.
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

// A file as Quillorn reads it under the code page (UTF-8 or Windows-1251): by its mark as above;
// without one in the code page, except that under UTF-8 bytes that are not UTF-8 are Windows-1251
// (a file brought over from Windows). A last character cut off at the very end (a write that was
// cut short) does not make a UTF-8 file Windows-1251; it reads as U+FFFD.
DecodedText DecodeFile(const QByteArray& bytes, TextEncoding codePage);

// What a file is written as: its bytes, and the encoding a reader will find in them.
struct EncodedFile {
    QByteArray bytes;
    TextEncoding encoding = TextEncoding::Utf8;
    bool withMark = false;
};

// The whole file holding text in the encoding, with its mark when withMark is set. A file without
// a mark that would not read back as text under the code page (a character Windows-1251 lacks,
// bytes that begin like a mark, single-byte bytes that happen to be UTF-8) is written in UTF-8
// with its mark instead, so that nothing written is lost or read back as something else.
EncodedFile EncodeFile(const QString& text, TextEncoding encoding, bool withMark,
                       TextEncoding codePage);

// The bytes of text in the encoding, preceded by its mark when withMark is set (Windows-1251 has
// none).
QByteArray EncodeText(const QString& text, TextEncoding encoding, bool withMark);

QByteArray ByteOrderMark(TextEncoding encoding);

QString DecodeWindows1251(const QByteArray& bytes);
QByteArray EncodeWindows1251(const QString& text);

}  // namespace quillorn
