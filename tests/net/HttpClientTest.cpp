// The HTTP client against a real loopback server, over TLS unless the case is about plain HTTP.
#include <gtest/gtest.h>

#include <QMap>
#include <QThread>
#include <atomic>
#include <future>
#include <vector>

#include "net/CookieStore.h"
#include "net/HttpClient.h"
#include "net/SocketCalls.h"
#include "standin/LoopbackServer.h"

namespace quillorn {
namespace {

using standin::AnswerOnce;
using standin::HttpRequest;
using standin::HttpResponse;
using standin::LoopbackServer;
using standin::ScriptStep;

class HttpClientTest : public ::testing::Test {
protected:
    // A port that refuses connections: a server that was just stopped.
    static quint16 ClosedPort() {
        LoopbackServer gone;
        return gone.Port();
    }

    QString Url(const QString& target) const { return server.Url(target); }

    LoopbackServer server{LoopbackServer::Transport::Tls};
    HttpClient client;
};

TEST_F(HttpClientTest, ComposesTheGetWithItsHeadersInOrderAndNothingElse) {
    server.SetHandler([](const HttpRequest&) { return HttpResponse::Text("ok"); });
    client.SetHeaders({.userAgent = QStringLiteral("Agent/1.0"),
                       .acceptLanguage = QStringLiteral("ru-RU,ru;q=0.8")});

    client.Get(Url(QStringLiteral("/2.0/branches/7/reviews?limit=50&q=%D0%B0%20x")));

    const HttpRequest request = server.Requests().at(0);
    EXPECT_EQ(request.raw,
              "GET /2.0/branches/7/reviews?limit=50&q=%D0%B0%20x HTTP/1.1\r\n"
              "Host: 127.0.0.1:" +
                  QByteArray::number(server.Port()) +
                  "\r\n"
                  "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                  "Accept-Language: ru-RU,ru;q=0.8\r\n"
                  "User-Agent: Agent/1.0\r\n"
                  "\r\n");
    EXPECT_EQ(request.tlsVersion, "TLSv1.2");
}

TEST_F(HttpClientTest, LeavesOutHeadersWithoutValueAndEncodesOnlyWhatALineCannotCarry) {
    server.SetHandler([](const HttpRequest&) { return HttpResponse::Text("ok"); });

    client.Get(Url(QStringLiteral("/путь a?x=\"1\"#frag")));

    const HttpRequest request = server.Requests().at(0);
    EXPECT_EQ(request.target, "/%D0%BF%D1%83%D1%82%D1%8C%20a?x=\"1\"");
    EXPECT_EQ(request.HeaderNames(), (QList<QByteArray>{"Host", "Accept"}));
}

TEST_F(HttpClientTest, SendsTheUrlsHostAsServerNameAndOmitsTheDefaultPort) {
    server.SetHandler([](const HttpRequest&) { return HttpResponse::Text("ok"); });

    client.Get(QStringLiteral("https://localhost:%1/").arg(server.Port()));

    EXPECT_EQ(server.Requests().at(0).serverName, "localhost");
    EXPECT_EQ(server.Requests().at(0).Header("Host"),
              "localhost:" + QByteArray::number(server.Port()));
}

TEST_F(HttpClientTest, FollowsFourteenRedirectsAndFailsOnTheFifteenth) {
    // Fourteen redirects, then the final page.
    server.SetHandler([](const HttpRequest& request) {
        const int hop = request.Query().toInt();
        if (hop < 14)
            return HttpResponse::Status(302, "Found", "moved")
                .WithHeader("Location", "/hop?" + QByteArray::number(hop + 1));
        return HttpResponse::Text("final page");
    });
    EXPECT_EQ(client.Get(Url(QStringLiteral("/hop?0"))), QStringLiteral("final page"));
    EXPECT_EQ(server.RequestCount(), 15);

    server.ClearRequests();
    server.SetHandler([](const HttpRequest& request) {
        const int hop = request.Query().toInt();
        return HttpResponse::Status(301, "Moved Permanently")
            .WithHeader("Location", "/hop?" + QByteArray::number(hop + 1));
    });
    QByteArray stream = "before";
    try {
        client.Get(Url(QStringLiteral("/hop?0")), stream);
        FAIL() << "an endless chain must fail";
    } catch (const HttpStatusError&) {
        FAIL() << "too many redirects is no status error";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), QStringLiteral("Too many redirects"));
    }
    EXPECT_EQ(stream, "before");
    EXPECT_EQ(server.RequestCount(), 15);
}

