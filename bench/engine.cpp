// Cost of switching a three-key tweak on and undoing it, over the real preference store on disk.
#include <filesystem>
#include <memory>

#include <benchmark/benchmark.h>

#include "kit/TweakEngine.hpp"
#include "platform/CFPreferencesBackend.hpp"
#include "platform/KillallServiceController.hpp"
#include "platform/PreferenceStore.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {
namespace {

// Three keys in two domains, the global one included, as the catalog's multi-key tweaks have; no
// process to restart, so only the preference work is measured.
Tweak threeKeyTweak() {
    return Tweak(
        "bench-three-keys", "Three keys", "Benchmark", TweakCategory::dock, TweakTier::simple,
        Privilege::user, RiskLevel::safe, TweakRequirement{},
        std::vector<DefaultsToggle>{
            {{"com.apple.dock", "autohide"}, TweakValue::boolean(true), std::nullopt, std::nullopt},
            {{"com.apple.dock", "autohide-delay"},
             TweakValue::real(0.0),
             std::nullopt,
             std::nullopt},
            {{"NSGlobalDomain", "AppleShowAllExtensions"},
             TweakValue::boolean(true),
             TweakValue::boolean(false),
             std::nullopt}},
        {}, {}, false);
}

void setEnabledThenUndo(benchmark::State& state) {
    const testing::TempFolder root("velmora-bench");
    auto store = std::make_shared<PreferenceStore>(root.path());
    TweakEngine engine(std::make_shared<CFPreferencesBackend>(store),
                       std::make_shared<KillallServiceController>(),
                       std::make_shared<HistoryStore>());
    const Tweak tweak = threeKeyTweak();
    for (auto _ : state) {
        const ChangeRecord record = engine.setEnabled(true, tweak);
        engine.undo(record);
    }
}
BENCHMARK(setEnabledThenUndo)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora
