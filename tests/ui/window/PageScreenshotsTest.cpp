// Every page with the longest texts the catalog has, as the window shows it, held against its
// reference picture in tests/ui/references (VELMORA_UPDATE_REFERENCES=1 writes new ones after a
// deliberate change of the look); build/artefacts/ui/page-*-full.png shows the whole page.
#include "tests/ui/window/WindowTest.hpp"
#include "ui/widgets/LabelledSwitch.hpp"
#include "ui/window/BrowsePage.hpp"

namespace velmora::testing {
namespace {

class PageScreenshots : public WindowTest {
  protected:
    void shoot(const QString& name) {
        settle();
        expectLooksAsBefore(*window, QStringLiteral("page-") + name);
        screenshot(*window->router().currentPage(), QStringLiteral("page-") + name + "-full");
    }
    // Turns the listed tweaks on in the fake preferences.
    void turnOn(std::initializer_list<const char*> tweakIDs) {
        for (const char* id : tweakIDs) {
            const Tweak tweak = *Catalog::velmora().tweak(id);
            for (const DefaultsToggle& toggle : tweak.toggles) {
                backend->put(toggle.key, toggle.enabledValue);
            }
        }
    }
};

TEST_F(PageScreenshots, HomeWithSuggestions) {
    completeOnboarding(R"(["developer","writer"])", R"(["speed","focus"])");
    open(Catalog::velmora());
    shoot(QStringLiteral("home"));
}

TEST_F(PageScreenshots, FavoritesEmptyAndFull) {
    completeOnboarding();
    open(Catalog::velmora());
    clickRow("favorites");
    shoot(QStringLiteral("favorites-empty"));
    changeModel([&] {
        model->setFavoriteRecipeIDs({"developer-setup", "declutter-focus", "speed-boost"});
        model->setFavoritePower(true);
        model->setFavoritePowerTweakIDs({"power-low-power-mode"});
        model->setFavoriteTweakIDs({"dev-show-hidden-files", "dock-no-launch-bounce"});
    });
    shoot(QStringLiteral("favorites"));
}

// Developer Setup: the longest summary and the most power-ups of the catalog's recipes.
TEST_F(PageScreenshots, RecipeApplied) {
    completeOnboarding();
    open(Catalog::velmora());
    const Recipe& longest = model->catalog().recipes()[3];
    window->openRecipe(longest);
    settle();
    changeModel([&] { model->apply(longest); });
    shoot(QStringLiteral("recipe"));
}

TEST_F(PageScreenshots, BrowseAllWithAdvancedAndOneFilter) {
    completeOnboarding();
    open(Catalog::velmora());
    clickRow("browse");
    click(find(*window, browseNames::advanced));
    settle();
    shoot(QStringLiteral("browse"));
    click(find(*window, browseNames::chip(BrowseFilter::display())));
    shoot(QStringLiteral("browse-display"));
}

TEST_F(PageScreenshots, OnNowEmptyAndFull) {
    completeOnboarding();
    open(Catalog::velmora());
    clickRow("active");
    shoot(QStringLiteral("onnow-empty"));
    turnOn({"dev-show-hidden-files", "dock-no-launch-bounce"});
    mac.keepAwake = true;
    const PowerTweak& power = Catalog::powerToggles().front();
    mac.pmset[power.key] = power.onValue;
    changeModel([&] {
        model->apply(model->catalog().recipes()[0]);
        model->apply(model->catalog().recipes()[3]);
    });
    shoot(QStringLiteral("onnow"));
}

TEST_F(PageScreenshots, SearchResultsAndNoMatch) {
    completeOnboarding();
    open(Catalog::velmora());
    type(QStringLiteral("dock"));
    shoot(QStringLiteral("search"));
    searchField()->clear();
    type(QStringLiteral("sleep"));
    shoot(QStringLiteral("search-sleep"));
    searchField()->clear();
    type(QStringLiteral("a query long enough to wrap the message of the empty state"));
    shoot(QStringLiteral("search-none"));
}

}  // namespace
}  // namespace velmora::testing