TEST_F(HttpClientTest, ResolvesRelativeLocationsAgainstTheCurrentUrl) {
    const QByteArray port = QByteArray::number(server.Port());
    server.SetHandler([port](const HttpRequest& request) {
        const QMap<QByteArray, QByteArray> next = {
            {"/a/b/start", "sibling?x=1"},      // relative path
            {"/a/b/sibling?x=1", "../up"},      // dot segments
            {"/a/up", "?only=query"},           // query only
            {"/a/up?only=query", "/abs/path"},  // absolute path
            {"/abs/path", "//localhost:" + port + "/net"},
            {"/net", "/\xE9t\xE9"},  // not UTF-8: sent as the same bytes
        };
        if (next.contains(request.target))
            return HttpResponse::Status(307, "Temporary Redirect")
                .WithHeader("Location", next.value(request.target));
        return HttpResponse::Text("landed at " + request.target + " via " + request.Header("Host"));
    });

    EXPECT_EQ(client.Get(Url(QStringLiteral("/a/b/start"))),
              QStringLiteral("landed at /%E9t%E9 via localhost:%1").arg(server.Port()));
    QList<QByteArray> targets;
    for (const HttpRequest& request : server.Requests())
        targets.append(request.target);
    EXPECT_EQ(targets, (QList<QByteArray>{"/a/b/start", "/a/b/sibling?x=1", "/a/up",
                                          "/a/up?only=query", "/abs/path", "/net", "/%E9t%E9"}));
}

TEST_F(HttpClientTest, StreamHoldsOnlyTheFinalBodyAfterRedirectsAndKeepsWhatItHeld) {
    server.SetHandler([](const HttpRequest& request) {
        if (request.Path() == "/first")
            return HttpResponse::Status(302, "Found", "a body that must not show")
                .WithHeader("Location", "/second");
        return HttpResponse::Text("final");
    });
    QByteArray stream = "kept|";

    client.Get(Url(QStringLiteral("/first")), stream);

    EXPECT_EQ(stream, "kept|final");
}

TEST_F(HttpClientTest, RaisesStatusErrorsFor3xxWithoutLocationAnd304) {
    server.AddScript(AnswerOnce("HTTP/1.1 302 Found\r\nContent-Length: 4\r\n\r\nnope"));
    try {
        client.Get(Url(QStringLiteral("/x")));
        FAIL();
    } catch (const HttpStatusError& error) {
        EXPECT_EQ(error.Code(), 302);
        EXPECT_EQ(error.Message(), QStringLiteral("HTTP/1.1 302 Found"));
        EXPECT_EQ(error.Body(), QStringLiteral("nope"));
    }

    server.SetHandler([](const HttpRequest&) {
        return HttpResponse::Status(304, "Not Modified").WithHeader("Location", "/elsewhere");
    });
    try {
        client.Get(Url(QStringLiteral("/y")));
        FAIL();
    } catch (const HttpStatusError& error) {
        EXPECT_EQ(error.Code(), 304);
        EXPECT_EQ(client.ResponseCode(), 304);
    }
}

TEST_F(HttpClientTest, TreatsNoContentAndSwitchingProtocolsAsSuccessWithoutBody) {
    server.SetHandler([](const HttpRequest& request) {
        if (request.Path() == "/switch")
            return HttpResponse::Raw("HTTP/1.1 101 Switching Protocols\r\nUpgrade: x\r\n\r\n");
        return HttpResponse::Raw("HTTP/1.1 204 No Content\r\n\r\n");
    });
    QByteArray stream = "s";

    EXPECT_EQ(client.Get(Url(QStringLiteral("/empty"))), QString());
    client.Get(Url(QStringLiteral("/switch")), stream);

    EXPECT_EQ(stream, "s");
    EXPECT_EQ(client.ResponseCode(), 101);
}

