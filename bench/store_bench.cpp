// The seen-review store at a million ids: loading IdsDB.dat (in the order the store writes it, and
// shuffled), a million lookups and the save, each against the floor of sorting and de-duplicating
// the same ids in a std::vector<QString> with the same comparison; and the append of every row's
// id against plain unbuffered appends of the same lines.
#include "RatioReporter.h"
#include "output/RunLog.h"
#include "output/SeenReviewStore.h"
#include "platform/AppDir.h"
#include "platform/Clock.h"
#include "platform/LocaleServices.h"
#include "platform/LogSink.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <random>
#include <vector>

namespace quillorn {
namespace {

constexpr int kIds = 1'000'000;

struct Fixture {
    QTemporaryDir sortedDir;
    QTemporaryDir shuffledDir;
    SystemLocale locale;
    SystemClock clock;
    MemoryLogSink sink;
    std::vector<QString> ids;  // shuffled, distinct, mixed letter case like hex review ids

    auto Less() const {
        return [this](const QString& a, const QString& b) {
            return locale.CompareIgnoringCase(a, b) < 0;
        };
    }

    Fixture() {
        std::mt19937_64 random(20240305);
        std::uniform_int_distribution<std::uint64_t> value(1'000'000'000ull, 999'999'999'999ull);
        ids.reserve(kIds);
        for (int i = 0; i < kIds; ++i) {
            QString id = QString::number(value(random), 16);
            if (i % 3 == 0)
                id = id.toUpper();
            ids.push_back(id + QString::number(i));  // the suffix keeps them distinct
        }
        Write(shuffledDir, ids);
        std::vector<QString> sorted = ids;
        std::sort(sorted.begin(), sorted.end(), Less());
        Write(sortedDir, sorted);
    }

    static void Write(const QTemporaryDir& dir, const std::vector<QString>& lines) {
        QByteArray bytes;
        for (const QString& line : lines)
            bytes += line.toLatin1() + "\r\n";
        QFile file(dir.filePath("IdsDB.dat"));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
};

Fixture& Data() {
    static Fixture fixture;
    return fixture;
}

void Load(benchmark::State& state, const QTemporaryDir& dir) {
    Fixture& f = Data();
    RunLog log(f.sink, f.locale, f.clock, AppDir(dir.path()));
    for (auto _ : state) {
        SeenReviewStore store(f.locale, log, AppDir(dir.path()));
        store.Load();
        if (store.Count() != kIds)
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(store);
    }
}

void BM_StoreLoadAsWritten(benchmark::State& state) {
    Load(state, Data().sortedDir);
}
void BM_StoreLoadShuffled(benchmark::State& state) {
    Load(state, Data().shuffledDir);
}

void SortUnique(benchmark::State& state, bool presorted) {
    Fixture& f = Data();
    std::vector<QString> input = f.ids;
    if (presorted)
        std::sort(input.begin(), input.end(), f.Less());
    const auto less = f.Less();
    for (auto _ : state) {
        std::vector<QString> v = input;
        std::sort(v.begin(), v.end(), less);
        v.erase(std::unique(v.begin(), v.end(),
                            [&](const QString& a, const QString& b) { return !less(a, b); }),
                v.end());
        benchmark::DoNotOptimize(v);
    }
}

void BM_ReferenceSortUniqueSorted(benchmark::State& state) {
    SortUnique(state, true);
}
void BM_ReferenceSortUniqueShuffled(benchmark::State& state) {
    SortUnique(state, false);
}

void BM_StoreContainsMillion(benchmark::State& state) {
    Fixture& f = Data();
    RunLog log(f.sink, f.locale, f.clock, AppDir(f.sortedDir.path()));
    SeenReviewStore store(f.locale, log, AppDir(f.sortedDir.path()));
    store.Load();
    for (int i = 0; i < 1000; ++i)
        store.Add(QStringLiteral("run-%1").arg(i));  // taken this run
    for (auto _ : state) {
        int found = 0;
        for (const QString& id : f.ids)
            found += store.Contains(id);
        if (found != kIds)
            state.SkipWithError("lookup failed");
    }
}

void BM_ReferenceBinarySearchMillion(benchmark::State& state) {
    Fixture& f = Data();
    std::vector<QString> sorted = f.ids;
    std::sort(sorted.begin(), sorted.end(), f.Less());
    for (auto _ : state) {
        int found = 0;
        for (const QString& id : f.ids)
            found += std::binary_search(sorted.begin(), sorted.end(), id, f.Less());
        if (found != kIds)
            state.SkipWithError("lookup failed");
    }
}

// A store loaded from a copy of the sorted million, in a folder of its own.
struct StoreCopy {
    StoreCopy() {
        QFile::copy(Data().sortedDir.filePath("IdsDB.dat"), out.filePath("IdsDB.dat"));
        store.Load();
    }
    QTemporaryDir out;
    RunLog log{Data().sink, Data().locale, Data().clock, AppDir(out.path())};
    SeenReviewStore store{Data().locale, log, AppDir(out.path())};
};

void BM_StoreSave(benchmark::State& state) {
    StoreCopy copy;
    QStringList taken;
    for (int i = 0; i < 1000; ++i)
        taken << QStringLiteral("run-%1").arg(i);
    copy.store.Record(taken);
    for (auto _ : state)
        copy.store.Save();
}

// What a run adds per row: its review's id appended to IdsDB.dat, a thousand rows at a time,
// beside the floor of appending the same lines to a file with one unbuffered write each.
constexpr int kRows = 1000;

void BM_StoreRecordRows(benchmark::State& state) {
    StoreCopy copy;
    int row = 0;
    for (auto _ : state) {
        for (int i = 0; i < kRows; ++i)
            copy.store.Record({QStringLiteral("row-%1").arg(row++)});
    }
}

void BM_ReferenceAppendRows(benchmark::State& state) {
    QTemporaryDir out;
    QFile file(out.filePath("IdsDB.dat"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        std::abort();
    int row = 0;
    for (auto _ : state) {
        for (int i = 0; i < kRows; ++i)
            file.write(QStringLiteral("row-%1\r\n").arg(row++).toLatin1());
    }
}

BENCHMARK(BM_StoreLoadAsWritten)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_ReferenceSortUniqueSorted)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_StoreLoadShuffled)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_ReferenceSortUniqueShuffled)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_StoreContainsMillion)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_ReferenceBinarySearchMillion)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_StoreSave)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_StoreRecordRows)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_ReferenceAppendRows)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace
}  // namespace quillorn

int main(int argc, char** argv) {
    quillorn::bench::RatioReporter reporter;
    quillorn::bench::RunBenchmarks(argc, argv, reporter);
    reporter.PrintRatios({{"BM_StoreLoadAsWritten", "BM_ReferenceSortUniqueSorted"},
                          {"BM_StoreLoadShuffled", "BM_ReferenceSortUniqueShuffled"},
                          {"BM_StoreContainsMillion", "BM_ReferenceSortUniqueShuffled"},
                          {"BM_StoreContainsMillion", "BM_ReferenceBinarySearchMillion"},
                          {"BM_StoreSave", "BM_ReferenceSortUniqueShuffled"},
                          {"BM_StoreRecordRows", "BM_ReferenceAppendRows"}},
                         2.0);
    return 0;
}
