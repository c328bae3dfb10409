// The client's cookie jar: the choice of cookies for a request, and its bounds under a flood.
#include <gtest/gtest.h>

#include <QNetworkCookieJar>

#include "net/CookieStore.h"

namespace quillorn {
namespace {

QList<QByteArray> Lines(const QString& prefix, int from, int count) {
    QList<QByteArray> lines;
    for (int i = from; i < from + count; ++i)
        lines.append(QStringLiteral("%1%2=v; Path=/").arg(prefix).arg(i).toLatin1());
    return lines;
}

QStringList Names(const QList<QNetworkCookie>& cookies) {
    QStringList names;
    for (const QNetworkCookie& cookie : cookies)
        names.append(QString::fromLatin1(cookie.name()));
    return names;
}

QStringList Expected(const QString& prefix, int from, int count) {
    QStringList names;
    for (int i = from; i < from + count; ++i)
        names.append(prefix + QString::number(i));
    return names;
}

// Whatever the bounds, the cookies a request carries and their order are those Qt's own jar
// picked: after every step, for every URL, both give the same Cookie header.
TEST(CookieStoreTest, PicksTheCookiesAndOrderQtsJarPicks) {
    const QList<QPair<const char*, const char*>> steps = {
        {"https://a.example.com/x/y/z", "a=1"},
        {"https://a.example.com/x/y/z", "b=2; Path=/x"},
        {"https://a.example.com/x/y/z", "c=3; Path=/x/"},
        {"https://a.example.com/x/y/z", "d=4; Domain=Example.com; Path=/"},
        {"https://a.example.com/x/y/z", "e=5; Domain=.a.example.com"},
        {"https://a.example.com/x/y/z", "f=6; Domain=other.com"},
        {"https://www.site.co.uk/", "g=7; Domain=co.uk"},
        {"https://www.site.co.uk/", "g=8; Domain=site.co.uk"},
        {"https://a.example.com/x/y/z", "h=8; Domain=b.a.example.com"},
        {"https://a.example.com/x/y/z", "a=9"},
        {"https://a.example.com/x/y/z", "s=1; Secure; Path=/"},
        {"https://a.example.com/x/y/z", "p=1; Path=relative"},
        {"https://a.example.com/x/y/z", "q=\"quoted v\"; Path="},
        {"https://a.example.com/x/y/z", "e=5; Domain=a.example.com; Max-Age=0"},
        {"https://a.example.com/x/y/z",
         "d=0; Domain=example.com; Expires=Thu, 01 Jan 1970 "
         "00:00:00 GMT"},
        {"https://a.example.com/x/y/z",
         "d=0; Domain=example.com; Path=/; Expires=Thu, 01 Jan 1970 "
         "00:00:00 GMT"},
        {"https://a.example.com/x/y/z", "b=0; Path=/x; Max-Age=0"},
        {"https://a.example.com/x/y/z", "t=1; Expires=Fri, 01 Jan 2100 00:00:00 GMT"},
        {"http://127.0.0.1:8080/a/b", "ip=1; Domain=127.0.0.1"},
        {"http://127.0.0.1:8080/a/b", "ip=2"},
        {"https://localhost/", "lh=1; Domain=localhost"},
        {"https://xn--e1afmkfd.xn--p1ai/", "idn=1; Domain=пример.рф"},
    };
    const QStringList urls = {
        "https://a.example.com/x/y/z", "http://A.EXAMPLE.com/x/y/", "https://a.example.com/x/y",
        "https://a.example.com/xy",    "https://a.example.com/x",   "https://b.a.example.com/x/y/q",
        "https://example.com/",        "https://other.co.uk/",      "https://x.site.co.uk/",
        "http://127.0.0.1:9/a/",       "https://localhost/a",       "https://пример.рф/",
    };
    CookieStore store;
    QNetworkCookieJar jar;
    for (const auto& [url, line] : steps) {
        store.Store({line}, QUrl(QString::fromUtf8(url)));
        jar.setCookiesFromUrl(QNetworkCookie::parseCookies(line), QUrl(QString::fromUtf8(url)));
        for (const QString& target : urls) {
            QByteArray expected;
            for (const QNetworkCookie& cookie : jar.cookiesForUrl(QUrl(target)))
                expected += (expected.isEmpty() ? "" : "; ") +
                            cookie.toRawForm(QNetworkCookie::NameAndValueOnly);
            EXPECT_EQ(store.HeaderFor(QUrl(target)), expected)
                << "after " << line << " for " << target.toStdString();
        }
    }
    EXPECT_EQ(store.HeaderFor(QUrl(QStringLiteral("https://a.example.com/x/y/z"))),
              "a=9; p=1; q=\"quoted v\"; t=1; c=3; s=1");
}

TEST(CookieStoreTest, BoundsAnAnswerADomainAndTheWholeStoreDroppingTheOldestFirst) {
    CookieStore store;
    const QUrl site(QStringLiteral("https://site.example/"));

    // One answer: only its first cookies count, the rest is ignored.
    store.Store(Lines(QStringLiteral("a"), 0, 30000), site);
    EXPECT_EQ(Names(store.CookiesFor(site)), Expected(QStringLiteral("a"), 0, 100));

    // A domain: the newest are kept; setting a cookie again makes it new.
    store.Store({"a0=again; Path=/"}, site);
    store.Store(Lines(QStringLiteral("b"), 0, 100), site);
    QStringList kept = Expected(QStringLiteral("a"), 21, 79);
    kept << QStringLiteral("a0") << Expected(QStringLiteral("b"), 0, 100);
    EXPECT_EQ(Names(store.CookiesFor(site)), kept);

    // The store: 3000 at most over every domain, the oldest domain's cookies going first.
    for (int host = 0; host < 40; ++host) {
        const QUrl url(QStringLiteral("https://h%1.example/").arg(host));
        store.Store(Lines(QStringLiteral("c"), 0, 100), url);
    }
    EXPECT_EQ(store.Count(), 3000);
    EXPECT_TRUE(store.CookiesFor(site).isEmpty());
    EXPECT_TRUE(store.CookiesFor(QUrl(QStringLiteral("https://h0.example/"))).isEmpty());
    EXPECT_EQ(store.CookiesFor(QUrl(QStringLiteral("https://h10.example/"))).size(), 100);

    // A cookie larger than a browser keeps is ignored, not cut.
    const QByteArray large = "big=" + QByteArray(4094, 'x');
    store.Store({large, "fits=" + QByteArray(4092, 'x')}, site);
    EXPECT_EQ(Names(store.CookiesFor(site)), QStringList{QStringLiteral("fits")});
}

}  // namespace
}  // namespace quillorn