TEST_F(HttpClientTest, SkipsInterimResponsesBeforeTheFinalOne) {
    server.AddScript(
        AnswerOnce("HTTP/1.1 100 Continue\r\n\r\n"
                   "HTTP/1.1 103 Early Hints\r\nLink: </s.css>\r\n\r\n"
                   "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello"));

    EXPECT_EQ(client.Get(Url(QStringLiteral("/"))), QStringLiteral("hello"));
    EXPECT_EQ(client.ResponseText(), QStringLiteral("HTTP/1.1 200 OK"));
}

TEST_F(HttpClientTest, KeepsTheCodeOfA429AcrossAFollowingConnectFailure) {
    server.AddScript(
        AnswerOnce("HTTP/1.1 429 Too Many Requests\r\nContent-Type: text/plain; charset=utf-8\r\n"
                   "Content-Length: 13\r\n\r\nslow \xD0\xB4\xD0\xB0\xD0\xB2\xD0\xB0"));
    try {
        client.Get(Url(QStringLiteral("/card")));
        FAIL();
    } catch (const HttpStatusError& error) {
        EXPECT_EQ(error.Code(), 429);
        EXPECT_EQ(error.Message(), QStringLiteral("HTTP/1.1 429 Too Many Requests"));
        EXPECT_EQ(error.Body(), QStringLiteral("slow дава"));
    }
    client.ResetConnection();

    EXPECT_THROW(client.Get(QStringLiteral("https://127.0.0.1:%1/").arg(ClosedPort())), Failure);
    EXPECT_EQ(client.ResponseCode(), 429);
    EXPECT_EQ(client.ResponseText(), QStringLiteral("HTTP/1.1 429 Too Many Requests"));
}

TEST_F(HttpClientTest, ParsesTheCodeFromTheSecondFieldCutAtItsDot) {
    const QList<QPair<QByteArray, int>> lines = {
        {"HTTP/1.1 200.7 Fine", 200},   {"HTTP/1.1  201 Created", 201},
        {"HTTP/1.1 abc Bad", -1},       {"GARBAGE", -1},
        {"HTTP/1.1 99999999999 x", -1},
    };
    for (const auto& [line, code] : lines) {
        server.AddScript(AnswerOnce(line + "\r\nContent-Length: 2\r\n\r\nok", true));
        try {
            client.Get(Url(QStringLiteral("/")));
            EXPECT_EQ(code / 100, 2) << line.constData();
        } catch (const HttpStatusError& error) {
            EXPECT_EQ(error.Code(), code) << line.constData();
            EXPECT_EQ(error.Message(), QString::fromLatin1(line));
        }
        EXPECT_EQ(client.ResponseCode(), code) << line.constData();
        EXPECT_EQ(client.ResponseText(), QString::fromLatin1(line));
    }
}

TEST_F(HttpClientTest, ReadsChunkedBodiesWithExtensionsAndTrailers) {
    server.AddScript(
        AnswerOnce("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                   "5;name=value\r\nhello\r\n"
                   "1\r\n \r\n"
                   "A  ; ext\r\n0123456789\r\n"
                   "0\r\nX-Trailer: yes\r\nX-Other: 1\r\n\r\n"));
    server.SetHandler([](const HttpRequest&) { return HttpResponse::Text("second"); });

    EXPECT_EQ(client.Get(Url(QStringLiteral("/"))), QStringLiteral("hello 0123456789"));
    // The connection stayed usable after the trailers.
    EXPECT_EQ(client.Get(Url(QStringLiteral("/next"))), QStringLiteral("second"));
    EXPECT_EQ(server.ConnectionCount(), 1);
}

TEST_F(HttpClientTest, ReusesOneConnectionWhileThePeerStaysTheSame) {
    server.SetHandler(
        [](const HttpRequest& request) { return HttpResponse::Text(request.target); });
    LoopbackServer plain;
    plain.SetHandler([](const HttpRequest&) { return HttpResponse::Text("plain"); });

    client.Get(Url(QStringLiteral("/1")));
    client.Get(Url(QStringLiteral("/2")));
    client.Get(plain.Url(QStringLiteral("/other")));
    client.Get(Url(QStringLiteral("/3")));

    const std::vector<HttpRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].connection, requests[1].connection);
    EXPECT_NE(requests[1].connection, requests[2].connection);  // the peer changed in between
}

