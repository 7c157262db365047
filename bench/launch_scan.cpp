// The launch watcher's once-a-second look at this machine's process table: reading every
// process's executable, and reading only the processes new since the last look (what the watch
// does while an app-launch rule is enabled; while the machine starts no process, not even the
// listing).
#include <benchmark/benchmark.h>

#include "platform/LaunchScanner.hpp"
#include "platform/SystemPaths.hpp"

namespace {

void scanEachLook(benchmark::State& state, velmora::ProcessReading reading) {
    velmora::LaunchScanner scanner(velmora::SystemPaths::applicationFolders(),
                                   velmora::LaunchScanner::defaultProcRoot, reading);
    scanner.scan();
    for (auto _ : state) {
        benchmark::DoNotOptimize(scanner.scan());
    }
    state.counters["executables read"] = static_cast<double>(scanner.executablesRead());
}

void BM_LaunchScanEveryProcess(benchmark::State& state) {
    scanEachLook(state, velmora::ProcessReading::everyProcess);
}
BENCHMARK(BM_LaunchScanEveryProcess)->Unit(benchmark::kMicrosecond);

void BM_LaunchScanNewProcesses(benchmark::State& state) {
    scanEachLook(state, velmora::ProcessReading::newProcesses);
}
BENCHMARK(BM_LaunchScanNewProcesses)->Unit(benchmark::kMicrosecond);

}  // namespace
