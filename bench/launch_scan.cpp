// The launch watcher's once-a-second look at this machine's process table.
#include <benchmark/benchmark.h>

#include "platform/LaunchScanner.hpp"
#include "platform/SystemPaths.hpp"

namespace {

void BM_LaunchScan(benchmark::State& state) {
    velmora::LaunchScanner scanner(velmora::SystemPaths::applicationFolders());
    scanner.scan();
    for (auto _ : state) {
        benchmark::DoNotOptimize(scanner.scan());
    }
}
BENCHMARK(BM_LaunchScan)->Unit(benchmark::kMicrosecond);

}  // namespace