TEST_F(HttpClientTest, ClosesTheConnectionWhenTheResponseSaysSo) {
    server.SetHandler([](const HttpRequest& request) {
        HttpResponse response = HttpResponse::Text("x");
        if (request.Path() == "/close")
            response.WithHeader("Connection", "Close");
        return response;
    });

    client.Get(Url(QStringLiteral("/close")));
    client.Get(Url(QStringLiteral("/after")));

    EXPECT_EQ(server.ConnectionCount(), 2);
}

TEST_F(HttpClientTest, ReadsABodyThatEndsWithTheConnection) {
    server.AddScript({ScriptStep::ReadRequest(),
                      ScriptStep::SendSlowly("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n"
                                             "until the very end",
                                             7, 5),
                      ScriptStep::Close()});
    // A coding other than chunked has no length of its own: Content-Length does not cut it.
    server.AddScript(AnswerOnce(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\nContent-Length: 2\r\n\r\nwhole", true));
    server.SetHandler([](const HttpRequest&) { return HttpResponse::Text("fresh"); });

    EXPECT_EQ(client.Get(Url(QStringLiteral("/"))), QStringLiteral("until the very end"));
    EXPECT_EQ(client.Get(Url(QStringLiteral("/"))), QStringLiteral("whole"));
    EXPECT_EQ(client.Get(Url(QStringLiteral("/"))), QStringLiteral("fresh"));
    EXPECT_EQ(server.ConnectionCount(), 3);
}

TEST_F(HttpClientTest, RefusesABodyCutOffWithoutTheTlsPeersCloseNotify) {
    const auto cutAfter = [](QByteArray answer) {
        return standin::ConnectionScript{ScriptStep::ReadRequest(),
                                         ScriptStep::Send(std::move(answer)),
                                         ScriptStep::CloseWithoutNotify()};
    };
    server.AddScript(cutAfter("HTTP/1.1 200 OK\r\n\r\nthe first half"));
    server.AddScript(cutAfter("HTTP/1.1 503 Busy\r\n\r\ntry la"));
    server.AddScript(cutAfter("HTTP/1.1 302 Found\r\nLocation: /final\r\n\r\nmov"));
    server.SetHandler([](const HttpRequest&) { return HttpResponse::Text("final"); });
    QByteArray stream = "kept";

    try {
        client.Get(Url(QStringLiteral("/")), stream);
        ADD_FAILURE() << "a cut-off body was delivered";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(),
                  QStringLiteral("Connection closed before the end of the response"));
    }
    EXPECT_EQ(stream, "kept");
    // Bodies that are not delivered may be cut: the error and the redirect stand.
    EXPECT_THROW(client.Get(Url(QStringLiteral("/busy"))), HttpStatusError);
    EXPECT_EQ(client.ResponseCode(), 503);
    EXPECT_EQ(client.Get(Url(QStringLiteral("/moved"))), QStringLiteral("final"));
}

TEST_F(HttpClientTest, SendsAgainOnANewConnectionWhenTheIdleOneWasClosed) {
    // The first connection answers once and closes without saying so.
    server.AddScript(AnswerOnce("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\none", true));
    server.SetHandler([](const HttpRequest&) { return HttpResponse::Text("two"); });

    EXPECT_EQ(client.Get(Url(QStringLiteral("/1"))), QStringLiteral("one"));
    ASSERT_TRUE(server.WaitForConnections(1, 1000));
    EXPECT_EQ(client.Get(Url(QStringLiteral("/2"))), QStringLiteral("two"));
    EXPECT_EQ(server.ConnectionCount(), 2);
}

TEST_F(HttpClientTest, FailsWithoutPartialResultWhenTheBodyIsShorterThanItsLength) {
    server.AddScript(AnswerOnce("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly a part", true));
    QByteArray stream = "old";

    try {
        client.Get(Url(QStringLiteral("/")), stream);
        FAIL();
    } catch (const HttpStatusError&) {
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(),
                  QStringLiteral("Connection closed before the response was complete"));
    }
    EXPECT_EQ(stream, "old");
}

