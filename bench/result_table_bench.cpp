// Writing 100,000 vertical result rows through ResultTable (each row in the file when AddReview
// returns) against writing the same bytes, row by row, through one buffered std::ofstream; and
// what remembering the rows' reviews adds: each row announced in IdsDB.pending before it is
// written and its id appended to IdsDB.dat after.
#include "RatioReporter.h"
#include "output/ResultTable.h"
#include "output/RunLog.h"
#include "output/SeenReviewStore.h"
#include "output/TakenReviews.h"
#include "platform/AppDir.h"
#include "platform/Clock.h"
#include "platform/LocaleServices.h"
#include "platform/LogSink.h"
#include "standin/PinnedLocale.h"
#include "standin/SampleProfile.h"
#include "standin/TestClock.h"

#include <fcntl.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <vector>

namespace quillorn {
namespace {

constexpr int kRows = 100'000;

std::vector<ReviewRecord> Reviews() {
    std::vector<ReviewRecord> reviews(kRows);
    for (int i = 0; i < kRows; ++i) {
        ReviewRecord& r = reviews[i];
        r.Id = QString::number(90000000 + i);
        r.HasAuthor = i % 10 != 0;
        r.AuthorName = QStringLiteral("Мария К.");
        r.AuthorReviewCount = QString::number(i % 50);
        r.AuthorProfileUrl = QStringLiteral("https://2gis.ru/user/") + QString::number(i * 31);
        r.Text = QStringLiteral(
                     "Отличное место, \"вкусный\" кофе и быстрое обслуживание.\r\nБуду заходить "
                     "ещё, особенно утром перед работой. Отзыв номер ") +
                 QString::number(i);
        r.DateCreated = QStringLiteral("2024-02-17T10:20:30.123+07:00");
        r.Rating = QString::number(1 + i % 5);
        r.LikesCount = QString::number(i % 7);
        if (i % 4 == 0)
            r.OfficialAnswer = QStringLiteral("Спасибо за отзыв!\nЖдём вас снова.");
    }
    return reviews;
}

struct Fixture {
    QTemporaryDir dir;
    standin::PinnedLocale locale;
    standin::TestClock clock{1};
    MemoryLogSink sink;
    CardProfile profile = standin::SampleProfile(QStringLiteral("70000001012345678"));
    std::vector<ReviewRecord> reviews = Reviews();
    std::vector<std::string> rows;  // the bytes of a whole file, row by row

    Fixture() {
        RunLog log(sink, locale, clock, AppDir(dir.path()));
        ResultTable table(log, clock, AppDir(dir.path()));
        table.Open(true);
        table.BeginCard();
        for (const ReviewRecord& r : reviews)
            table.AddReview(profile, r);
        table.Close();
        QFile file(table.FilePath());
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty())
                rows.push_back(line.toStdString() + "\n");
        QFile::remove(table.FilePath());
    }
};

Fixture& Data() {
    static Fixture fixture;
    return fixture;
}

void BM_ResultTableVerticalRows(benchmark::State& state) {
    Fixture& f = Data();
    RunLog log(f.sink, f.locale, f.clock, AppDir(f.dir.path()));
    for (auto _ : state) {
        ResultTable table(log, f.clock, AppDir(f.dir.path()));
        table.Open(true);
        table.BeginCard();
        for (const ReviewRecord& r : f.reviews)
            table.AddReview(f.profile, r);
        table.Close();
        state.PauseTiming();
        QFile::remove(table.FilePath());
        f.sink.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_ResultTableRowsRemembered(benchmark::State& state) {
    Fixture& f = Data();
    const AppDir dir(f.dir.path());
    RunLog log(f.sink, f.locale, f.clock, dir);
    for (auto _ : state) {
        SeenReviewStore store(f.locale, log, dir);
        TakenReviews taken(store, dir);
        ResultTable table(log, f.clock, dir, &taken);
        store.Load();
        taken.SettleInterruptedRow();
        table.Open(true);
        table.BeginCard();
        for (const ReviewRecord& r : f.reviews) {
            store.Add(r.Id);
            table.AddReview(f.profile, r);
        }
        table.Close();
        state.PauseTiming();
        QFile::remove(table.FilePath());
        QFile::remove(store.FilePath());
        f.sink.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_ReferenceBufferedOfstream(benchmark::State& state) {
    Fixture& f = Data();
    const std::string path = f.dir.filePath("reference.tab").toStdString();
    for (auto _ : state) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (const std::string& row : f.rows)
            out.write(row.data(), std::streamsize(row.size()));
        out.close();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

// Not a target, a floor: the same bytes with one system call per row and no row building, which
// is what "every row in the file when AddReview returns" costs by itself.
void BM_FloorOneWritePerRow(benchmark::State& state) {
    Fixture& f = Data();
    const QByteArray path = QFile::encodeName(f.dir.filePath("floor.tab"));
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        for (const std::string& row : f.rows)
            if (::write(fd, row.data(), row.size()) != static_cast<ssize_t>(row.size()))
                std::abort();
        ::close(fd);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK(BM_ResultTableVerticalRows)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_ResultTableRowsRemembered)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_ReferenceBufferedOfstream)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_FloorOneWritePerRow)->Unit(benchmark::kMillisecond)->MinTime(1);

}  // namespace
}  // namespace quillorn

int main(int argc, char** argv) {
    quillorn::bench::RatioReporter reporter;
    quillorn::bench::RunBenchmarks(argc, argv, reporter);
    reporter.PrintRatios({{"BM_ResultTableVerticalRows", "BM_ReferenceBufferedOfstream"},
                          {"BM_FloorOneWritePerRow", "BM_ReferenceBufferedOfstream"},
                          {"BM_ResultTableVerticalRows", "BM_FloorOneWritePerRow"},
                          {"BM_ResultTableRowsRemembered", "BM_ResultTableVerticalRows"}},
                         2.0);
    return 0;
}
