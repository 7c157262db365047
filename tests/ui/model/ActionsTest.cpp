// The model's operations: the error convention, recipes, tweaks, favourites,
// sliders, appearance and the profile.
#include <algorithm>
#include <cmath>
#include <limits>

#include "tests/ui/model/ModelFakes.hpp"

namespace velmora::testing {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

const SliderTweak& slider(const std::string& id) {
    return *std::ranges::find(Catalog::sliderTweaks(), id, &SliderTweak::id);
}

class ActionsTest : public ModelTest {
  protected:
    std::unique_ptr<AppModel> model =
        make(Catalog({tweak("t-a"), tweak("t-b"), tweak("t-c")},
                     {recipe("r-ab", {{"t-a", true}, {"t-b", true}}),
                      recipe("r-gone", {{"t-a", true}, {"t-gone", true}, {"t-c", true}})}));
    const Tweak &a = model->catalog().tweaks()[0], &b = model->catalog().tweaks()[1],
                &c = model->catalog().tweaks()[2];
    const Recipe &ab = model->recipes()[0], &gone = model->recipes()[1];
};

TEST_F(ActionsTest, ASystemChangeReportsThenRefreshesAndABatchStopsAtItsFirstFailure) {
    EXPECT_EQ(emitsOf([&] { model->setTweak(a, true); }), 10) << "lastError, then nine";
    backend->unwritable.insert("t-b");
    model->setTweak(b, true);
    EXPECT_EQ(model->lastError(), "disk full") << "another exception keeps its own message";
    EXPECT_EQ(model->revision(), 3);
    model->setTweak(c, true);
    EXPECT_EQ(model->lastError(), std::nullopt) << "a success clears the earlier failure";

    backend->unwritable = {"t-c"};
    backend->put(keyOf("t-b"), TweakValue::boolean(true));
    model->setTweaks({a, c, b}, false);
    EXPECT_EQ(backend->at(keyOf("t-a")), std::nullopt) << "switched before the failure";
    EXPECT_EQ(backend->at(keyOf("t-b")), TweakValue::boolean(true)) << "after it: untouched";
    EXPECT_EQ(model->lastError(), "disk full");
}

// A recipe that fails part-way keeps the records of what it changed, so its revert restores what
// the user had instead of switching those tweaks off.
TEST_F(ActionsTest, RecipesUndoTheirRecordAndAPartFailedOneKeepsWhatItChanged) {
    backend->put(keyOf("t-b"), TweakValue::string("before"));
    model->apply(ab);
    model->revert(ab);
    EXPECT_FALSE(model->sessionApplied.contains("r-ab"));
    EXPECT_EQ(backend->at(keyOf("t-b")), TweakValue::string("before"));

    backend->put(keyOf("t-a"), TweakValue::integer(7));
    model->apply(gone);
    EXPECT_EQ(model->lastError(), R"(unknownTweak(id: "t-gone"))");
    EXPECT_EQ(backend->at(keyOf("t-c")), std::nullopt);
    model->revert(gone);
    EXPECT_EQ(backend->at(keyOf("t-a")), TweakValue::integer(7)) << "restored, not switched off";
    EXPECT_FALSE(model->sessionApplied.contains("r-gone"));
    backend->put(keyOf("t-c"), TweakValue::boolean(true));
    model->revert(gone);
    EXPECT_EQ(backend->at(keyOf("t-c")), std::nullopt) << "no record: off, the unknown id skipped";

    // Applied, then applied again until a failure: both runs are undone, newest first.
    model->apply(ab);
    backend->unwritable.insert("t-b");
    model->apply(ab);
    backend->unwritable.clear();
    model->revert(ab);
    EXPECT_EQ(backend->at(keyOf("t-a")), std::nullopt);
    EXPECT_EQ(backend->at(keyOf("t-b")), TweakValue::string("before"));
}

// Switching one of a recipe's tweaks off by hand makes it read as not applied, so the user applies
// it again; its revert must still give back what they had before the recipe, not what it wrote.
TEST_F(ActionsTest, ARecipeAppliedAgainRevertsToTheValuesFromBeforeItsFirstApplication) {
    backend->put(keyOf("t-a"), TweakValue::string("mine"));
    backend->put(keyOf("t-b"), TweakValue::integer(3));
    model->apply(ab);
    model->setTweak(a, false);
    EXPECT_FALSE(model->isApplied(ab));
    model->apply(ab);
    EXPECT_TRUE(model->isApplied(ab));
    model->revert(ab);
    EXPECT_EQ(model->lastError(), std::nullopt);
    EXPECT_EQ(backend->at(keyOf("t-a")), TweakValue::string("mine"));
    EXPECT_EQ(backend->at(keyOf("t-b")), TweakValue::integer(3));
    EXPECT_FALSE(model->sessionApplied.contains("r-ab"));

    // Reverted, the next revert has no record and switches the items off.
    model->revert(ab);
    EXPECT_EQ(backend->at(keyOf("t-a")), std::nullopt);
}

TEST_F(ActionsTest, FavouritesAndAppearanceAnnounceOnceAndNeverRefreshButTheProfileDoes) {
    EXPECT_EQ(emitsOf([&] { model->toggleFavorite(ab); }), 1);
    EXPECT_EQ(store->stringArray(AppModel::Keys::favoriteRecipeIDs),
              std::vector<std::string>{"r-ab"});
    EXPECT_EQ(emitsOf([&] { model->toggleDarkMode(); }), 1);
    EXPECT_EQ(model->revision(), 1);
    EXPECT_EQ(emitsOf([&] { model->saveProfile({}, {}, DeviceKind::desktop); }), 3)
        << "profile, suggestion, revision";
    model->toggleFavorite(ab);
    EXPECT_FALSE(model->hasFavorites());
    model->toggleFavoritePower();
    EXPECT_TRUE(model->hasFavorites()) << "the power card alone counts";
    EXPECT_TRUE(store->boolean(AppModel::Keys::favoritePower));
}

// The companion is written first and means nothing without its slider's value: when that write
// fails, the companion is put back (here: removed again) and nothing is restarted.
TEST_F(ActionsTest, SliderValuesWriteTheCompanionFirstPutItBackOnFailureAndRound) {
    const SliderTweak& magnified = slider("slider-dock-magnification");
    model->setSliderValue(magnified, 64);
    backend->unwritable.insert("magnification");
    model->setSliderValue(magnified, 70);
    backend->values.erase({magnified.companionKey->domain, magnified.companionKey->key});
    backend->unwritable = {"largesize"};
    model->setSliderValue(magnified, 80);
    EXPECT_THAT(journal, ElementsAre("write magnification", "write largesize", "restart Dock",
                                     "write magnification", "write magnification",
                                     "write largesize", "write magnification"));
    EXPECT_EQ(backend->at(*magnified.companionKey), std::nullopt);
    EXPECT_EQ(model->lastError(), "disk full");
    EXPECT_EQ(backend->at(magnified.key), TweakValue::integer(64));
    backend->unwritable.clear();
    const SliderTweak& size = slider("slider-dock-size");
    for (const auto& [value, written] : {std::pair{12.5, 13}, {-2.5, -3}, {12.4, 12}}) {
        model->setSliderValue(size, value);
        EXPECT_EQ(backend->at(size.key), TweakValue::integer(written)) << value;
    }
}

TEST_F(ActionsTest, SliderRefusesWhatItCannotWriteAndReadsNonsenseAsTheDefault) {
    const SliderTweak& size = slider("slider-dock-size");
    const SliderTweak& mouse = slider("slider-mouse-tracking");
    for (double bad : {std::nan(""), kInf}) {
        model->setSliderValue(mouse, bad);
        EXPECT_TRUE(model->lastError());
    }
    model->setSliderValue(size, 1e19);
    EXPECT_EQ(model->lastError(),
              "cannot set slider-dock-size to 1e+19: too large for a whole number");
    EXPECT_TRUE(journal.empty());
    backend->put(size.key, TweakValue::string("64"));
    EXPECT_EQ(model->sliderValue(size), 48);
    for (double bad : {std::nan(""), -kInf}) {
        backend->put(mouse.key, TweakValue::real(bad));
        EXPECT_EQ(model->sliderValue(mouse), 1) << bad;
    }
}

}  // namespace
}  // namespace velmora::testing
