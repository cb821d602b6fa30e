#pragma once
// A console reporter that also remembers each benchmark's real time per iteration,
// so a benchmark program can print ratios of benchmarks measured in the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace veltrix::bench {

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            // With repetitions, keep the median aggregate; otherwise the single run.
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") {
                continue;
            }
            // The time comes in the run's unit; the multiplier is that unit per second.
            const double nanoseconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
            if (run.run_type == Run::RT_Aggregate || times_.count(name) == 0) {
                times_[name] = nanoseconds;
                for (const auto& [key, counter] : run.counters) {
                    counters_[name + "/" + key] = counter.value;
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Time per iteration in ns of the benchmark whose function name is `name` (0 if none).
    double Nanoseconds(const std::string& name) const {
        const auto found = times_.find(name);
        return found == times_.end() ? 0.0 : found->second;
    }

    // A user counter of a benchmark (0 if none).
    double Counter(const std::string& name, const std::string& key) const {
        const auto found = counters_.find(name + "/" + key);
        return found == counters_.end() ? 0.0 : found->second;
    }

    static void PrintRatio(const std::string& what, double measured, double reference,
                           double target) {
        if (measured <= 0 || reference <= 0) {
            return;
        }
        std::printf("ratio %s = %.2f (target at most %.2f) %s\n", what.c_str(),
                    measured / reference, target,
                    measured / reference <= target ? "ok" : "ABOVE TARGET");
    }

    void PrintRatio(const std::string& measured, const std::string& reference,
                    double target) const {
        PrintRatio(measured + " / " + reference, Nanoseconds(measured), Nanoseconds(reference),
                   target);
    }

  private:
    std::map<std::string, double> times_;
    std::map<std::string, double> counters_;
};

// benchmark::Initialize with the repetitions of all benchmarks run in random order,
// unless the command line says otherwise (its options come after this one and win):
// both sides of a ratio then meet the same conditions of a busy machine, instead of
// one side running through a quiet spell and the other through a busy one.
inline void InitializeInterleaved(int* argc, char** argv) {
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args(argv, argv + *argc);
    args.insert(args.begin() + 1, interleave);
    args.push_back(nullptr);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
}

}  // namespace veltrix::bench
