// Taking a URL apart for the request line and the Host header, and resolving Location values.
#include <gtest/gtest.h>

#include "net/Url.h"
#include "platform/Errors.h"

namespace quillorn {
namespace {

TEST(UrlTest, TakesHostPortAndTargetAsWritten) {
    const Url url = ParseUrl(QStringLiteral("HTTPS://User:pw@Example.COM/a%2Fb?q=1&x=%zz#top"));
    EXPECT_TRUE(url.https);
    EXPECT_EQ(url.host, "example.com");
    EXPECT_EQ(url.port, 443);
    EXPECT_EQ(url.target, "/a%2Fb?q=1&x=%zz");
    EXPECT_EQ(url.HostHeader(), "example.com");
    EXPECT_EQ(url.Authority(), "example.com:443");

    EXPECT_EQ(ParseUrl(QStringLiteral("http://h:8080?x")).target, "/?x");
    EXPECT_EQ(ParseUrl(QStringLiteral("http://h:8080")).HostHeader(), "h:8080");
    EXPECT_EQ(ParseUrl(QStringLiteral("http://h:80/")).HostHeader(), "h");
    EXPECT_EQ(ParseUrl(QStringLiteral("http://[::1]:81/")).HostHeader(), "[::1]:81");
    EXPECT_EQ(ParseUrl(QStringLiteral("https://пример.рф/")).host, "xn--e1afmkfd.xn--p1ai");
}

TEST(UrlTest, RefusesWhatCannotBeRequested) {
    for (const QString& text :
         {QStringLiteral("ftp://h/"), QStringLiteral("h/path"), QStringLiteral("http:///x"),
          QStringLiteral("http://h:0/"), QStringLiteral("http://h:65536/"),
          QStringLiteral("http://h:8o/"), QStringLiteral("http://[::1/"),
          QStringLiteral("http://a b/"), QStringLiteral("http://h\r\nX: y/")}) {
        EXPECT_THROW(ParseUrl(text), Failure) << text.toStdString();
    }
}

TEST(UrlTest, ResolvesLocationsLikeABrowser) {
    const Url base = ParseUrl(QStringLiteral("https://site:8443/firm/card/1?tab=a"));
    const auto resolve = [&](const char* location) {
        return ResolveLocation(base, QByteArray(location)).Absolute();
    };
    EXPECT_EQ(resolve("2"), "https://site:8443/firm/card/2");
    EXPECT_EQ(resolve("./2/"), "https://site:8443/firm/card/2/");
    EXPECT_EQ(resolve("../../up?x"), "https://site:8443/up?x");
    EXPECT_EQ(resolve("../../../../too-far"), "https://site:8443/too-far");
    EXPECT_EQ(resolve("?tab=b"), "https://site:8443/firm/card/1?tab=b");
    EXPECT_EQ(resolve("#frag"), "https://site:8443/firm/card/1?tab=a");
    EXPECT_EQ(resolve("/root"), "https://site:8443/root");
    EXPECT_EQ(resolve("//other/x"), "https://other/x");
    EXPECT_EQ(resolve("http://plain/y"), "http://plain/y");
    EXPECT_EQ(resolve("/с пробелом"),
              "https://site:8443/%D1%81%20%D0%BF%D1%80%D0%BE%D0%B1%D0%B5%D0%BB%D0%BE%D0%BC");
    // Bytes that are not UTF-8 keep their value: the redirect goes where the server said.
    EXPECT_EQ(resolve("/\xE9t\xE9?q=\xFF"), "https://site:8443/%E9t%E9?q=%FF");
    EXPECT_EQ(resolve("https://other/\xD0\xB0\xE9"), "https://other/%D0%B0%E9");
    EXPECT_THROW(resolve("https://\xE9/"), Failure);
}

}  // namespace
}  // namespace quillorn
