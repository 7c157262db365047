// The engine and recipes over the real preference store in a temp home: applied, reverted, and
// recorded as the files say when a write fails late.
#include "kit/RecipeRunner.hpp"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "PreferenceTestSupport.hpp"
#include "kit/VelmoraError.hpp"
#include "platform/CFPreferencesBackend.hpp"

namespace velmora {
namespace {

// Restarts nothing, failing for the names in `failing` as a killed killall would.
struct FakeServices : ServiceController {
    void restart(const std::string& name) override {
        if (failing.contains(name)) {
            throw std::runtime_error(name + " was not restarted");
        }
    }
    std::set<std::string> failing;
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
    std::shared_ptr<FakeServices> services = std::make_shared<FakeServices>();
    RecipeRunner runner{std::make_shared<TweakEngine>(backend, services, history),
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

// Without the records of what it changed before failing, reverting such a recipe would switch
// those tweaks off instead of restoring what the user had.
TEST(RecipeRunner, APartFailedRecipeHandsBackEveryRecordItMadeSoRevertRestoresThem) {
    Rig rig;
    rig.services->failing = {"Dock"};
    const DefaultsKey shadow{kCapture, "disable-shadow"};
    const DefaultsKey dock = Catalog::velmora().tweak("dock-instant-autohide-delay")->toggle().key;
    rig.backend->write(shadow, TweakValue::integer(7));
    AppliedRecipe applied;
    EXPECT_THROW(rig.runner.apply(Recipe{"r",
                                         "R",
                                         "",
                                         {{"screenshot-disable-shadow", true},
                                          {"dock-instant-autohide-delay", true},
                                          {"screenshot-format-jpg", true}},
                                         {},
                                         {}},
                                  applied),
                 std::runtime_error);
    ASSERT_EQ(applied.changes.size(), 2U) << "the Dock's keys were written before its restart";
    EXPECT_EQ(applied.recipeID, "r");
    EXPECT_NE(rig.onDisk(dock.domain, dock.key), std::nullopt);
    EXPECT_EQ(rig.onDisk(kCapture, "type"), std::nullopt) << "never reached";
    rig.services->failing.clear();
    rig.runner.revert(applied);
    EXPECT_EQ(rig.onDisk(kCapture, "disable-shadow"), TweakValue::integer(7));
    EXPECT_EQ(rig.onDisk(dock.domain, dock.key), std::nullopt);
    EXPECT_TRUE(rig.history->records().empty());
}

// The second key's folder flush fails after its file was replaced: the file holds the new value,
// so the change must be recorded (and not rolled back half-way) for undo to restore it.
TEST(RecipeRunner, AFolderFlushFailingAfterTheRenameStillRecordsTheKeyForUndo) {
    Rig rig;
    const Tweak two("two-keys", "Two", "", TweakCategory::dock, TweakTier::simple, Privilege::user,
                    RiskLevel::safe, TweakRequirement{},
                    {DefaultsToggle{{kCapture, "first"}, TweakValue::integer(1), {}, {}},
                     DefaultsToggle{{kCapture, "second"}, TweakValue::integer(2), {}, {}}},
                    {}, {}, false);
    rig.backend->write({kCapture, "second"}, TweakValue::integer(7));
    // Per write: the temporary file's fsync, then the folder's; the fourth is the second key's.
    FileFaults::failNth(FileStep::fsync, 4, EIO);
    ::testing::internal::CaptureStderr();
    const ChangeRecord record = rig.runner.engine->setEnabled(true, two);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("may not survive a crash"),
              std::string::npos);
    ASSERT_EQ(record.changes.size(), 2U);
    EXPECT_EQ(record.changes[1].key.key, "second");
    EXPECT_EQ(rig.onDisk(kCapture, "second"), TweakValue::integer(2));
    rig.runner.engine->undo(record);
    EXPECT_EQ(rig.onDisk(kCapture, "first"), std::nullopt);
    EXPECT_EQ(rig.onDisk(kCapture, "second"), TweakValue::integer(7));
}

}  // namespace
}  // namespace velmora
