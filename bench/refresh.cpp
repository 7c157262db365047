// `AppModel::refresh()`, run on every popover opening and after every click: with the live layers
// (the preference store and the pmset and defaults stand-ins) against the cost of the tool runs
// alone, and with fakes behind every seam.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "kit/Catalog.hpp"
#include "platform/CFPreferencesBackend.hpp"
#include "platform/InMemoryDefaultsBackend.hpp"
#include "platform/InMemoryUserDefaults.hpp"
#include "platform/KillallServiceController.hpp"
#include "platform/SystemPaths.hpp"
#include "platform/ToolOutput.hpp"
#include "tests/support/TempFolder.hpp"
#include "ui/model/AppModel.hpp"

namespace {

using namespace velmora;

// Temporary home and system roots for the simulated Mac, named in the environment the stand-in
// tools read; removed afterwards.
class BenchMac {
  public:
    BenchMac() {
        ::setenv(PreferenceStore::homeRootVariable, home_.path().c_str(), 1);
        ::setenv(SystemPaths::rootVariable, system_.path().c_str(), 1);
    }

    const std::filesystem::path& home() const { return home_.path(); }

  private:
    testing::TempFolder home_{"velmora-bench-home"};
    testing::TempFolder system_{"velmora-bench-system"};
};

class NoRestarts : public ServiceController {
  public:
    void restart(const std::string&) override {}
};

std::unique_ptr<AppModel> liveModel(const BenchMac& mac) {
    auto store = std::make_shared<PreferenceStore>(mac.home());
    return std::make_unique<AppModel>(
        Catalog::velmora(), std::make_shared<CFPreferencesBackend>(store),
        std::make_shared<KillallServiceController>(),
        std::make_shared<PreferenceUserDefaults>(store, VELMORA_BUNDLE_ID), PowerControl::live(),
        DisplayControl::live());
}

// What the live refresh cannot avoid: one run each of `pmset -g`, `pmset -g batt` and
// `defaults read -g AppleInterfaceStyle`.
void runThreeTools() {
    static const auto pmset = SystemTools::path(SystemTool::pmset);
    static const auto defaults = SystemTools::path(SystemTool::defaults);
    benchmark::DoNotOptimize(ToolOutput::capture(pmset, {"-g"}));
    benchmark::DoNotOptimize(ToolOutput::capture(pmset, {"-g", "batt"}));
    benchmark::DoNotOptimize(ToolOutput::capture(defaults, {"read", "-g", "AppleInterfaceStyle"}));
}

void liveRefresh(benchmark::State& state) {
    BenchMac mac;
    auto model = liveModel(mac);
    for (auto _ : state) {
        model->refresh();
    }
}
BENCHMARK(liveRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

void threeToolRuns(benchmark::State& state) {
    BenchMac mac;
    for (auto _ : state) {
        runThreeTools();
    }
}
BENCHMARK(threeToolRuns)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two above taken in turns, so that a change in the machine's load between them does not
// skew their ratio ("ratio": live refresh time over the three tool runs' time).
void liveRefreshOverToolRuns(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    BenchMac mac;
    auto model = liveModel(mac);
    Clock::duration refreshing{};
    Clock::duration running{};
    for (auto _ : state) {
        const auto start = Clock::now();
        model->refresh();
        const auto between = Clock::now();
        runThreeTools();
        refreshing += between - start;
        running += Clock::now() - between;
    }
    state.counters["ratio"] = std::chrono::duration<double>(refreshing).count() /
                              std::chrono::duration<double>(running).count();
}
BENCHMARK(liveRefreshOverToolRuns)->Unit(benchmark::kMillisecond)->UseRealTime();

void fakeRefresh(benchmark::State& state) {
    const std::map<std::string, std::string> pmset{
        {"SleepDisabled", "0"}, {"powernap", "1"}, {"lowpowermode", "0"}, {"womp", "1"},
        {"tcpkeepalive", "1"},  {"acwake", "0"},   {"displaysleep", "10"}};
    PowerControl power{
        .reader = [] { return false; },
        .writer = [](bool) {},
        .batteryReader = [] { return true; },
        .valuesReader = [&] { return pmset; },
        .settingWriter = [](const std::string&, const std::string&) {},
    };
    DisplayControl display{[] { return false; }, [](bool) {}};
    AppModel model(Catalog::velmora(), std::make_shared<InMemoryDefaultsBackend>(),
                   std::make_shared<NoRestarts>(), std::make_shared<InMemoryUserDefaults>(), power,
                   display);
    for (auto _ : state) {
        model.refresh();
    }
}
BENCHMARK(fakeRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace
