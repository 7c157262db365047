// Cost of one run of a stand-in tool as a whole process, the way the app model runs them on
// refresh.
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A system root and a home root of their own, removed when the benchmark ends.
class TemporaryRoots {
  public:
    TemporaryRoots() : path_(make()) {
        fs::create_directories(path_ / "system");
        fs::create_directories(path_ / "home");
    }
    TemporaryRoots(const TemporaryRoots&) = delete;
    TemporaryRoots& operator=(const TemporaryRoots&) = delete;
    ~TemporaryRoots() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::vector<std::string> environment() const {
        return {std::string(SystemPaths::rootVariable) + "=" + (path_ / "system").string(),
                "VELMORA_HOME_ROOT=" + (path_ / "home").string()};
    }

  private:
    static fs::path make() {
        std::string pattern = (fs::temp_directory_path() / "velmora-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("Could not create temporary roots");
        }
        return pattern;
    }
    fs::path path_;
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