TEST_F(HttpClientTest, RejectsHostileAnswers) {
    const QList<QPair<QByteArray, QString>> answers = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n\r\n",
         QStringLiteral("Malformed response: invalid Content-Length")},
        {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd",
         QStringLiteral("Malformed response: conflicting Content-Length values")},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
         QStringLiteral("Malformed response: bad chunk size")},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabcdef\r\n",
         QStringLiteral("Malformed response: chunk data longer than its size")},
        // A size past 64 bits must not wrap round to a last chunk.
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10000000000000000\r\n\r\n",
         QStringLiteral("Response too large")},
        {"HTTP/1.1 200 OK\r\nX: " + QByteArray(70000, 'a') + "\r\n\r\n",
         QStringLiteral("Malformed response: header line too long")},
        {QByteArray(100000, '\x01'), QStringLiteral("Malformed response: header line too long")},
        {"", QStringLiteral("Connection closed before the response was complete")},
    };
    for (const auto& [answer, message] : answers) {
        server.AddScript(AnswerOnce(answer, true));
        try {
            client.Get(Url(QStringLiteral("/")));
            ADD_FAILURE() << "accepted: " << answer.left(60).constData();
        } catch (const HttpStatusError&) {
            ADD_FAILURE() << "status error for: " << answer.left(60).constData();
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Message(), message);
        }
    }
}

TEST_F(HttpClientTest, CapsTheBodyOfEndlessAndOversizedAnswers) {
    client.SetLimits({.maxBodyBytes = 64 * 1024});
    QByteArray endless = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (int i = 0; i < 200; ++i)
        endless += "400\r\n" + QByteArray(1024, 'z') + "\r\n";
    server.AddScript({ScriptStep::ReadRequest(), ScriptStep::Send(endless), ScriptStep::Stall()});
    server.AddScript(AnswerOnce("HTTP/1.1 200 OK\r\nContent-Length: 999999999\r\n\r\n"));
    server.AddScript({ScriptStep::ReadRequest(),
                      ScriptStep::Send("HTTP/1.1 200 OK\r\n\r\n" + QByteArray(100000, 'c')),
                      ScriptStep::Stall()});

    for (int i = 0; i < 3; ++i) {
        QByteArray stream;
        try {
            client.Get(Url(QStringLiteral("/")), stream);
            ADD_FAILURE() << "case " << i << " was accepted";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Message(), QStringLiteral("Response too large")) << i;
        }
        EXPECT_TRUE(stream.isEmpty());
    }
}

TEST_F(HttpClientTest, GivesUpOnAStalledServerWhileServicingTheWindow) {
    int pumps = 0;
    client.SetEventPump([&] { ++pumps; });
    client.SetLimits({.readTimeoutMs = 700});
    server.AddScript({ScriptStep::ReadRequest(),
                      ScriptStep::Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc"),
                      ScriptStep::Stall()});

    try {
        client.Get(Url(QStringLiteral("/")));
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), QStringLiteral("Read timed out"));
    }
    EXPECT_GE(pumps, 2);  // every 250 ms of the 700 ms wait
}

TEST_F(HttpClientTest, EndsARequestThatOutlastsItsDeadlineHoweverBytesTrickle) {
    // Every byte arrives well within the read time-out, in the head and then in the body; then a
    // handshake that never finishes.
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 60\r\n\r\n";
    server.AddScript({ScriptStep::ReadRequest(), ScriptStep::SendSlowly(head, 1, 40)});
    server.AddScript({ScriptStep::ReadRequest(), ScriptStep::Send(head),
                      ScriptStep::SendSlowly(QByteArray(60, 'b'), 1, 40)});
    LoopbackServer silent;
    silent.AddScript({ScriptStep::Stall()});
    client.SetLimits({.readTimeoutMs = 5000, .requestDeadlineMs = 600});

    for (const QString& url : {Url(QStringLiteral("/head")), Url(QStringLiteral("/body")),
                               QStringLiteral("https://127.0.0.1:%1/").arg(silent.Port())}) {
        QByteArray stream = "kept";
        try {
            client.Get(url, stream);
            ADD_FAILURE() << "completed: " << url.toStdString();
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Message(), QStringLiteral("Request took too long"))
                << url.toStdString();
        }
        EXPECT_EQ(stream, "kept");
    }
}

