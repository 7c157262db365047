// Recipes applied and reverted through the engine over the real preference store in a temp home.
#include "kit/RecipeRunner.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PreferenceTestSupport.hpp"
#include "kit/VelmoraError.hpp"
#include "platform/CFPreferencesBackend.hpp"

namespace velmora {
namespace {

struct NoServices : ServiceController {
    void restart(const std::string&) override {}
};

struct Rig {
    // A fresh store reads the files, so what is checked is what reached the disk.
    std::optional<TweakValue> onDisk(const std::string& domain, const std::string& key) const {
        return CFPreferencesBackend(home.store()).read({domain, key});
    }
    testing::TempHome home;
    std::shared_ptr<CFPreferencesBackend> backend =
        std::make_shared<CFPreferencesBackend>(home.store());
    std::shared_ptr<HistoryStore> history = std::make_shared<HistoryStore>();
    RecipeRunner runner{
        std::make_shared<TweakEngine>(backend, std::make_shared<NoServices>(), history),
        Catalog::velmora()};
};

const std::string kCapture = "com.apple.screencapture";

TEST(RecipeRunner, AppliesABuiltInRecipeAndRevertsItToWhatWasThere) {
    Rig rig;
    rig.backend->write({kCapture, "type"}, TweakValue::string("png"));
    const auto disk = [&] {
        return std::vector{rig.onDisk(kCapture, "disable-shadow"),
                           rig.onDisk(kCapture, "show-thumbnail"), rig.onDisk(kCapture, "type")};
    };
    const AppliedRecipe applied = rig.runner.apply(Catalog::velmora().recipes().front());
    EXPECT_EQ(applied.recipeID, "screenshot-studio");
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
    try {
        rig.runner.apply(Recipe{"r",
                                "R",
                                "",
                                {{"screenshot-disable-shadow", true},
                                 {"no-such-tweak", true},
                                 {"screenshot-format-jpg", true}},
                                {},
                                {}});
        FAIL() << "applied a recipe with a missing tweak";
    } catch (const VelmoraError& error) {
        EXPECT_EQ(error, VelmoraError::unknownTweak("no-such-tweak"));
    }
    EXPECT_EQ(rig.onDisk(kCapture, "disable-shadow"), TweakValue::boolean(true));
    EXPECT_EQ(rig.onDisk(kCapture, "type"), std::nullopt);
    ASSERT_EQ(rig.history->records().size(), 1U);
    EXPECT_EQ(rig.history->records()[0].tweakID, "screenshot-disable-shadow");
}

}  // namespace
}  // namespace velmora
