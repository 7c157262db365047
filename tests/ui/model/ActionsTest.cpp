// The model's operations: the error convention, recipes, tweaks, favourites, power settings,
// sliders, appearance, the profile and search.
#include <algorithm>
#include <cmath>
#include <limits>

#include "tests/ui/model/ModelFakes.hpp"

namespace velmora::testing {
namespace {

using Keys = AppModel::Keys;

Catalog actionsCatalog() {
    return Catalog({tweak("t-a"), tweak("t-b"), tweak("t-c")},
                   {recipe("r-ab", {{"t-a", true}, {"t-b", true}}),
                    recipe("r-gone", {{"t-a", true}, {"t-gone", true}, {"t-c", true}})});
}

const SliderTweak& slider(const std::string& id) {
    return *std::ranges::find(Catalog::sliderTweaks(), id, &SliderTweak::id);
}

class ActionsTest : public ModelTest {
  protected:
    std::unique_ptr<AppModel> model = make(actionsCatalog());
    const Tweak& a = model->catalog().tweaks()[0];
    const Tweak& b = model->catalog().tweaks()[1];
    const Tweak& c = model->catalog().tweaks()[2];
    const Recipe& ab = model->recipes()[0];
    const Recipe& gone = model->recipes()[1];
};

TEST_F(ActionsTest, ASystemChangeReportsThenRefreshes) {
    EXPECT_EQ(emitsOf([&] { model->setTweak(a, true); }), 10) << "lastError, then nine";
    EXPECT_EQ(backend->at(keyOf("t-a")), TweakValue::boolean(true));
    EXPECT_EQ(model->revision(), 2);

    backend->unwritable.insert("t-b");
    model->setTweak(b, true);
    EXPECT_EQ(model->lastError(), "disk full") << "another exception keeps its own message";
    EXPECT_EQ(model->revision(), 3);
    model->setTweak(c, true);
    EXPECT_EQ(model->lastError(), std::nullopt) << "a success clears the earlier failure";

    // A reading error counts as off; a batch stops at its first failure.
    backend->unwritable = {"t-c"};
    backend->put(keyOf("t-b"), TweakValue::boolean(true));
    EXPECT_TRUE(model->allEnabled({a, b}));
    EXPECT_FALSE(model->allEnabled({}));
    backend->unreadable.insert("t-b");
    EXPECT_FALSE(model->isEnabled(b));
    EXPECT_FALSE(model->allEnabled({a, b}));
    model->setTweaks({a, c, b}, false);
    EXPECT_EQ(backend->at(keyOf("t-a")), std::nullopt) << "switched before the failure";
    EXPECT_EQ(backend->at(keyOf("t-b")), TweakValue::boolean(true)) << "after it: untouched";
    EXPECT_EQ(model->lastError(), "disk full");
}

TEST_F(ActionsTest, RecipeAppliedAndRevertedInOneRunUndoesItsRecord) {
    backend->put(keyOf("t-b"), TweakValue::string("before"));
    model->apply(ab);
    EXPECT_TRUE(model->isApplied(ab));
    model->revert(ab);
    EXPECT_FALSE(model->sessionApplied.contains("r-ab"));
    EXPECT_EQ(backend->at(keyOf("t-a")), std::nullopt);
    EXPECT_EQ(backend->at(keyOf("t-b")), TweakValue::string("before"));

    // Without a record every item's tweak is switched off, whatever it held before.
    model->apply(ab);
    model->sessionApplied.clear();
    model->toggle(ab);
    EXPECT_EQ(backend->at(keyOf("t-b")), std::nullopt);
    EXPECT_FALSE(model->isApplied(ab));
}

TEST_F(ActionsTest, RecipeFailuresLeaveEarlierItemsAndNoRecord) {
    model->apply(gone);
    EXPECT_EQ(model->lastError(), R"(unknownTweak(id: "t-gone"))");
    EXPECT_EQ(backend->at(keyOf("t-a")), TweakValue::boolean(true));
    EXPECT_EQ(backend->at(keyOf("t-c")), std::nullopt);
    EXPECT_FALSE(model->sessionApplied.contains("r-gone"));

    // Revert without a record skips the unknown id and goes on.
    model->apply(ab);
    backend->put(keyOf("t-c"), TweakValue::boolean(true));
    model->revert(gone);
    EXPECT_EQ(model->lastError(), std::nullopt);
    EXPECT_EQ(backend->at(keyOf("t-c")), std::nullopt);

    // A failing revert keeps its record, so the next one tries the same record again.
    backend->unwritable.insert("t-b");
    model->revert(ab);
    EXPECT_TRUE(model->lastError());
    EXPECT_TRUE(model->sessionApplied.contains("r-ab"));
}

TEST_F(ActionsTest, FavouritesAreStoredOnEveryToggleAndNeverRefresh) {
    EXPECT_EQ(emitsOf([&] { model->toggleFavorite(ab); }), 1);
    EXPECT_EQ(store->stringArray(Keys::favoriteRecipeIDs), std::vector<std::string>{"r-ab"});
    model->toggleFavorite(ab);
    EXPECT_EQ(store->stringArray(Keys::favoriteRecipeIDs), std::vector<std::string>{});

    model->toggleFavorite(c);
    model->toggleFavorite(a);
    EXPECT_EQ(model->favoriteTweaks()[0].id, "t-a") << "catalog order";
    EXPECT_EQ(emitsOf([&] { model->toggleFavoritePower(); }), 1);
    EXPECT_TRUE(store->boolean(Keys::favoritePower));
    EXPECT_EQ(model->revision(), 1);
}

TEST_F(ActionsTest, PowerSettingsAndKeepAwakeSwitchFromTheLastReading) {
    const PowerTweak& nap = Catalog::powerToggles()[0];
    ASSERT_EQ(nap.id, "power-disable-powernap");  // on means "0"
    model->togglePowerToggle(nap);                // a key missing from the snapshot counts as off
    EXPECT_TRUE(model->isPowerToggleOn(nap));
    model->togglePowerToggle(nap);
    mac.failingKeys.insert("powernap");
    model->togglePowerToggle(nap);
    EXPECT_EQ(model->lastError(), R"(powerCommandFailed(reason: "pmset exited with code 1"))");

    mac.keepAwake = true;  // changed behind the model's back: the published value still says off
    model->toggleKeepAwakeWithLidClosed();
    mac.keepAwakeFails = true;
    model->toggleKeepAwakeWithLidClosed();
    EXPECT_EQ(model->lastError(), R"(powerCommandFailed(reason: "User canceled."))");
    EXPECT_THAT(journal, ElementsAre("pmset powernap 0", "pmset powernap 1", "pmset powernap 0",
                                     "keep awake", "let sleep"));
}

TEST_F(ActionsTest, SliderValuesRoundAndWriteTheCompanionFirst) {
    const SliderTweak& size = slider("slider-dock-size");
    for (const auto& [value, written] : {std::pair{12.5, 13}, {-2.5, -3}, {12.4, 12}}) {
        model->setSliderValue(size, value);
        EXPECT_EQ(backend->at(size.key), TweakValue::integer(written)) << value;
    }
    EXPECT_EQ(journal.back(), "restart Dock");

    const SliderTweak& magnified = slider("slider-dock-magnification");
    journal.clear();
    model->setSliderValue(magnified, 64);
    backend->unwritable.insert("magnification");
    model->setSliderValue(magnified, 70);
    // A failed companion leaves the value unwritten.
    EXPECT_THAT(journal, ElementsAre("write magnification", "write largesize", "restart Dock",
                                     "write magnification"));
    EXPECT_EQ(backend->at(magnified.key), TweakValue::integer(64));

    const SliderTweak& mouse = slider("slider-mouse-tracking");
    model->setSliderValue(mouse, 1.75);
    EXPECT_EQ(backend->at(mouse.key), TweakValue::real(1.75));
}

TEST_F(ActionsTest, SliderRefusesWhatItCannotWriteAndReadsNonsenseAsTheDefault) {
    const SliderTweak& size = slider("slider-dock-size");
    const SliderTweak& mouse = slider("slider-mouse-tracking");
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        model->setSliderValue(mouse, bad);
        EXPECT_TRUE(model->lastError());
    }
    model->setSliderValue(size, 1e19);
    EXPECT_EQ(model->lastError(),
              "cannot set slider-dock-size to 1e+19: too large for a whole number");
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(model->revision(), 4) << "reported like any failure";

