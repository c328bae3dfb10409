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
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    EXPECT_EQ(EncodeWindows1251(DecodeWindows1251(all)), all);
}

TEST(TextEncodingTest, UnmappableCharactersBecomeOneQuestionMarkEach) {
    EXPECT_EQ(EncodeWindows1251(QString::fromUtf8("a\xE2\x82\xAC\xE4\xB8\xAD" "b\xF0\x9F\x98\x80" "c")),
              QByteArray("a\x88?b?c"));
}

TEST(TextEncodingTest, EncodeWritesTheMarkOnlyWhenAsked) {
    const QString text = QString::fromUtf8("Ж");
    EXPECT_EQ(EncodeText(text, TextEncoding::Utf8, true), QByteArray("\xEF\xBB\xBF\xD0\x96"));
    EXPECT_EQ(EncodeText(text, TextEncoding::Utf16LE, true), QByteArray("\xFF\xFE\x16\x04", 4));
    EXPECT_EQ(EncodeText(text, TextEncoding::Utf16BE, false), QByteArray("\x04\x16", 2));
    EXPECT_EQ(EncodeText(text, TextEncoding::Windows1251, true), QByteArray("\xC6"));
}

}  // namespace
}  // namespace quillorn
