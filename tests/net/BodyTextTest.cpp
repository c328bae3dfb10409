// How a body becomes text: the header's charset, an HTML meta declaration, an XML declaration.
#include <gtest/gtest.h>

#include "net/BodyText.h"

namespace quillorn {
namespace {

const QByteArray kPrivet1251 = "\xEF\xF0\xE8\xE2\xE5\xF2";  // "привет" in Windows-1251
const QByteArray kPrivetKoi8 = "\xD0\xD2\xC9\xD7\xC5\xD4";  // "привет" in KOI8-R

TEST(BodyTextTest, UsesTheCharsetParameterOfTheContentType) {
    EXPECT_EQ(DecodeBody("text/plain; charset=windows-1251", kPrivet1251),
              QStringLiteral("привет"));
    EXPECT_EQ(DecodeBody("text/plain;Charset=\"UTF-8\"", "\xD0\xBF"), QStringLiteral("п"));
    EXPECT_EQ(DecodeBody("application/json; charset=koi8-r", kPrivetKoi8),
              QStringLiteral("привет"));
}

TEST(BodyTextTest, DecodesTheOtherCyrillicCharsetsAndUtf16) {
    EXPECT_EQ(DecodeBody("text/plain; charset=ISO-8859-5", "\xDF\xE0\xD8\xD2\xD5\xE2"),
              QStringLiteral("привет"));
    EXPECT_EQ(DecodeBody("text/plain; charset=ibm866", "\xAF\xE0\xA8\xA2\xA5\xE2"),
              QStringLiteral("привет"));
    EXPECT_EQ(DecodeBody("text/plain; charset=cp1251", kPrivet1251), QStringLiteral("привет"));
    // "utf-16" reads its byte-order mark, and takes the machine's order (little-endian) without
    // one.
    EXPECT_EQ(DecodeBody("text/plain; charset=utf-16", QByteArray("\xFE\xFF\x04\x3F\x04\x40", 6)),
              QStringLiteral("пр"));
    EXPECT_EQ(DecodeBody("text/plain; charset=utf-16", QByteArray("\x3F\x04\x40\x04", 4)),
              QStringLiteral("пр"));
    EXPECT_EQ(DecodeBody("text/plain; charset=utf-16le", QByteArray("\x3F\x04\x40\x04", 4)),
              QStringLiteral("пр"));
}

TEST(BodyTextTest, MapsEveryByteToTheSameNumberWithoutAKnownCharset) {
    QByteArray all;
    QString expected;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
        expected += QChar(b);
    }
    EXPECT_EQ(DecodeBody("text/plain", all), expected);
    EXPECT_EQ(DecodeBody("", all), expected);
    EXPECT_EQ(DecodeBody("text/plain; charset=no-such-set", all), expected);
    // Names that would give the converter options are no charset names.
    EXPECT_EQ(DecodeBody("text/plain; charset=UTF-8//IGNORE", all), expected);
}

TEST(BodyTextTest, LetsAnHtmlMetaElementReplaceTheHeadersCharset) {
    const QByteArray page =
        "<html><head><META Charset='windows-1251'></head><body>" + kPrivet1251 + "</body></html>";
    EXPECT_EQ(DecodeBody("text/html; charset=utf-8", page),
              "<html><head><META Charset='windows-1251'></head><body>" + QStringLiteral("привет") +
                  "</body></html>");

    const QByteArray equiv =
        "<meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=koi8-r\">" +
        kPrivetKoi8;
    EXPECT_TRUE(DecodeBody("application/xhtml+xml", equiv).endsWith(QStringLiteral("привет")));

    // Other elements and other types leave the header's word standing.
    const QByteArray metadata = "<metadata charset=koi8-r>" + kPrivet1251;
    EXPECT_TRUE(
        DecodeBody("text/html; charset=windows-1251", metadata).endsWith(QStringLiteral("привет")));
    EXPECT_TRUE(
        DecodeBody("text/plain; charset=windows-1251", "<meta charset=koi8-r>" + kPrivet1251)
            .endsWith(QStringLiteral("привет")));
}

TEST(BodyTextTest, LetsAnXmlDeclarationReplaceTheHeadersCharset) {
    const QByteArray document =
        "<?xml version=\"1.0\" encoding='windows-1251'?><a>" + kPrivet1251 + "</a>";
    const QString expected =
        "<?xml version=\"1.0\" encoding='windows-1251'?><a>" + QStringLiteral("привет") + "</a>";
    EXPECT_EQ(DecodeBody("application/xml; charset=utf-8", document), expected);
    EXPECT_EQ(DecodeBody("application/atom+xml", document), expected);
    // text/xml is a text type: its header decides.
    EXPECT_NE(DecodeBody("text/xml; charset=utf-8", document), expected);
}

TEST(BodyTextTest, ReplacesBytesTheCharsetCannotDecode) {
    EXPECT_EQ(DecodeBody("text/plain; charset=utf-8",
                         "a\xFF"
                         "b"),
              QStringLiteral("a\uFFFDb"));
    EXPECT_EQ(DecodeBody("text/plain; charset=shift_jis", "a\x82"),
              QStringLiteral("a\uFFFD"));  // a lead byte with nothing after it
    // The one position Windows-1251 leaves empty.
    EXPECT_EQ(DecodeBody("text/plain; charset=windows-1251",
                         "a\x98"
                         "b"),
              QStringLiteral("a\uFFFDb"));
}

}  // namespace
}  // namespace quillorn
