// Recipes applied and reverted through the engine over the real preference store in a temp home.
#include "kit/RecipeRunner.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "PreferenceTestSupport.hpp"
#include "kit/VelmoraError.hpp"
#include "platform/CFPreferencesBackend.hpp"

namespace velmora {
namespace {

using testing::TempHome;

// Remembers each restart; once armed, refuses them as a process that cannot be restarted would.
class RecordingServices : public ServiceController {
  public:
    void restart(const std::string& processName) override {
        if (refuse) {
            throw std::runtime_error("cannot restart " + processName);
        }
        restarted.push_back(processName);
    }
    std::vector<std::string> restarted;
    bool refuse = false;
};

struct Rig {
    explicit Rig(Catalog catalog = Catalog::velmora())
        : backend(std::make_shared<CFPreferencesBackend>(home.store())),
          services(std::make_shared<RecordingServices>()),
          history(std::make_shared<HistoryStore>()),
          runner(std::make_shared<TweakEngine>(backend, services, history), std::move(catalog)) {}

    // A fresh store reads the files, so what is checked is what reached the disk.
    std::optional<TweakValue> onDisk(const std::string& domain, const std::string& key) const {
        return CFPreferencesBackend(home.store()).read({domain, key});
    }

    TempHome home;
    std::shared_ptr<CFPreferencesBackend> backend;
    std::shared_ptr<RecordingServices> services;
    std::shared_ptr<HistoryStore> history;
    RecipeRunner runner;
};

const std::string kCapture = "com.apple.screencapture";
const std::string kTest = "com.velmora.recipes";

Recipe recipeOf(std::vector<RecipeItem> items) {
    return Recipe{"test-recipe", "Test", "For tests.", std::move(items), {}, {}};
}

Tweak intTweak(const std::string& id, const std::string& key, std::int64_t on,
               std::optional<TweakValue> off = std::nullopt,
               std::optional<std::string> restart = std::nullopt) {
    return Tweak(
        id, id, "", TweakCategory::system, TweakTier::simple, Privilege::user, RiskLevel::safe, {},
        DefaultsToggle{{kTest, key}, TweakValue::integer(on), off, restart}, {}, {}, false);
}

TEST(RecipeRunner, AppliesABuiltInRecipeAndRevertsItToWhatWasThere) {
    Rig rig;
    rig.backend->write({kCapture, "type"}, TweakValue::string("png"));
    const Recipe& studio = Catalog::velmora().recipes().front();
    ASSERT_EQ(studio.id, "screenshot-studio");
    const auto disk = [&] {
        return std::vector{rig.onDisk(kCapture, "disable-shadow"),
                           rig.onDisk(kCapture, "show-thumbnail"), rig.onDisk(kCapture, "type")};
    };

    const AppliedRecipe applied = rig.runner.apply(studio);
    EXPECT_EQ(applied.recipeID, "screenshot-studio");
    ASSERT_EQ(applied.changes.size(), 3U);
    EXPECT_EQ(applied.changes[2].changes[0].previousValue, TweakValue::string("png"));
    EXPECT_EQ(rig.history->records(), applied.changes);
    EXPECT_EQ(disk(), (std::vector<std::optional<TweakValue>>{TweakValue::boolean(true),
                                                              TweakValue::boolean(false),
                                                              TweakValue::string("jpg")}));
    rig.runner.revert(applied);
    EXPECT_EQ(disk(), (std::vector<std::optional<TweakValue>>{std::nullopt, std::nullopt,
                                                              TweakValue::string("png")}));
    EXPECT_TRUE(rig.history->records().empty());
}

TEST(RecipeRunner, AMissingTweakMidwayLeavesTheEarlierItemsApplied) {
    Rig rig;
    const Recipe recipe = recipeOf({{"screenshot-disable-shadow", true},
                                    {"no-such-tweak", true},
                                    {"screenshot-format-jpg", true}});
    try {
        rig.runner.apply(recipe);
        FAIL() << "applied a recipe with a missing tweak";
    } catch (const VelmoraError& error) {
        EXPECT_EQ(error, VelmoraError::unknownTweak("no-such-tweak"));
    }
    EXPECT_EQ(rig.onDisk(kCapture, "disable-shadow"), TweakValue::boolean(true));
    EXPECT_EQ(rig.onDisk(kCapture, "type"), std::nullopt);
    ASSERT_EQ(rig.history->records().size(), 1U);
    EXPECT_EQ(rig.history->records()[0].tweakID, "screenshot-disable-shadow");
}

// Revert walks backwards, so a shared key ends where it started, and stops at its first error.
TEST(RecipeRunner, RevertWalksBackwardsAndStopsAtTheFirstError) {
    Rig rig(Catalog({intTweak("one", "shared", 1), intTweak("two", "shared", 2),
                     intTweak("off", "switch", 1, TweakValue::integer(0)),
                     intTweak("restarts", "b", 1, {}, "Fragile")},
                    {}));
    rig.backend->write({kTest, "shared"}, TweakValue::integer(7));
    rig.backend->write({kTest, "switch"}, TweakValue::integer(1));
    // Every item is written and recorded, also one switching its tweak off.
    const AppliedRecipe applied =
        rig.runner.apply(recipeOf({{"one", true}, {"two", true}, {"off", false}, {"one", true}}));
    ASSERT_EQ(applied.changes.size(), 4U);
    EXPECT_EQ(rig.onDisk(kTest, "shared"), TweakValue::integer(1));
    EXPECT_EQ(rig.onDisk(kTest, "switch"), TweakValue::integer(0));
    rig.runner.revert(applied);
    EXPECT_EQ(rig.onDisk(kTest, "shared"), TweakValue::integer(7));
    EXPECT_EQ(rig.onDisk(kTest, "switch"), TweakValue::integer(1));

    const AppliedRecipe second = rig.runner.apply(recipeOf({{"one", true}, {"restarts", true}}));
    EXPECT_EQ(rig.services->restarted, (std::vector<std::string>{"Fragile"}));
    rig.services->refuse = true;
    EXPECT_THROW(rig.runner.revert(second), std::runtime_error);
    EXPECT_EQ(rig.onDisk(kTest, "b"), std::nullopt);  // undone before its restart failed
    EXPECT_EQ(rig.onDisk(kTest, "shared"), TweakValue::integer(1));
    ASSERT_EQ(rig.history->records().size(), 1U);
    EXPECT_EQ(rig.history->records()[0].tweakID, "one");
}

}  // namespace
}  // namespace velmora
