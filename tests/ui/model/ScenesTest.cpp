// Scenes: capturing the live state, the stored list, and switching the Mac to a scene in phases.
#include <cmath>

#include "tests/ui/model/ModelFakes.hpp"

namespace velmora::testing {
namespace {

using Keys = AppModel::Keys;
// The test fixture has a member function of the record's name.
using Scene = ::velmora::Setup;

const DefaultsKey magnification{"com.apple.dock", "magnification"};

class ScenesTest : public ModelTest {
  protected:
    std::unique_ptr<AppModel> model =
        make(Catalog({tweak("t-a"), tweak("t-b"), tweak("t-c"), tweak("t-d")}, {}));

    std::vector<Scene> storedSetups() {
        auto decoded = Scene::decodeList(storedData(Keys::setups));
        EXPECT_TRUE(decoded.ok()) << decoded.error();
        return decoded.ok() ? decoded.value() : std::vector<Scene>{};
    }
};

TEST_F(ScenesTest, CaptureHoldsTheLiveState) {
    backend->put(keyOf("t-d"), TweakValue::boolean(true));
    backend->put(keyOf("t-b"), TweakValue::boolean(true));
    backend->put({"com.apple.dock", "tilesize"}, TweakValue::integer(64));
    mac.pmset = {{"acwake", "1"}, {"powernap", "0"}, {"womp", "1"}};
    mac.keepAwake = true;
    model->refresh();

    const Scene setup = model->captureCurrentSetup("Desk", "desktopcomputer");
    EXPECT_EQ(setup.id.size(), 36U);
    EXPECT_THAT(setup.tweakIDs, ElementsAre("t-b", "t-d"));
    EXPECT_THAT(setup.powerToggleIDs, ElementsAre("power-disable-powernap", "power-wake-on-power"));
    EXPECT_EQ(setup.sliderValues.at("slider-dock-size"), 64);
    EXPECT_EQ(setup.sliderValues.at("slider-mouse-tracking"), 1) << "defaults fill the rest";
    EXPECT_TRUE(setup.lidClose);
}

// Applying the captured magnified size would switch magnification on.
TEST_F(ScenesTest, CaptureLeavesOutASliderWhoseCompanionIsNotSet) {
    backend->put({"com.apple.dock", "largesize"}, TweakValue::integer(100));
    const auto captured = [&] { return model->captureCurrentSetup("A", "a").sliderValues; };
    EXPECT_FALSE(captured().contains("slider-dock-magnification"));
    backend->put(magnification, TweakValue::integer(1));  // strict kinds: not the companion value
    EXPECT_FALSE(captured().contains("slider-dock-magnification"));
    backend->put(magnification, TweakValue::boolean(true));
    EXPECT_EQ(captured().at("slider-dock-magnification"), 100);
}

TEST_F(ScenesTest, NamesAreTrimmedBlankOnesRefusedAndTheListStoredAfterEveryChange) {
    model->saveSetup("  Desk\n", "desktopcomputer");
    model->saveSetup(" \t\n", "sofa");
    model->renameSetup(model->setups()[0], "   ");
    Scene desk = model->setups().at(0);
    desk.icon = "sofa";
    model->upsertSetup(desk);
    model->renameSetup(desk, " Office ");
    ASSERT_EQ(storedSetups().size(), 1U);
    EXPECT_EQ(std::tie(storedSetups()[0].name, storedSetups()[0].icon),
              std::tie("Office", desk.icon));
    model->deleteSetup(desk);
    EXPECT_TRUE(storedSetups().empty());
}

TEST_F(ScenesTest, AFailedTweakEndsOnlyTheTweakPhase) {
    backend->put(keyOf("t-b"), TweakValue::boolean(true));
    backend->unwritable.insert("t-c");
    mac.pmset = {{"acwake", "1"}};
    mac.failing.insert("lowpowermode");
    Scene scene;
    scene.tweakIDs = {"t-d", "t-c", "t-a", "t-unknown"};
    scene.powerToggleIDs = {"power-wake-on-power", "power-low-power-mode"};
    scene.sliderValues = {{"slider-dock-size", 64}, {"slider-gone", 3}};
    scene.lidClose = true;

    model->applySetup(scene);
    // Tweaks in catalog order, sliders, then only the power setting that was off.
    EXPECT_THAT(journal, ElementsAre("write t-a", "write t-b", "write t-c", "write tilesize",
                                     "restart Dock", "pmset lowpowermode 1", "keep awake"));
    EXPECT_EQ(backend->at(keyOf("t-d")), std::nullopt) << "after the failure: untouched";
    EXPECT_EQ(model->lastError(), std::nullopt) << "the last step that reported succeeded";
    EXPECT_EQ(model->revision(), 5) << "tweaks, one slider, one power setting, keep-awake";

    // An empty scene switches tweaks off and leaves keep-awake and power settings alone.
    journal.clear();
    model->applySetup(Scene{});
    EXPECT_THAT(journal, ElementsAre("write t-a"));
}

TEST_F(ScenesTest, ANonFiniteSceneValueNeitherWritesNorPoisonsTheStore) {
    model->saveSetup("Good", "one");
    const std::string stored = storedData(Keys::setups);
    Scene bad = model->captureCurrentSetup("Bad", "two");
    bad.sliderValues["slider-mouse-tracking"] = std::nan("");
    bad.sliderValues["slider-dock-size"] = 1e300;
    model->upsertSetup(bad);
    EXPECT_EQ(storedData(Keys::setups), stored) << "JSON cannot hold NaN: the old list stays";
    EXPECT_EQ(model->setups().size(), 1U) << "and so does the model's";
    EXPECT_THAT(model->lastError().value_or(""), ::testing::HasSubstr("not a finite number"));
    journal.clear();
    model->applySetup(bad);
    EXPECT_THAT(journal, ::testing::Not(::testing::Contains(
                             ::testing::AnyOf("write com.apple.mouse.scaling", "write tilesize"))));
}

}  // namespace
}  // namespace velmora::testing
