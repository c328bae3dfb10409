// A console reporter that remembers each benchmark's time per iteration, so a benchmark program can
// print how Quillorn's code compares with its reference measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quillorn::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // CPU time: the machine is shared, and wall time would measure the neighbours' load.
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            times_[name.substr(0, name.find('/'))] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints subject / reference (CPU time) for each pair of benchmark names and
    // returns false when a ratio exceeds its target.
    bool PrintRatios(const std::vector<std::pair<std::string, std::string>>& pairs,
                     double target) const {
        bool met = true;
        std::printf("\n%-44s %-40s %8s\n", "subject", "reference", "ratio");
        for (const auto& [subject, reference] : pairs) {
            const auto s = times_.find(subject);
            const auto r = times_.find(reference);
            if (s == times_.end() || r == times_.end() || r->second <= 0)
                continue;
            const double ratio = s->second / r->second;
            met = met && ratio <= target;
            std::printf("%-44s %-40s %7.2fx%s\n", subject.c_str(), reference.c_str(), ratio,
                        ratio <= target ? "" : "  (above target)");
        }
        std::printf("target: at most %.1fx\n", target);
        return met;
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace quillorn::bench
