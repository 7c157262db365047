// A benchmark program's targets: the console table as usual, then every figure beside its target,
// and a non-zero exit when one is missed. Figures are read from the runs just made, so a ratio
// compares two runs of the same program on the same machine at the same time.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::bench {

class TargetReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions, the median stands for the benchmark.
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) {
                continue;
            }
            if (run.run_type == Run::RT_Iteration) {
                const double seconds =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
                runs_.try_emplace(run.run_name.str(), Figures{seconds, run.counters});
            } else if (run.aggregate_name == "median") {
                const double seconds =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
                runs_[run.run_name.str()] = {seconds, run.counters};
            }
        }
    }

    // The slowest real time per iteration, in seconds, of the runs whose name starts with
    // `prefix`; nothing when none ran.
    std::optional<double> seconds(const std::string& prefix) const {
        std::optional<double> slowest;
        for (const auto& [name, run] : runs_) {
            if (name.rfind(prefix, 0) == 0) {
                slowest = std::max(slowest.value_or(0.0), run.seconds);
            }
        }
        return slowest;
    }
    // A counter of the first run whose name starts with `prefix`.
    std::optional<double> counter(const std::string& prefix, const std::string& name) const {
        for (const auto& [runName, run] : runs_) {
            const auto found = run.counters.find(name);
            if (runName.rfind(prefix, 0) == 0 && found != run.counters.end()) {
                return static_cast<double>(found->second);
            }
        }
        return std::nullopt;
    }

  private:
    struct Figures {
        double seconds = 0;
        benchmark::UserCounters counters;
    };
    std::map<std::string, Figures> runs_;
};

// One target: a figure computed from the runs (nothing when what it needs did not run), the
// highest value that meets it, and how to print both.
struct Target {
    std::string what;
    std::function<std::optional<double>(const TargetReporter&)> figure;
    double limit = 0;
    std::string unit;  // "ms", "us", "x" (a ratio), "" (a count)
};

inline std::optional<double> milliseconds(const TargetReporter& runs, const std::string& prefix) {
    const auto seconds = runs.seconds(prefix);
    return seconds ? std::optional<double>(*seconds * 1e3) : std::nullopt;
}
inline std::optional<double> microseconds(const TargetReporter& runs, const std::string& prefix) {
    const auto seconds = runs.seconds(prefix);
    return seconds ? std::optional<double>(*seconds * 1e6) : std::nullopt;
}
inline std::optional<double> ratio(const TargetReporter& runs, const std::string& prefix,
                                   const std::string& against) {
    const auto a = runs.seconds(prefix);
    const auto b = runs.seconds(against);
    return a && b && *b > 0 ? std::optional<double>(*a / *b) : std::nullopt;
}

// Prints each target's figure; `binding` says whether a missed target fails the program (the
// interface's targets hold on a real display, not on the offscreen platform). Returns the exit
// status.
inline int reportTargets(const TargetReporter& runs, const std::vector<Target>& targets,
                         const std::string& setting, bool binding = true) {
    int missed = 0;
    std::printf("\ntargets (%s%s)\n", setting.c_str(), binding ? "" : ", for reference only");
    for (const Target& target : targets) {
        const std::optional<double> figure = target.figure(runs);
        if (!figure) {
            std::printf("  %-52s %10s   target <= %g %s   not measured\n", target.what.c_str(), "-",
                        target.limit, target.unit.c_str());
            continue;
        }
        const bool met = *figure <= target.limit;
        missed += met ? 0 : 1;
        std::printf("  %-52s %10.3f %-2s target <= %g %s   %s\n", target.what.c_str(), *figure,
                    target.unit.c_str(), target.limit, target.unit.c_str(), met ? "met" : "MISSED");
    }
    std::fflush(stdout);
    return binding && missed > 0 ? 1 : 0;
}

// How many times each benchmark runs when the command line does not say: once, or for a figure
// that swings from run to run on a busy machine, several, of which the median stands.
struct Repetitions {
    int count = 1;
};

// The usual benchmark main with targets.
inline int runWithTargets(int argc, char** argv, const std::vector<Target>& targets,
                          const std::string& setting, bool binding = true,
                          Repetitions repetitions = {}) {
    std::vector<char*> arguments(argv, argv + argc);
    std::string repeated = "--benchmark_repetitions=" + std::to_string(repetitions.count);
    const bool given = std::any_of(arguments.begin(), arguments.end(), [](const char* a) {
        return std::string_view(a).starts_with("--benchmark_repetitions");
    });
    if (!given && repetitions.count > 1) {
        arguments.push_back(repeated.data());
    }
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    TargetReporter runs;
    benchmark::RunSpecifiedBenchmarks(&runs);
    benchmark::Shutdown();
    return reportTargets(runs, targets, setting, binding);
}

}  // namespace velmora::bench
