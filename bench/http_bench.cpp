// The HTTP client against the curl command line, both fetching from the same loopback TLS server
// in one run: a 64 MiB body (throughput; target at least 0.9x curl's) and 1000 small GETs on one
// kept-alive connection (time; target at most 1.2x curl's). Wall time, since curl runs as its own
// process. Also reports how much the process grew while the big body was downloaded, and what
// one answer setting 30,000 cookies costs the client's cookie store beside Qt's QNetworkCookieJar.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include "bench/RatioReporter.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QNetworkCookieJar>

#include "net/CookieStore.h"
#include "net/HttpClient.h"
#include "standin/LoopbackServer.h"

namespace {

using quillorn::HttpClient;
using quillorn::standin::HttpRequest;
using quillorn::standin::HttpResponse;
using quillorn::standin::LoopbackServer;

constexpr qsizetype kBigBody = 64 * 1024 * 1024;
constexpr int kSmallGets = 1000;

LoopbackServer& Server() {
    static const auto server = [] {
        auto s = std::make_unique<LoopbackServer>(LoopbackServer::Transport::Tls);
        const QByteArray big(kBigBody, 'x');
        const QByteArray small(300, 's');
        s->SetHandler([big, small](const HttpRequest& request) {
            return HttpResponse::Text(request.Path() == "/big" ? big : small,
                                      "application/json; charset=utf-8");
        });
        return s;
    }();
    return *server;
}

long MaxRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void RunCurl(const std::string& arguments) {
    const std::string command = "curl -sk --fail " + arguments;
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "curl failed: %s\n", command.c_str());
}

void BM_Quillorn_BigBody(benchmark::State& state) {
    HttpClient client;
    const QString url = Server().Url(QStringLiteral("/big"));
    for (auto _ : state) {
        client.ResetConnection();  // a new connection each time, as curl has
        QByteArray stream;
        client.Get(url, stream);
        if (stream.size() != kBigBody)
            state.SkipWithError("short body");
        benchmark::DoNotOptimize(stream.data());
    }
    state.SetBytesProcessed(state.iterations() * kBigBody);
}

// Peak memory of one download of the big body, in bodies: about one copy is the target.
void ReportMemory() {
    HttpClient client;
    const long before = MaxRssKiB();
    QByteArray stream;
    client.Get(Server().Url(QStringLiteral("/big")), stream);
    const double growth = static_cast<double>(MaxRssKiB() - before) * 1024.0 / kBigBody;
    std::printf("memory: the process grew by %.2f body sizes while downloading a 64 MiB body\n",
                growth);
}

void BM_Curl_BigBody(benchmark::State& state) {
    const std::string url = Server().Url(QStringLiteral("/big")).toStdString();
    for (auto _ : state)
        RunCurl("-o /dev/null " + url);
    state.SetBytesProcessed(state.iterations() * kBigBody);
}

void BM_Quillorn_1000SmallGets(benchmark::State& state) {
    const QString url = Server().Url(QStringLiteral("/small"));
    for (auto _ : state) {
        HttpClient client;
        for (int i = 0; i < kSmallGets; ++i) {
            QByteArray stream;
            client.Get(url, stream);
            benchmark::DoNotOptimize(stream.data());
        }
    }
}

void BM_Curl_1000SmallGets(benchmark::State& state) {
    // One curl process for all of them, so its connection is kept alive as well.
    static QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("curl.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        state.SkipWithError("no config");
    const QByteArray url = Server().Url(QStringLiteral("/small")).toUtf8();
    for (int i = 0; i < kSmallGets; ++i)
        file.write("url = \"" + url + "\"\noutput = \"/dev/null\"\n");
    file.close();
    for (auto _ : state)
        RunCurl("--config " + config.toStdString());
}

constexpr int kFloodCookies = 30000;

QList<QByteArray> FloodLines() {
    QList<QByteArray> lines;
    for (int i = 0; i < kFloodCookies; ++i)
        lines.append("c" + QByteArray::number(i) + "=value; Path=/");
    return lines;
}

// 30,000 cookies stored, then the Cookie header of the next request. The store takes at most
// kMaxPerAnswer cookies from one answer, so they come in answers of that many: every cookie is
// parsed, checked and stored (and most dropped again), as none would be from a single answer.
void BM_Quillorn_30000Cookies(benchmark::State& state) {
    const QList<QByteArray> lines = FloodLines();
    const QUrl url(QStringLiteral("https://site.example/page"));
    for (auto _ : state) {
        quillorn::CookieStore store;
        for (qsizetype at = 0; at < lines.size(); at += quillorn::CookieStore::kMaxPerAnswer)
            store.Store(lines.mid(at, quillorn::CookieStore::kMaxPerAnswer), url);
        benchmark::DoNotOptimize(store.HeaderFor(url));
    }
}

void BM_QtJar_30000Cookies(benchmark::State& state) {
    const QList<QByteArray> lines = FloodLines();
    const QUrl url(QStringLiteral("https://site.example/page"));
    for (auto _ : state) {
        QNetworkCookieJar jar;
        for (const QByteArray& line : lines)
            jar.setCookiesFromUrl(QNetworkCookie::parseCookies(line), url);
        QByteArray header;
        for (const QNetworkCookie& cookie : jar.cookiesForUrl(url))
            header += cookie.toRawForm(QNetworkCookie::NameAndValueOnly) + "; ";
        benchmark::DoNotOptimize(header);
    }
}

BENCHMARK(BM_Quillorn_BigBody)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_Curl_BigBody)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_Quillorn_1000SmallGets)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_Curl_1000SmallGets)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);
BENCHMARK(BM_Quillorn_30000Cookies)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);
// Seconds per run: one is enough.
BENCHMARK(BM_QtJar_30000Cookies)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    // Repeated and interleaved, so that the neighbours' load falls on both sides alike; the ratios
    // compare medians. Arguments given on the command line come later and win.
    Server();
    ReportMemory();
    quillorn::bench::RatioReporter reporter;
    quillorn::bench::RunBenchmarks(
        argc, argv, reporter,
        {"--benchmark_repetitions=3", "--benchmark_enable_random_interleaving=true"});
    const double bigOurs = reporter.Wall("BM_Quillorn_BigBody");
    const double bigCurl = reporter.Wall("BM_Curl_BigBody");
    const double smallOurs = reporter.Wall("BM_Quillorn_1000SmallGets");
    const double smallCurl = reporter.Wall("BM_Curl_1000SmallGets");
    if (bigOurs > 0 && bigCurl > 0)
        std::printf(
            "64 MiB body: %.0f ms against curl's %.0f ms, throughput %.2fx curl's "
            "(target at least 0.9x)\n",
            bigOurs, bigCurl, bigCurl / bigOurs);
    if (smallOurs > 0 && smallCurl > 0)
        std::printf(
            "1000 kept-alive GETs: %.0f ms against curl's %.0f ms, time %.2fx curl's "
            "(target at most 1.2x)\n",
            smallOurs, smallCurl, smallOurs / smallCurl);
    const double cookiesOurs = reporter.Wall("BM_Quillorn_30000Cookies");
    const double cookiesQt = reporter.Wall("BM_QtJar_30000Cookies");
    if (cookiesOurs > 0 && cookiesQt > 0)
        std::printf(
            "30,000 cookies: %.2f ms against QNetworkCookieJar's %.0f ms, the jar "
            "taking %.0fx as long\n",
            cookiesOurs, cookiesQt, cookiesQt / cookiesOurs);
    return 0;
}
