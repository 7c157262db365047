// Scenes: capturing the live state, the stored list, and switching the Mac to a scene in phases.
#include <cmath>

#include <gmock/gmock.h>

#include "tests/ui/model/ModelFakes.hpp"

namespace velmora::testing {
namespace {

using Keys = AppModel::Keys;
// The test fixture has a member function of the record's name.
using Scene = ::velmora::Setup;

Catalog scenesCatalog() {
    return Catalog({tweak("t-a"), tweak("t-b"), tweak("t-c"), tweak("t-d")}, {});
}

const DefaultsKey dockSize{"com.apple.dock", "tilesize"};
const DefaultsKey magnifiedSize{"com.apple.dock", "largesize"};
const DefaultsKey magnification{"com.apple.dock", "magnification"};

class ScenesTest : public ModelTest {
  protected:
    std::unique_ptr<AppModel> model = make(scenesCatalog());

    std::vector<Scene> storedSetups() {
        auto decoded = Scene::decodeList(storedData(Keys::setups));
        EXPECT_TRUE(decoded.ok()) << decoded.error();
        return decoded.ok() ? decoded.value() : std::vector<Scene>{};
    }
};

TEST_F(ScenesTest, CaptureHoldsTheLiveState) {
    backend->put(keyOf("t-d"), TweakValue::boolean(true));
    backend->put(keyOf("t-b"), TweakValue::boolean(true));
    backend->put(dockSize, TweakValue::integer(64));
    mac.pmset = {{"acwake", "1"}, {"powernap", "0"}, {"womp", "1"}};
    mac.keepAwake = true;
    model->refresh();

    const Scene setup = model->captureCurrentSetup("Desk", "desktopcomputer");
    EXPECT_EQ(setup.id.size(), 36U);
    EXPECT_EQ(setup.id, QString::fromStdString(setup.id).toUpper().toStdString());
    EXPECT_THAT(setup.tweakIDs, ElementsAre("t-b", "t-d"));
    EXPECT_THAT(setup.powerToggleIDs, ElementsAre("power-disable-powernap", "power-wake-on-power"));
    EXPECT_EQ(setup.sliderValues.at("slider-dock-size"), 64);
    EXPECT_EQ(setup.sliderValues.at("slider-mouse-tracking"), 1) << "defaults fill the rest";
    EXPECT_TRUE(setup.lidClose);
    EXPECT_TRUE(model->setups().empty()) << "capturing adds nothing";
}

// Applying the captured magnified size would switch magnification on.
TEST_F(ScenesTest, CaptureLeavesOutASliderWhoseCompanionIsNotSet) {
    backend->put(magnifiedSize, TweakValue::integer(100));
    EXPECT_FALSE(
        model->captureCurrentSetup("A", "a").sliderValues.contains("slider-dock-magnification"));
    backend->put(magnification, TweakValue::integer(1));  // strict kinds: not the companion value
    EXPECT_FALSE(
        model->captureCurrentSetup("A", "a").sliderValues.contains("slider-dock-magnification"));
    backend->put(magnification, TweakValue::boolean(true));
    EXPECT_EQ(model->captureCurrentSetup("A", "a").sliderValues.at("slider-dock-magnification"),
              100);
    EXPECT_EQ(model->captureCurrentSetup("A", "a").sliderValues.size(), 5U);
}

TEST_F(ScenesTest, TheListIsStoredAfterEveryChange) {
    model->saveSetup("  Desk\n", "desktopcomputer");
    model->saveSetup(" \t\n", "sofa");
    ASSERT_EQ(model->setups().size(), 1U);
    EXPECT_EQ(model->setups()[0].name, "Desk");

    Scene sofa = model->captureCurrentSetup("Sofa", "sofa");
    model->upsertSetup(sofa);
    sofa.name = "Couch";
    model->upsertSetup(sofa);
    ASSERT_EQ(model->setups().size(), 2U);
    EXPECT_EQ(model->setups()[1].name, "Couch");

    model->renameSetup(model->setups()[0], "  Office ");
    model->renameSetup(model->setups()[0], "   ");
    EXPECT_EQ(model->setups()[0].name, "Office");
    EXPECT_EQ(storedSetups(), model->setups());
    model->deleteSetup(sofa);
    EXPECT_EQ(storedSetups().size(), 1U);
}

TEST_F(ScenesTest, UpdateKeepsPlaceIdNameAndIconAndTakesTheLiveContent) {
    model->saveSetup("First", "one");
    model->saveSetup("Second", "two");
    Scene second = model->setups()[1];
    backend->put(keyOf("t-c"), TweakValue::boolean(true));
    mac.pmset = {{"lowpowermode", "1"}};
    mac.keepAwake = true;
    model->refresh();

    second.name = "Renamed";  // taken from the argument, not from the stored scene
    model->updateSetupToCurrent(second);
    const Scene& updated = model->setups()[1];
    EXPECT_EQ(updated.id, second.id);
    EXPECT_EQ(updated.name, "Renamed");
    EXPECT_EQ(updated.icon, "two");
    EXPECT_THAT(updated.tweakIDs, ElementsAre("t-c"));
    EXPECT_THAT(updated.powerToggleIDs, ElementsAre("power-low-power-mode"));
    EXPECT_TRUE(updated.lidClose);
    EXPECT_EQ(storedSetups()[1], updated);
}

TEST_F(ScenesTest, AFailedTweakEndsOnlyTheTweakPhase) {
    backend->put(keyOf("t-b"), TweakValue::boolean(true));
    backend->unwritable.insert("t-c");
    mac.pmset = {{"acwake", "1"}};

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
}

TEST_F(ScenesTest, EveryReportingStepOverwritesTheError) {
    mac.failingKeys.insert("lowpowermode");
    Scene scene;
    scene.powerToggleIDs = {"power-low-power-mode", "power-wake-on-power"};
    model->applySetup(scene);
    EXPECT_EQ(model->lastError(), std::nullopt) << "a later success clears an earlier failure";
    EXPECT_THAT(journal, ElementsAre("pmset lowpowermode 1", "pmset acwake 1"))
        << "a failure goes on with the next setting";
    scene.powerToggleIDs = {"power-wake-on-power", "power-low-power-mode"};
    model->applySetup(scene);
    EXPECT_TRUE(model->lastError());
}

TEST_F(ScenesTest, ApplyingTwiceChangesOnlyTheSlidersAgain) {
    Scene scene;
    scene.tweakIDs = {"t-a"};
    scene.powerToggleIDs = {"power-wake-on-power"};
    scene.sliderValues = {{"slider-dock-size", 40}};
    model->applySetup(scene);
    journal.clear();
    model->applySetup(scene);
    EXPECT_THAT(journal, ElementsAre("write tilesize", "restart Dock"));

    // Nothing is ever switched off but tweaks: an empty scene turns every tweak off only.
    mac.keepAwake = true;
    model->refresh();
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
    journal.clear();
    model->applySetup(bad);
    EXPECT_THAT(journal, ::testing::Not(::testing::Contains(
                             ::testing::AnyOf("write com.apple.mouse.scaling", "write tilesize"))));
}

}  // namespace
}  // namespace velmora::testing
