// What every benchmark program's main() shares: running the benchmarks the command line selects
// with the program's own defaults, and a console reporter that remembers each benchmark's times,
// so the program can print how Quillorn's code compares with its reference measured in the same
// run.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quillorn::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            // Under its whole name ("model/2000") and, for the names that carry options
            // ("BM_Big/min_time:1.000/real_time"), under the part before them as well.
            const std::string name = run.benchmark_name();
            const Times times{run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
            times_[name].push_back(times);
            const std::string prefix = name.substr(0, name.find('/'));
            if (prefix != name)
                prefixed_[prefix].push_back(times);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The median over the repetitions of the CPU time and of the wall time per iteration, in the
    // benchmark's unit; 0 when the benchmark did not run.
    double Cpu(const std::string& name) const { return Median(name, &Times::cpu); }
    double Wall(const std::string& name) const { return Median(name, &Times::wall); }

    // Prints subject / reference (CPU time: the machine is shared, and wall time would measure the
    // neighbours' load) for each pair of benchmark names and returns false when a ratio exceeds
    // its target.
    bool PrintRatios(const std::vector<std::pair<std::string, std::string>>& pairs,
                     double target) const {
        bool met = true;
        std::printf("\n%-44s %-40s %8s\n", "subject", "reference", "ratio");
        for (const auto& [subject, reference] : pairs) {
            const double s = Cpu(subject);
            const double r = Cpu(reference);
            if (s <= 0 || r <= 0)
                continue;
            const double ratio = s / r;
            met = met && ratio <= target;
            std::printf("%-44s %-40s %7.2fx%s\n", subject.c_str(), reference.c_str(), ratio,
                        ratio <= target ? "" : "  (above target)");
        }
        std::printf("target: at most %.1fx\n", target);
        return met;
    }

private:
    struct Times {
        double cpu = 0;
        double wall = 0;
    };

    double Median(const std::string& name, double Times::*which) const {
        const std::vector<Times>* runs = nullptr;
        if (const auto whole = times_.find(name); whole != times_.end())
            runs = &whole->second;
        else if (const auto prefix = prefixed_.find(name); prefix != prefixed_.end())
            runs = &prefix->second;
        if (!runs || runs->empty())
            return 0;
        std::vector<double> values;
        for (const Times& times : *runs)
            values.push_back(times.*which);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }

    std::map<std::string, std::vector<Times>> times_;
    std::map<std::string, std::vector<Times>> prefixed_;
};

// Runs the benchmarks the command line selects into reporter. The defaults ("--benchmark_...")
// come first, so options given on the command line win.
inline void RunBenchmarks(int argc, char** argv, RatioReporter& reporter,
                          std::vector<std::string> defaults = {}) {
    std::vector<char*> args{argv[0]};
    for (std::string& option : defaults)
        args.push_back(option.data());
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

}  // namespace quillorn::bench