TEST_F(HttpClientTest, AbandonsAStalledRequestRightAfterThePumpThatAsksForIt) {
    // The window closes during the third pump of a stalled read, then of a stalled handshake.
    LoopbackServer silent;
    silent.AddScript({ScriptStep::Stall()});
    server.AddScript({ScriptStep::ReadRequest(),
                      ScriptStep::Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc"),
                      ScriptStep::Stall()});
    server.SetHandler([](const HttpRequest&) { return HttpResponse::Text("fresh"); });
    client.SetLimits(
        {.readTimeoutMs = 5000});  // a check that is never asked ends in a time-out instead
    int pumps = 0;
    bool closing = false;
    client.SetEventPump([&] { closing = ++pumps == 3; });
    client.SetAbortCheck([&] { return closing; });

    for (const QString& url :
         {Url(QStringLiteral("/")), QStringLiteral("https://127.0.0.1:%1/").arg(silent.Port())}) {
        pumps = 0;
        QByteArray stream = "kept";
        try {
            client.Get(url, stream);
            ADD_FAILURE() << "completed";
        } catch (const Failure& failure) {
            ADD_FAILURE() << "caught as a failure: " << failure.what();
        } catch (const RequestAborted& aborted) {
            EXPECT_EQ(aborted.Message(), QStringLiteral("Request aborted"));
        }
        EXPECT_EQ(pumps, 3);  // no wait after the pump that asked
        EXPECT_EQ(stream, "kept");
    }
    closing = false;
    client.SetEventPump({});
    EXPECT_EQ(client.Get(Url(QStringLiteral("/after"))), QStringLiteral("fresh"));
    EXPECT_EQ(server.ConnectionCount(), 2);  // the abandoned connection was not reused
}

TEST_F(HttpClientTest, ServicesTheWindowWhileASlowAnswerArrives) {
    int pumps = 0;
    client.SetEventPump([&] { ++pumps; });
    server.AddScript(
        {ScriptStep::ReadRequest(),
         ScriptStep::SendSlowly("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nslow", 10, 200)});

    EXPECT_EQ(client.Get(Url(QStringLiteral("/"))), QStringLiteral("slow"));
    EXPECT_GE(pumps, 1);
}

// A name server that answers only when the test lets it: 127.0.0.1 for every name, or nothing.
class HeldNameServer {
public:
    decltype(WaitSettings::resolver) Resolver() const {
        return
            [state = state_](const char*, const char* service, const addrinfo*, addrinfo** found) {
                ++state->asked;
                state->answer.wait();
                const int code = LookUpNumeric("127.0.0.1", service, found);
                ++state->answered;
                return code;
            };
    }
    void Answer() { state_->release.set_value(); }
    // Every lookup has returned, including those the client gave up on.
    bool AllAnswered() const {
        for (int i = 0; i < 500 && state_->answered < state_->asked; ++i)
            QThread::msleep(10);
        return state_->answered == state_->asked;
    }

private:
    struct State {
        std::promise<void> release;
        std::shared_future<void> answer = release.get_future().share();
        std::atomic<int> asked = 0;
        std::atomic<int> answered = 0;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

TEST_F(HttpClientTest, WaitsForTheNameServerAsForAConnection) {
    HeldNameServer names;
    client.SetResolver(names.Resolver());
    const QString url = QStringLiteral("https://directory.test:%1/").arg(server.Port());
    int pumps = 0;
    bool closing = false;
    client.SetEventPump([&] { closing = ++pumps == 2; });
    client.SetAbortCheck([&] { return closing; });
    EXPECT_THROW(client.Get(url), RequestAborted);  // the window closed during the lookup
    EXPECT_EQ(pumps, 2);

    pumps = 0;
    closing = false;
    client.SetEventPump([&] { ++pumps; });
    client.SetLimits({.connectTimeoutMs = 600});
    try {
        client.Get(url);
        ADD_FAILURE() << "resolved";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), QStringLiteral("Connect timed out"));
    }
    EXPECT_GE(pumps, 3);  // every 125 ms of the 600 ms

