// Requests through a real forward proxy (tinyproxy with basic authentication): https through a
// CONNECT tunnel, http with the absolute URL as target, right and wrong credentials.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "net/HttpClient.h"
#include "net/RequestSettings.h"
#include "standin/LoopbackServer.h"
#include "tests/support/TinyproxyFixture.h"

namespace quillorn {
namespace {

using standin::AnswerOnce;
using standin::HttpRequest;
using standin::HttpResponse;
using standin::LoopbackServer;
using standin::ScriptStep;
using test::TinyproxyFixture;

class ProxyTest : public ::testing::Test {
protected:
    void SetUp() override {
        try {
            proxy = std::make_unique<TinyproxyFixture>();
        } catch (const std::exception& error) {
            FAIL() << error.what();
        }
        const auto answer = [](const HttpRequest& request) {
            return HttpResponse::Text("served " + request.target);
        };
        tlsServer.SetHandler(answer);
        plainServer.SetHandler(answer);
    }

    // A run's set-up with this first line in proxy.txt.
    RequestSetup RunWithProxyLine(const QString& line) {
        QFile file(dir.filePath(QStringLiteral("proxy.txt")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(line.toUtf8());
        file.close();
        return ApplyRequestSettings(client, AppDir(dir.path()), TextEncoding::Utf8);
    }

    QString WrongLine() const {
        return QStringLiteral("%1:wrong@127.0.0.1:%2")
            .arg(QString::fromUtf8(proxy->Login()))
            .arg(proxy->Port());
    }

    std::unique_ptr<TinyproxyFixture> proxy;
    LoopbackServer tlsServer{LoopbackServer::Transport::Tls};
    LoopbackServer plainServer;
    QTemporaryDir dir;
    HttpClient client;
};

TEST_F(ProxyTest, ReachesHttpsThroughATunnelWithoutShowingTheCredentialsToTheSite) {
    RunWithProxyLine(proxy->ProxyLine());

    EXPECT_EQ(client.Get(tlsServer.Url(QStringLiteral("/card?id=1"))),
              QStringLiteral("served /card?id=1"));
    EXPECT_EQ(client.Get(tlsServer.Url(QStringLiteral("/card?id=2"))),
              QStringLiteral("served /card?id=2"));

    const std::vector<HttpRequest> requests = tlsServer.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].connection, requests[1].connection);  // one tunnel for both
    EXPECT_EQ(requests[0].target, "/card?id=1");
    EXPECT_FALSE(requests[0].HasHeader("Proxy-Authorization"));
    EXPECT_EQ(requests[0].tlsVersion, "TLSv1.2");
}

TEST_F(ProxyTest, SendsHttpWithTheAbsoluteUrlAndCredentialsToTheProxy) {
    RunWithProxyLine(proxy->ProxyLine());

    const QString url = plainServer.Url(QStringLiteral("/page?a=%41"));
    EXPECT_EQ(client.Get(url), QStringLiteral("served /page?a=%41"));
    // tinyproxy has taken its credentials off and forwarded the origin-form request.
    EXPECT_FALSE(plainServer.Requests().at(0).HasHeader("Proxy-Authorization"));
}

TEST_F(ProxyTest, ReportsTheProxysRefusalOfWrongCredentials) {
    RunWithProxyLine(WrongLine());

    for (const QString& url :
         {tlsServer.Url(QStringLiteral("/")), plainServer.Url(QStringLiteral("/"))}) {
        try {
            client.Get(url);
            ADD_FAILURE() << "wrong credentials were accepted for " << url.toStdString();
        } catch (const HttpStatusError& error) {
            // tinyproxy refuses with 401 (other proxies say 407): the proxy's own status line.
            EXPECT_TRUE(error.Code() == 401 || error.Code() == 407) << error.what();
            EXPECT_EQ(error.Message(), client.ResponseText());
            EXPECT_EQ(client.ResponseCode(), error.Code());
        }
        client.ResetConnection();
    }
    EXPECT_EQ(tlsServer.RequestCount() + plainServer.RequestCount(), 0);
}

TEST_F(ProxyTest, UsesTheNewLoginOfALaterRunEvenOnAnOpenTunnel) {
    RunWithProxyLine(proxy->ProxyLine());
    client.Get(tlsServer.Url(QStringLiteral("/first-run")));

    RunWithProxyLine(WrongLine());  // no reset in between: the tunnel is still open
    EXPECT_THROW(client.Get(tlsServer.Url(QStringLiteral("/second-run"))), HttpStatusError);
    client.ResetConnection();

    RunWithProxyLine(proxy->ProxyLine());
    EXPECT_EQ(client.Get(tlsServer.Url(QStringLiteral("/third-run"))),
              QStringLiteral("served /third-run"));
    EXPECT_EQ(tlsServer.RequestCount(), 2);
}

TEST_F(ProxyTest, KeepsTheProxyOfAnEarlierRunWhenTheLineIsGone) {
    RunWithProxyLine(proxy->ProxyLine());
    QFile::remove(dir.filePath(QStringLiteral("proxy.txt")));
    EXPECT_FALSE(ApplyRequestSettings(client, AppDir(dir.path()), TextEncoding::Utf8).proxyApplied);

    client.Get(plainServer.Url(QStringLiteral("/via")));

    EXPECT_TRUE(proxy->Log().contains("/via")) << proxy->Log().constData();
}

// The CONNECT request itself, as a scripted stand-in proxy receives it.
TEST(ProxyTunnelRequestTest, CarriesItsHeadersInOrderAndFailsWithTheProxysStatusLine) {
    LoopbackServer fakeProxy;
    fakeProxy.AddScript(
        AnswerOnce("HTTP/1.1 403 Forbidden by policy\r\nContent-Length: 6\r\n\r\ndenied", false));
    HttpClient client;
    client.SetHeaders(
        {.userAgent = QStringLiteral("Agent/2"), .acceptLanguage = QStringLiteral("ru")});
    client.SetProxy({.server = QStringLiteral("127.0.0.1"),
                     .port = fakeProxy.Port(),
                     .username = QStringLiteral("us\u00E9r"),
                     .password = QStringLiteral("p:w"),
                     .basicAuthentication = true});

    try {
        client.Get(QStringLiteral("https://directory.example:8443/firm/1"));
        FAIL();
    } catch (const HttpStatusError& error) {
        EXPECT_EQ(error.Code(), 403);
        EXPECT_EQ(error.Message(), QStringLiteral("HTTP/1.1 403 Forbidden by policy"));
        EXPECT_EQ(error.Body(), QStringLiteral("denied"));
    }
    EXPECT_EQ(fakeProxy.Requests().at(0).raw,
              "CONNECT directory.example:8443 HTTP/1.1\r\n"
              "Pragma: no-cache\r\n"
              "Proxy-Connection: keep-alive\r\n"
              "Host: directory.example:8443\r\n"
              "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
              "User-Agent: Agent/2\r\n"
              "Proxy-Authorization: Basic " +
                  QByteArray("us\xE9r:p:w").toBase64() + "\r\n\r\n");
}

TEST(ProxyTunnelRequestTest, SendsHttpWithTheAbsoluteUrlAndHonoursProxyConnectionClose) {
    LoopbackServer fakeProxy;
    fakeProxy.SetHandler([](const HttpRequest& request) {
        HttpResponse response = HttpResponse::Text("via proxy");
        if (request.target.endsWith("/last"))
            response.WithHeader("Proxy-Connection", "close");
        return response;
    });
    HttpClient client;
    client.SetProxy({.server = QStringLiteral("127.0.0.1"),
                     .port = fakeProxy.Port(),
                     .username = QStringLiteral("u"),
                     .password = QStringLiteral("p"),
                     .basicAuthentication = true});

    EXPECT_EQ(client.Get(QStringLiteral("http://site.example/a?b=%41")),
              QStringLiteral("via proxy"));
    client.Get(QStringLiteral("http://other.example:8080/last"));
    client.Get(QStringLiteral("http://site.example/after"));

    const std::vector<HttpRequest> requests = fakeProxy.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].raw,
              "GET http://site.example/a?b=%41 HTTP/1.1\r\n"
              "Host: site.example\r\n"
              "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
              "Proxy-Authorization: Basic dTpw\r\n\r\n");
    EXPECT_EQ(requests[1].target, "http://other.example:8080/last");
    EXPECT_EQ(requests[0].connection, requests[1].connection);  // one proxy, one connection
    EXPECT_NE(requests[1].connection, requests[2].connection);
}

}  // namespace
}  // namespace quillorn