    backend->put(size.key, TweakValue::integer(64));
    EXPECT_EQ(model->sliderValue(size), 64);
    backend->put(size.key, TweakValue::string("64"));
    EXPECT_EQ(model->sliderValue(size), 48);
    for (double bad : {std::nan(""), -std::numeric_limits<double>::infinity()}) {
        backend->put(mouse.key, TweakValue::real(bad));
        EXPECT_EQ(model->sliderValue(mouse), 1) << bad;
    }
    backend->unreadable.insert(mouse.key.key);
    EXPECT_EQ(model->sliderValue(mouse), 1);
}

TEST_F(ActionsTest, AppearanceNeverRefreshesAndTheProfileDoes) {
    EXPECT_EQ(emitsOf([&] { model->toggleDarkMode(); }), 1);
    model->toggleNightShift();
    model->setWarmth(0);
    EXPECT_TRUE(model->nightShiftOn()) << "warmth never switches Night Shift off";
    EXPECT_THAT(journal, ElementsAre("dark"));
    EXPECT_EQ(model->revision(), 1);

    ASSERT_TRUE(model->needsOnboarding());
    EXPECT_EQ(emitsOf([&] { model->saveProfile({}, {}, DeviceKind::desktop); }), 3)
        << "profile, suggestion, revision";
    EXPECT_FALSE(model->needsOnboarding());
    EXPECT_EQ(model->revision(), 2);
    EXPECT_TRUE(store->data(Keys::userProfile));
}

TEST_F(ModelTest, EachSearchKindSearchesItsOwnText) {
    auto model = make(Catalog::velmora());
    EXPECT_EQ(model->searchPowerToggles("admin").size(), Catalog::powerToggles().size());
    const auto sidebar = model->searchSliders("NSGlobalDomain sidebar");
    ASSERT_EQ(sidebar.size(), 1U) << "a slider's domain is searched";
    EXPECT_EQ(sidebar[0].id, "slider-finder-sidebar-size");
    EXPECT_FALSE(model->lidCloseMatches("dock"));
    EXPECT_TRUE(model->searchTweaks("   ").empty());
}

}  // namespace
}  // namespace velmora::testing
