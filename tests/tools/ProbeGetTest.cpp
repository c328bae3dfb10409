// quillorn-probe get, run as the real program against a loopback TLS server.
#include <gtest/gtest.h>

#include <QProcess>

#include "standin/LoopbackServer.h"

namespace quillorn {
namespace {

using standin::HttpRequest;
using standin::HttpResponse;
using standin::LoopbackServer;

struct ProbeRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ProbeRun RunProbe(const QStringList& args) {
    QProcess probe;
    probe.start(QStringLiteral(QUILLORN_BINARY_DIR "/quillorn-probe"),
                QStringList{QStringLiteral("get")} + args);
    ProbeRun run;
    if (!probe.waitForFinished(30000))
        return run;
    run.exitCode = probe.exitCode();
    run.out = probe.readAllStandardOutput();
    run.err = probe.readAllStandardError();
    return run;
}

class ProbeGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.SetHandler([](const HttpRequest& request) {
            if (request.Path() == "/card")
                return HttpResponse::Text("\xEF\xF0\xE8\xE2\xE5\xF2",  // Windows-1251
                                          "text/html; charset=windows-1251");
            if (request.Path() == "/moved")
                return HttpResponse::Status(302, "Found").WithHeader("Location", "/card");
            return HttpResponse::Status(404, "Not Found", "nothing here");
        });
    }

    LoopbackServer server{LoopbackServer::Transport::Tls};
};

TEST_F(ProbeGetTest, PrintsTheDecodedBodyAsUtf8) {
    const ProbeRun run = RunProbe({server.Url(QStringLiteral("/moved"))});

    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.out, QStringLiteral("привет").toUtf8());
    EXPECT_TRUE(server.Requests().at(0).Header("User-Agent").startsWith("Mozilla/5.0"));
}

TEST_F(ProbeGetTest, PrintsTheRawBytesWithStream) {
    const ProbeRun run =
        RunProbe({server.Url(QStringLiteral("/card")), QStringLiteral("--stream")});

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "\xEF\xF0\xE8\xE2\xE5\xF2");
}

TEST_F(ProbeGetTest, PrintsTheFailureToStandardErrorAndExitsWithOne) {
    const ProbeRun run = RunProbe({server.Url(QStringLiteral("/missing"))});

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err, "HTTP/1.1 404 Not Found\n");
}

}  // namespace
}  // namespace quillorn
