// Cost of one run of a stand-in tool as a whole process, the way the app model runs them on
// refresh, beside the floor (/bin/true) and the desktop's own reader of one setting (dconf read).
// Target: `defaults read` at most 0.45 times `dconf read`.
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/Targets.hpp"
#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A system root and a home root of their own, removed when the benchmark ends.
class TemporaryRoots {
  public:
    TemporaryRoots() {
        fs::create_directories(folder_.path() / "system");
        fs::create_directories(folder_.path() / "home");
    }
    std::vector<std::string> environment() const {
        return {std::string(SystemPaths::rootVariable) + "=" + (folder_.path() / "system").string(),
                "VELMORA_HOME_ROOT=" + (folder_.path() / "home").string()};
    }

  private:
    testing::TempFolder folder_{"velmora-bench"};
};

ProcessResult runTool(const fs::path& program, const std::vector<std::string>& arguments,
                      const TemporaryRoots& roots) {
    ProcessOptions options;
    options.environment = roots.environment();
    return ProcessRunner::run(program.string(), arguments, options);
}

constexpr double microsecondsPerSecond = 1e6;
constexpr double secondsPerMillisecond = 1e-3;

// CPU time spent by reaped children so far; unlike wall time it hardly moves with machine load.
double childCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) +
               static_cast<double>(t.tv_usec) / microsecondsPerSecond;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void runEachIteration(benchmark::State& state, const fs::path& program,
                      const std::vector<std::string>& arguments, const TemporaryRoots& roots) {
    const double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        ProcessResult result = runTool(program, arguments, roots);
        if (!result.succeeded()) {
            state.SkipWithError(("run failed: " + result.standardError).c_str());
            break;
        }
        benchmark::DoNotOptimize(result.standardOutput.data());
    }
    if (state.iterations() > 0) {
        state.counters["child_cpu_ms"] = (childCpuSeconds() - cpuBefore) /
                                         static_cast<double>(state.iterations()) /
                                         secondsPerMillisecond;
    }
}

// The floor: what any process costs to start and reap on this machine.
void BM_SpawnTrue(benchmark::State& state) {
    TemporaryRoots roots;
    runEachIteration(state, "/bin/true", {}, roots);
}
BENCHMARK(BM_SpawnTrue)->Unit(benchmark::kMillisecond)->UseRealTime();

// What dark mode's reader runs: a key present in the global domain.
void BM_DefaultsRead(benchmark::State& state) {
    TemporaryRoots roots;
    const fs::path defaults = SystemTools::path(SystemTool::defaults);
    if (!runTool(defaults, {"write", "-g", "AppleInterfaceStyle", "Dark"}, roots).succeeded()) {
        state.SkipWithError("cannot prepare the preference");
        return;
    }
    runEachIteration(state, defaults, {"read", "-g", "AppleInterfaceStyle"}, roots);
}
BENCHMARK(BM_DefaultsRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// The desktop's reader of one setting, as a yardstick: skipped where dconf is not installed.
constexpr const char* kDconf = "/usr/bin/dconf";
void BM_DconfRead(benchmark::State& state) {
    TemporaryRoots roots;
    if (!fs::exists(kDconf)) {
        state.SkipWithError("dconf is not installed (scripts/setup installs it)");
        return;
    }
    runEachIteration(state, kDconf, {"read", "/org/gnome/desktop/interface/color-scheme"}, roots);
}
BENCHMARK(BM_DconfRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the power readers run, over a settings file with stored values.
void BM_PmsetShow(benchmark::State& state) {
    TemporaryRoots roots;
    const fs::path pmset = SystemTools::path(SystemTool::pmset);
    if (!runTool(pmset, {"-a", "powernap", "0"}, roots).succeeded()) {
        state.SkipWithError("cannot prepare the settings (needs root)");
        return;
    }
    runEachIteration(state, pmset, {"-g"}, roots);
}
BENCHMARK(BM_PmsetShow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
    using namespace velmora::bench;
    constexpr int kRepetitions = 5;
    return runWithTargets(
        argc, argv,
        {{"defaults read / dconf read",
          [](const TargetReporter& runs) { return ratio(runs, "BM_DefaultsRead", "BM_DconfRead"); },
          0.45, "x"}},
        // A process's start swings by a sixth from run to run here, and the ratio with it.
        "stand-in tools as processes", true, Repetitions{kRepetitions});
}
