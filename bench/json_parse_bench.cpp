// Parse speed and memory of the JSON document model against RapidJSON's DOM parse of the same
// text (UTF-8) in the same run. Prints, after Google Benchmark's own table, the time ratio
// model / RapidJSON per input, the time per MB at 1, 10 and 50 MB (linear growth shows as an
// even figure), and the peak heap the model takes while parsing relative to the text size.
#include <benchmark/benchmark.h>

#include <rapidjson/document.h>
#include "bench/RatioReporter.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>

#include "bench/json_sample_pages.h"
#include "json/JsonValue.h"

// Heap accounting for operator new, which the model's arena and scratch stacks go through.
// Single-threaded, as the program is.
namespace {
std::size_t g_liveBytes = 0;
std::size_t g_peakBytes = 0;
}  // namespace

void* operator new(std::size_t size) {
    auto* block = static_cast<std::size_t*>(std::malloc(size + 16));
    if (block == nullptr)
        throw std::bad_alloc();
    block[0] = size;
    g_liveBytes += size;
    if (g_liveBytes > g_peakBytes)
        g_peakBytes = g_liveBytes;
    return block + 2;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    if (p == nullptr)
        return;
    auto* block = static_cast<std::size_t*>(p) - 2;
    g_liveBytes -= block[0];
    std::free(block);
}
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

using quillorn::bench::JsonSampleWriter;

struct Sample {
    std::string utf8;
    QString text;
};

const Sample& SampleOf(const std::string& name) {
    static std::map<std::string, Sample> samples;
    auto it = samples.find(name);
    if (it != samples.end())
        return it->second;
    JsonSampleWriter writer(20240501);
    Sample sample;
    if (name == "feed") {
        sample.utf8 = writer.FeedPage();
    } else {
        sample.utf8 = writer.CardState(std::stoul(name) * 1024 * 1024 / 1000);
    }
    sample.text = QString::fromUtf8(sample.utf8.data(), qsizetype(sample.utf8.size()));
    return samples.emplace(name, std::move(sample)).first->second;
}

void ModelParse(benchmark::State& state, const std::string& name) {
    const Sample& sample = SampleOf(name);
    for (auto _ : state) {
        quillorn::JsonValuePtr root = quillorn::ParseJson(sample.text);
        if (!root)
            state.SkipWithError("the model did not parse the sample");
        benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * sample.utf8.size()));
}

// What a reader pays when its text arrives as UTF-8: decoding plus parsing.
void ModelDecodeAndParse(benchmark::State& state, const std::string& name) {
    const Sample& sample = SampleOf(name);
    for (auto _ : state) {
        quillorn::JsonValuePtr root = quillorn::ParseJson(
            QString::fromUtf8(sample.utf8.data(), qsizetype(sample.utf8.size())));
        benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * sample.utf8.size()));
}

void RapidJsonParse(benchmark::State& state, const std::string& name) {
    const Sample& sample = SampleOf(name);
    for (auto _ : state) {
        rapidjson::Document document;
        document.Parse(sample.utf8.data(), sample.utf8.size());
        if (document.HasParseError())
            state.SkipWithError("RapidJSON did not parse the sample");
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * sample.utf8.size()));
}

const char* const kInputs[] = {"2000", "feed", "1000", "10000", "50000"};  // KB, or the feed

std::string Label(const std::string& input) {
    return input == "feed" ? "feed page (50 reviews)"
                           : std::to_string(std::stoul(input) / 1000.0).substr(0, 4) + " MB state";
}

void PrintMemory() {
    std::printf("\nPeak heap while parsing (model), relative to the text:\n");
    for (const char* input : {"2000", "feed", "50000"}) {
        const Sample& sample = SampleOf(input);
        const std::size_t before = g_liveBytes;
        g_peakBytes = g_liveBytes;
        std::size_t retained = 0;
        {
            quillorn::JsonValuePtr root = quillorn::ParseJson(sample.text);
            retained = g_liveBytes - before;
        }
        const std::size_t peak = g_peakBytes - before;
        rapidjson::Document document;
        document.Parse(sample.utf8.data(), sample.utf8.size());
        const std::size_t rapid = document.GetAllocator().Capacity();
        const double utf8 = double(sample.utf8.size());
        std::printf(
            "  %-24s text %8.2f MB UTF-8 (%8.2f MB as UTF-16): model peak %7.2f MB = %.2fx UTF-8 "
            "(%.2fx UTF-16), kept %.2fx UTF-8 besides the shared text; RapidJSON pool %.2fx "
            "UTF-8\n",
            Label(input).c_str(), utf8 / 1e6, 2.0 * sample.text.size() / 1e6, peak / 1e6,
            peak / utf8, peak / (2.0 * sample.text.size()), retained / utf8, rapid / utf8);
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (const char* input : kInputs) {
        const std::string name = input;
        benchmark::RegisterBenchmark(("model/" + name).c_str(), ModelParse, name)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("rapidjson/" + name).c_str(), RapidJsonParse, name)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("model_from_utf8/2000", ModelDecodeAndParse, std::string("2000"))
        ->Unit(benchmark::kMillisecond);
    quillorn::bench::RatioReporter reporter;
    quillorn::bench::RunBenchmarks(argc, argv, reporter);

    std::printf("\nModel / RapidJSON parse time, CPU (target at most 1.5):\n");
    for (const char* input : kInputs) {
        const double model = reporter.Cpu(std::string("model/") + input);
        const double rapid = reporter.Cpu(std::string("rapidjson/") + input);
        if (model > 0 && rapid > 0) {
            std::printf("  %-24s model %9.3f ms  RapidJSON %9.3f ms  ratio %.2f\n",
                        Label(input).c_str(), model, rapid, model / rapid);
        }
    }
    if (const double decode = reporter.Cpu("model_from_utf8/2000"); decode > 0) {
        std::printf("  %-24s UTF-8 decoding plus parse %9.3f ms  ratio %.2f\n", "2.00 MB state",
                    decode, decode / reporter.Cpu("rapidjson/2000"));
    }
    std::printf("\nModel time per MB (linear growth gives even figures):\n");
    for (const char* input : {"1000", "10000", "50000"}) {
        const double model = reporter.Cpu(std::string("model/") + input);
        const double mb = double(SampleOf(input).utf8.size()) / 1e6;
        if (model > 0)
            std::printf("  %-24s %.3f ms/MB\n", Label(input).c_str(), model / mb);
    }
    PrintMemory();
    return 0;
}
