// Cost of switching a three-key tweak on and undoing it, over the real preference store on disk.
#include <stdlib.h>

#include <filesystem>
#include <memory>

#include <benchmark/benchmark.h>

#include "kit/TweakEngine.hpp"
#include "platform/CFPreferencesBackend.hpp"
#include "platform/KillallServiceController.hpp"
#include "platform/PreferenceStore.hpp"

namespace velmora {
namespace {

// A home root of its own, removed with everything in it when the benchmark ends.
class TemporaryHomeRoot {
  public:
    TemporaryHomeRoot() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("Could not create a temporary home root");
        }
        path_ = pattern;
    }
    TemporaryHomeRoot(const TemporaryHomeRoot&) = delete;
    TemporaryHomeRoot& operator=(const TemporaryHomeRoot&) = delete;
    ~TemporaryHomeRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

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
    TemporaryHomeRoot root;
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
