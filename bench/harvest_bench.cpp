// A whole harvest on loopback: 200 cards of 120 reviews each (three feed pages a card) from the
// stand-in directory, interval 0, against its floor measured in the same run: the very request
// sequence the harvest sent, fetched by the curl command line in one invocation, plus the 100 ms
// pause the feed must make after every page. Reports the wall time of both, the ratio, and the
// harvest thread's CPU time per 1,000 reviews.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <ctime>
#include <memory>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include "harvest/HarvestRun.h"
#include "harvest/StopFlag.h"
#include "net/HttpClient.h"
#include "output/DesktopOpener.h"
#include "output/RunLog.h"
#include "output/SpreadsheetApp.h"
#include "output/WorkbookStep.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/LocaleServices.h"
#include "platform/LogSink.h"
#include "standin/FakeRunHost.h"
#include "standin/StandInDirectory.h"

namespace quillorn {
namespace {

constexpr int kCards = 200;
constexpr int kReviewsPerCard = 120;
constexpr int kPagesPerCard = 3;
constexpr double kPausePerPageSeconds = 0.1;

// The workbook is a step of its own with its own benchmark; the harvest is measured without it.
class NoSpreadsheet final : public SpreadsheetApp {
public:
    bool Available() const override { return false; }
    std::unique_ptr<ImportedWorkbook> Import(const QString&) override {
        throw Failure(QStringLiteral("no spreadsheet"));
    }
};

class NoDesktop final : public DesktopOpener {
public:
    void Open(const QString&) override {}
};

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

standin::StandInDirectory& Directory() {
    static standin::StandInDirectory* directory = [] {
        auto* made = new standin::StandInDirectory;  // lives to the end of the process
        for (int c = 0; c < kCards; ++c) {
            standin::StandInCard card;
            card.branchId = QString::number(70000000 + c);
            card.path = QStringLiteral("/moscow/firm/") + card.branchId;
            card.key = QStringLiteral("key-") + card.branchId;
            card.name = QStringLiteral("Фирма №%1").arg(c);
            card.geometryName = QStringLiteral("Тверская, %1").arg(c);
            card.admDiv = {{QStringLiteral("city"), QStringLiteral("Москва")}};
            for (int r = 0; r < kReviewsPerCard; ++r) {
                standin::StandInReview review;
                review.id = QStringLiteral("%1-%2").arg(c).arg(r);
                review.text =
                    QStringLiteral("Отличное место, обслуживание на высоте. Отзыв %1").arg(r);
                review.user =
                    standin::StandInUser{QStringLiteral("u%1").arg(r), QStringLiteral("Анна"), r};
                if (r % 4 == 0)
                    review.officialAnswer = QStringLiteral("Спасибо за отзыв!");
                card.reviews << review;
            }
            made->AddCard(card);
        }
        return made;
    }();
    return *directory;
}

QStringList gSequence;  // the URLs the harvest requested, in order
// Wall times of the last harvest and of its floor: the comparison is about wall time, since the
// floor's pauses cost no CPU at all.
double gHarvestSeconds = 0;
double gFloorSeconds = 0;
// The same harvest through quillorn-harvest, the program a server runs, beside the window's run:
// the harvest thread's CPU time and the bench process's peak memory during the run (stand-in
// servers included) against the program's own CPU time and peak memory.
double gHarvestCpuSeconds = 0;
double gHarvestPeakMiB = 0;
double gHeadlessSeconds = 0;
double gHeadlessCpuSeconds = 0;
double gHeadlessPeakMiB = 0;

// Peak resident memory of this process since the last reset, in MiB; resetting needs Linux 4.0.
double PeakMiB(bool reset) {
    if (reset) {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
    }
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    }
    return 0;
}

void BM_Harvest(benchmark::State& state) {
    standin::StandInDirectory& directory = Directory();
    const Endpoints endpoints = directory.MakeEndpoints();
    SystemClock clock;
    SystemLocale locale;
    NoSpreadsheet spreadsheet;
    NoDesktop desktop;
    HttpClient client([] { QCoreApplication::processEvents(); });
    for (auto _ : state) {
        QTemporaryDir dir;
        standin::FakeRunHost host;
        for (int c = 0; c < kCards; ++c)
            host.cardLines << directory.CardUrl(
                QStringLiteral("/moscow/firm/%1").arg(70000000 + c));
        MemoryLogSink sink;
        RunLog log(sink, locale, clock, AppDir(dir.path()));
        StopFlag stop;
        WorkbookStep workbook(log, spreadsheet, desktop);
        HarvestRun run(host, client, clock, log, locale, AppDir(dir.path()), endpoints, stop,
                       workbook);
        directory.ClearRequests();

        PeakMiB(true);
        const double cpuBefore = ThreadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        run.Run();
        gHarvestPeakMiB = PeakMiB(false);
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        const double cpu = ThreadCpuSeconds() - cpuBefore;

        state.SetIterationTime(wall.count());
        gHarvestSeconds = wall.count();
        gHarvestCpuSeconds = cpu;
        const auto requests = directory.Requests();
        if (requests.size() != size_t(kCards * (1 + kPagesPerCard)) ||
            !sink.Lines().filter(QStringLiteral("ERROR")).isEmpty()) {
            state.SkipWithError("the harvest did not send the expected requests");
            return;
        }
        gSequence.clear();
        for (const auto& request : requests) {
            const QString origin = request.host == standin::StandInHost::Site
                                       ? directory.SiteAddress()
                                       : directory.ApiBase();
            gSequence << origin + QString::fromUtf8(request.request.target);
        }
        state.counters["cpu_ms_per_1000_reviews"] =
            cpu * 1000.0 / (kCards * kReviewsPerCard / 1000.0);
        state.counters["requests"] = double(requests.size());
    }
}

void BM_CurlFloor(benchmark::State& state) {
    if (gSequence.isEmpty()) {
        state.SkipWithError("the harvest ran first and failed");
        return;
    }
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("sequence.curl"));
    {
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the curl configuration");
            return;
        }
        for (const QString& url : gSequence)
            file.write("url = \"" + url.toUtf8() + "\"\noutput = \"/dev/null\"\n");
    }
    const int feedPages = int(gSequence.filter(QStringLiteral("/reviews?")).size());
    for (auto _ : state) {
        QProcess curl;
        const auto start = std::chrono::steady_clock::now();
        curl.start(QStringLiteral("curl"),
                   {"--insecure", "--silent", "--fail", "--config", config});
        if (!curl.waitForFinished(600000) || curl.exitCode() != 0) {
            state.SkipWithError("curl failed");
            return;
        }
        const std::chrono::duration<double> fetch = std::chrono::steady_clock::now() - start;
        gFloorSeconds = fetch.count() + feedPages * kPausePerPageSeconds;
        state.SetIterationTime(gFloorSeconds);
        state.counters["curl_fetch_s"] = fetch.count();
        state.counters["pauses_s"] = feedPages * kPausePerPageSeconds;
    }
}

