#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace quillorn {
namespace {

TEST(TextEncodingTest, MarksAreDetectedInOrderAndStripped) {
    auto utf8 = DecodeByMark(QByteArray("\xEF\xBB\xBF\xD0\x9F", 5));
    EXPECT_EQ(utf8.encoding, TextEncoding::Utf8);
    EXPECT_TRUE(utf8.hadMark);
    EXPECT_EQ(utf8.text, QString::fromUtf8("П"));

    auto le = DecodeByMark(QByteArray("\xFF\xFE\x1F\x04", 4));
    EXPECT_EQ(le.encoding, TextEncoding::Utf16LE);
    EXPECT_EQ(le.text, QString::fromUtf8("П"));

    auto be = DecodeByMark(QByteArray("\xFE\xFF\x04\x1F", 4));
    EXPECT_EQ(be.encoding, TextEncoding::Utf16BE);
    EXPECT_EQ(be.text, QString::fromUtf8("П"));
}

TEST(TextEncodingTest, TextWithoutMarkIsWindows1251) {
    auto plain = DecodeByMark(QByteArray("\xCF\xF0\xE8", 3));
    EXPECT_EQ(plain.encoding, TextEncoding::Windows1251);
    EXPECT_FALSE(plain.hadMark);
    EXPECT_EQ(plain.text, QString::fromUtf8("При"));
}

TEST(TextEncodingTest, Windows1251RoundTripsEveryByte) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(EncodeWindows1251(DecodeWindows1251(all)), all);
}

// The table is the system's own on each platform; these bytes tell code pages apart.
TEST(TextEncodingTest, Windows1251IsTheCyrillicCodePage) {
    QByteArray cyrillic;
    QString expected;
    for (int b = 0xC0; b <= 0xFF; ++b) {
        cyrillic.append(static_cast<char>(b));
        expected.append(QChar(0x0410 + b - 0xC0));  // А to я in alphabet order
    }
    EXPECT_EQ(DecodeWindows1251(cyrillic), expected);
    EXPECT_EQ(DecodeWindows1251(QByteArray("\x80\x88\x98\xA8\xB8\xB9\x7F")),
              QString::fromUtf8("\xD0\x82\xE2\x82\xAC\xC2\x98\xD0\x81\xD1\x91\xE2\x84\x96\x7F"));
    EXPECT_EQ(EncodeWindows1251(QString::fromUtf8("Ёё№ é")), QByteArray("\xA8\xB8\xB9 ?"));
}

TEST(TextEncodingTest, UnmappableCharactersBecomeOneQuestionMarkEach) {
    EXPECT_EQ(EncodeWindows1251(QString::fromUtf8("a\xE2\x82\xAC\xE4\xB8\xAD"
                                                  "b\xF0\x9F\x98\x80"
                                                  "c")),
              QByteArray("a\x88?b?c"));
}

TEST(TextEncodingTest, EncodeWritesTheMarkOnlyWhenAsked) {
    const QString text = QString::fromUtf8("Ж");
    EXPECT_EQ(EncodeText(text, TextEncoding::Utf8, true), QByteArray("\xEF\xBB\xBF\xD0\x96"));
    EXPECT_EQ(EncodeText(text, TextEncoding::Utf16LE, true), QByteArray("\xFF\xFE\x16\x04", 4));
    EXPECT_EQ(EncodeText(text, TextEncoding::Utf16BE, false), QByteArray("\x04\x16", 2));
    EXPECT_EQ(EncodeText(text, TextEncoding::Windows1251, true), QByteArray("\xC6"));
}

TEST(TextEncodingTest, UnderAUtf8CodePageAFileWithoutMarkIsUtf8UnlessItIsNot) {
    const DecodedText utf8 = DecodeFile(QByteArray("\xD0\x9F\xD1\x80\xD0\xB8"), TextEncoding::Utf8);
    EXPECT_EQ(utf8.text, QString::fromUtf8("При"));
    EXPECT_EQ(utf8.encoding, TextEncoding::Utf8);
    EXPECT_FALSE(utf8.hadMark);

    // A file from the Windows program.
    const DecodedText ansi = DecodeFile(QByteArray("\xCF\xF0\xE8"), TextEncoding::Utf8);
    EXPECT_EQ(ansi.text, QString::fromUtf8("При"));
    EXPECT_EQ(ansi.encoding, TextEncoding::Windows1251);

    // A write cut in the middle of the last character leaves UTF-8 all the same.
    const DecodedText cut = DecodeFile(QByteArray("\xD0\x9F\r\n\xD1"), TextEncoding::Utf8);
    EXPECT_EQ(cut.text, QString::fromUtf8("П\r\n\xEF\xBF\xBD"));
    EXPECT_EQ(cut.encoding, TextEncoding::Utf8);

    EXPECT_EQ(DecodeFile(QByteArray("\xFF\xFE\x1F\x04", 4), TextEncoding::Utf8).encoding,
              TextEncoding::Utf16LE);
    EXPECT_EQ(DecodeFile(QByteArray("\xD0\x9F"), TextEncoding::Windows1251).text,
              QString::fromUtf8("Рџ"));
}

TEST(TextEncodingTest, AFileWithoutMarkThatWouldReadBackOtherwiseIsWrittenInUtf8WithItsMark) {
    const auto utf8WithMark = [](const QString& text) { return "\xEF\xBB\xBF" + text.toUtf8(); };
    struct Case {
        QString text;
        TextEncoding encoding;
        TextEncoding codePage;
        QByteArray bytes;
    } cases[] = {
        {QString::fromUtf8("Кафе"), TextEncoding::Windows1251, TextEncoding::Utf8,
         "\xCA\xE0\xF4\xE5"},
        {QString::fromUtf8("Кафе"), TextEncoding::Utf8, TextEncoding::Utf8,
         "\xD0\x9A\xD0\xB0\xD1\x84\xD0\xB5"},
        // D0 B8 is "и" in UTF-8.
        {QString::fromUtf8("Рё"), TextEncoding::Windows1251, TextEncoding::Utf8,
         utf8WithMark("Рё")},
        {QString::fromUtf8("Рё"), TextEncoding::Windows1251, TextEncoding::Windows1251, "\xD0\xB8"},
        {QString::fromUtf8("яюz"), TextEncoding::Windows1251, TextEncoding::Windows1251,
         utf8WithMark("яюz")},
        {QStringLiteral("\uFEFFx"), TextEncoding::Utf8, TextEncoding::Utf8,
         utf8WithMark(QStringLiteral("\uFEFFx"))},
        {QString::fromUtf8("日本"), TextEncoding::Windows1251, TextEncoding::Windows1251,
         utf8WithMark("日本")},
    };
    for (const Case& c : cases) {
        const EncodedFile file = EncodeFile(c.text, c.encoding, false, c.codePage);
        EXPECT_EQ(file.bytes, c.bytes) << c.text.toStdString();
        EXPECT_EQ(DecodeFile(file.bytes, c.codePage).text, c.text) << c.text.toStdString();
        EXPECT_EQ(file.withMark, c.bytes.startsWith("\xEF\xBB\xBF")) << c.text.toStdString();
    }
}

}  // namespace
}  // namespace quillorn