    names.Answer();
    server.SetHandler([](const HttpRequest&) { return HttpResponse::Text("found"); });
    EXPECT_EQ(client.Get(url), QStringLiteral("found"));
    EXPECT_TRUE(names.AllAnswered());  // the abandoned lookups ended on their own
}

TEST_F(HttpClientTest, AHostTheNameServerDoesNotKnowFailsWithItsWords) {
    // The system's code for a name it does not know: a name is no numeric address.
    addrinfo* none = nullptr;
    const int unknown = LookUpNumeric("nowhere.test", "443", &none);
    ASSERT_NE(unknown, 0);
    client.SetResolver(
        [unknown](const char*, const char*, const addrinfo*, addrinfo**) { return unknown; });
    try {
        client.Get(QStringLiteral("https://nowhere.test/"));
        ADD_FAILURE() << "resolved";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), QStringLiteral("Cannot resolve host \"nowhere.test\": ") +
                                         LookupErrorText(unknown));
    }
}

TEST_F(HttpClientTest, RefusesAGetStartedFromTheEventPump) {
    server.AddScript({ScriptStep::ReadRequest(), ScriptStep::Pause(400),
                      ScriptStep::Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")});
    QString nested;
    client.SetEventPump([&] {
        if (!nested.isEmpty())
            return;
        try {
            client.Get(Url(QStringLiteral("/nested")));
            nested = QStringLiteral("ran");
        } catch (const Failure& failure) {
            nested = failure.Message();
        }
    });

    EXPECT_EQ(client.Get(Url(QStringLiteral("/outer"))), QStringLiteral("ok"));
    EXPECT_EQ(nested, QStringLiteral("A request is already in progress"));
}

TEST_F(HttpClientTest, KeepsCookiesFromEveryResponseAndSendsThemWhereTheyMatch) {
    LoopbackServer plain;
    plain.SetHandler([](const HttpRequest&) { return HttpResponse::Text("plain"); });
    server.SetHandler([](const HttpRequest& request) {
        if (request.Path() == "/login")
            return HttpResponse::Status(302, "Found")
                .WithHeader("Set-Cookie", "session=abc; Path=/")
                .WithHeader("Set-Cookie", "secret=s1; Path=/; Secure")
                .WithHeader("Location", "/cards/1");
        if (request.Path() == "/missing")
            return HttpResponse::Status(404, "Not Found")
                .WithHeader("Set-Cookie", "seen404=yes; Path=/cards");
        return HttpResponse::Text("card");
    });

    client.Get(Url(QStringLiteral("/login")));  // the redirect's cookies reach the next hop
    EXPECT_THROW(client.Get(Url(QStringLiteral("/missing"))), HttpStatusError);
    client.Get(Url(QStringLiteral("/cards/2")));
    client.Get(Url(QStringLiteral("/other")));
    client.Get(plain.Url(QStringLiteral("/cards/3")));

    const std::vector<HttpRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_FALSE(requests[0].HasHeader("Cookie"));
    EXPECT_EQ(requests[1].Header("Cookie"), "session=abc; secret=s1");
    EXPECT_EQ(requests[3].Header("Cookie"), "seen404=yes; session=abc; secret=s1");
    EXPECT_EQ(requests[4].Header("Cookie"), "session=abc; secret=s1");  // path /cards only
    // Plain HTTP to the same host: the secure cookie stays home.
    EXPECT_EQ(plain.Requests().at(0).Header("Cookie"), "seen404=yes; session=abc");
    EXPECT_EQ(plain.Requests().at(0).HeaderNames().last(), "Cookie");
}

TEST_F(HttpClientTest, KeepsTheNewestCookiesOfAFloodWithinBounds) {
    // Four redirects of 15,000 cookies each, then the page.
    server.SetHandler([](const HttpRequest& request) {
        const int hop = request.Query().toInt();
        if (hop == 4)
            return HttpResponse::Text("page");
        HttpResponse response =
            HttpResponse::Status(302, "Found")
                .WithHeader("Location", "/flood?" + QByteArray::number(hop + 1));
        for (int i = 0; i < 15000; ++i)
            response.WithHeader("Set-Cookie",
                                QStringLiteral("r%1_%2=v; Path=/").arg(hop).arg(i).toLatin1());
        return response;
    });

    EXPECT_EQ(client.Get(Url(QStringLiteral("/flood?0"))), QStringLiteral("page"));
    client.Get(Url(QStringLiteral("/flood?4")));

    // Each answer set its first hundred; the domain keeps the newest 180 of them.
    QByteArray expected;
    for (int hop = 0; hop < 4; ++hop) {
        for (int i = 0; i < CookieStore::kMaxPerAnswer; ++i) {
            const int newer = (3 - hop) * CookieStore::kMaxPerAnswer + (99 - i);
            if (newer < CookieStore::kMaxPerDomain)
                expected += (expected.isEmpty() ? "" : "; ") +
                            QStringLiteral("r%1_%2=v").arg(hop).arg(i).toLatin1();
        }
    }
    EXPECT_EQ(server.Requests().back().Header("Cookie"), expected);
}

TEST_F(HttpClientTest, DecodesTheTextFormByTheDeclarationThatWins) {
    server.SetHandler([](const HttpRequest& request) {
        if (request.Path() == "/meta")
            return HttpResponse::Text("<meta charset=\"windows-1251\"><p>\xEF\xF0\xE8",
                                      "text/html; charset=utf-8");
        if (request.Path() == "/header")
            return HttpResponse::Text("\xEF\xF0\xE8", "text/plain; charset=windows-1251");
        return HttpResponse::Text("\xEF\xF0\xE8", "");
    });

    EXPECT_EQ(client.Get(Url(QStringLiteral("/meta"))),
              QStringLiteral("<meta charset=\"windows-1251\"><p>при"));
    EXPECT_EQ(client.Get(Url(QStringLiteral("/header"))), QStringLiteral("при"));
    EXPECT_EQ(client.Get(Url(QStringLiteral("/none"))), QStringLiteral("\u00EF\u00F0\u00E8"));
    QByteArray raw;
    client.Get(Url(QStringLiteral("/meta")), raw);
    EXPECT_EQ(raw, "<meta charset=\"windows-1251\"><p>\xEF\xF0\xE8");
}

TEST_F(HttpClientTest, ResetConnectionNeverRaisesAndKeepsWhatTheClientKnows) {
    client.ResetConnection();  // never connected
    EXPECT_EQ(client.ResponseCode(), -1);

    server.SetHandler([](const HttpRequest&) {
        return HttpResponse::Text("x").WithHeader("Set-Cookie", "sid=1; Path=/");
    });
    client.Get(Url(QStringLiteral("/")));
    client.ResetConnection();
    client.ResetConnection();

    EXPECT_EQ(client.ResponseCode(), 200);
    EXPECT_EQ(client.ResponseText(), QStringLiteral("HTTP/1.1 200 OK"));
    client.Get(Url(QStringLiteral("/again")));
    EXPECT_EQ(server.ConnectionCount(), 2);
    EXPECT_EQ(server.Requests().at(1).Header("Cookie"), "sid=1");
}

TEST_F(HttpClientTest, ReportsTransportFailuresWithTheirCause) {
    const quint16 closed = ClosedPort();
    try {
        client.Get(QStringLiteral("http://127.0.0.1:%1/").arg(closed));
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(),
                  QStringLiteral("Cannot connect to 127.0.0.1:%1: Connection refused").arg(closed));
    }
    // A plain server that is asked for TLS.
    LoopbackServer plain;
    plain.AddScript({ScriptStep::Send("HTTP/1.1 400 Bad Request\r\n\r\n"), ScriptStep::Close()});
    try {
        client.Get(QStringLiteral("https://127.0.0.1:%1/").arg(plain.Port()));
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.Message().startsWith(
            QStringLiteral("TLS handshake with 127.0.0.1:%1 failed: ").arg(plain.Port())))
            << failure.what();
    }
    EXPECT_THROW(client.Get(QStringLiteral("ftp://127.0.0.1/")), Failure);
    EXPECT_THROW(client.Get(QStringLiteral("https://:80/")), Failure);
}

}  // namespace
}  // namespace quillorn