void BM_HeadlessHarvest(benchmark::State& state) {
    standin::StandInDirectory& directory = Directory();
    const QByteArray program =
        QDir(QCoreApplication::applicationDirPath()).filePath("../quillorn-harvest").toUtf8();
    for (auto _ : state) {
        QTemporaryDir dir;
        QFile urls(dir.filePath(QStringLiteral("urls.txt")));
        if (!urls.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write urls.txt");
            return;
        }
        for (int c = 0; c < kCards; ++c)
            urls.write(
                directory.CardUrl(QStringLiteral("/moscow/firm/%1").arg(70000000 + c)).toUtf8() +
                "\r\n");
        urls.close();
        const QByteArray folder = dir.path().toUtf8();
        const QByteArray api = directory.ApiBase().toUtf8();
        const QByteArray site = directory.SiteAddress().toUtf8();
        const char* argv[] = {program.constData(),
                              "--dir",
                              folder.constData(),
                              "--interval",
                              "0",
                              "--no-workbook",
                              "--api-base",
                              api.constData(),
                              "--site-base",
                              site.constData(),
                              nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        directory.ClearRequests();
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        const int spawned =
            posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        rusage usage{};
        if (spawned != 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("quillorn-harvest failed");
            return;
        }
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        if (directory.Requests().size() != size_t(kCards * (1 + kPagesPerCard))) {
            state.SkipWithError("quillorn-harvest did not send the expected requests");
            return;
        }
        state.SetIterationTime(wall.count());
        gHeadlessSeconds = wall.count();
        gHeadlessCpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                              double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        gHeadlessPeakMiB = double(usage.ru_maxrss) / 1024.0;
        state.counters["cpu_s"] = gHeadlessCpuSeconds;
        state.counters["peak_MiB"] = gHeadlessPeakMiB;
    }
}

BENCHMARK(BM_Harvest)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_HeadlessHarvest)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_CurlFloor)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace quillorn

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (quillorn::gHarvestSeconds <= 0 || quillorn::gFloorSeconds <= 0)
        return 1;
    const double ratio = quillorn::gHarvestSeconds / quillorn::gFloorSeconds;
    std::printf("\nharvest %.2f s, floor %.2f s (curl + pauses): %.3fx, target at most 1.1x%s\n",
                quillorn::gHarvestSeconds, quillorn::gFloorSeconds, ratio,
                ratio <= 1.1 ? "" : "  (above target)");
    if (quillorn::gHeadlessSeconds > 0) {
        std::printf(
            "quillorn-harvest %.2f s, %.2f s CPU, peak %.0f MiB; the window's run %.2f s, "
            "%.2f s CPU, peak %.0f MiB (bench process): %.3fx wall, %.3fx CPU\n",
            quillorn::gHeadlessSeconds, quillorn::gHeadlessCpuSeconds, quillorn::gHeadlessPeakMiB,
            quillorn::gHarvestSeconds, quillorn::gHarvestCpuSeconds, quillorn::gHarvestPeakMiB,
            quillorn::gHeadlessSeconds / quillorn::gHarvestSeconds,
            quillorn::gHeadlessCpuSeconds / quillorn::gHarvestCpuSeconds);
    }
    return ratio <= 1.1 ? 0 : 1;
}
