// The preference store's two costs the engine pays: a cached key read and a durable key write,
// beside a GSettings read of one key where GIO is there. Target: the cached read at most 0.3 times
// the GSettings read.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#ifdef VELMORA_BENCH_GSETTINGS
#include <gio/gio.h>
#endif

#include "bench/Targets.hpp"
#include "platform/CFPreferencesBackend.hpp"
#include "tests/support/TempFolder.hpp"

namespace {

using velmora::CFPreferencesBackend;
using velmora::DefaultsKey;
using velmora::PreferenceStore;
using velmora::TweakValue;

constexpr int keysInDomain = 40;  // about what a real com.apple.dock holds

// A temporary home root holding one domain of `keysInDomain` keys; removed afterwards.
class BenchHome {
  public:
    BenchHome() {
        backend = std::make_unique<CFPreferencesBackend>(
            std::make_shared<PreferenceStore>(folder_.path()));
        for (int i = 0; i < keysInDomain; ++i) {
            backend->write({"com.apple.dock", "key" + std::to_string(i)}, TweakValue::integer(i));
        }
    }
    ~BenchHome() { backend.reset(); }
    BenchHome(const BenchHome&) = delete;
    BenchHome& operator=(const BenchHome&) = delete;

  private:
    velmora::testing::TempFolder folder_{"velmora-bench"};  // before the store that lives in it

  public:
    std::unique_ptr<CFPreferencesBackend> backend;
};

void cachedKeyRead(benchmark::State& state) {
    BenchHome home;
    const DefaultsKey key{"com.apple.dock", "key17"};
    for (auto _ : state) {
        benchmark::DoNotOptimize(home.backend->read(key));
    }
}
BENCHMARK(cachedKeyRead);

#ifdef VELMORA_BENCH_GSETTINGS
// The desktop's own cached read of one setting, as a yardstick.
void gsettingsRead(benchmark::State& state) {
    GSettings* settings = g_settings_new("org.gnome.desktop.interface");
    for (auto _ : state) {
        benchmark::DoNotOptimize(g_settings_get_int(settings, "cursor-size"));
    }
    g_object_unref(settings);
}
BENCHMARK(gsettingsRead);
#endif

void durableKeyWrite(benchmark::State& state) {
    BenchHome home;
    const DefaultsKey key{"com.apple.dock", "tilesize"};
    std::int64_t size = 0;
    for (auto _ : state) {
        home.backend->write(key, TweakValue::integer(++size % 128));
    }
}
BENCHMARK(durableKeyWrite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora::bench;
    return runWithTargets(
        argc, argv,
        {{"cached read / GSettings read",
          [](const TargetReporter& runs) { return ratio(runs, "cachedKeyRead", "gsettingsRead"); },
          0.3, "x"}},
        "preference store");
}
