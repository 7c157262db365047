// Home, Favorites and a recipe's page as a user meets them: the card order and footers, applying
// a recipe from its card, opening a recipe and coming back, what Favorites lists in which order,
// and a recipe's page with tweaks the catalog lacks.
#include "tests/ui/WidgetCount.hpp"
#include "tests/ui/window/WindowTest.hpp"
#include "ui/components/ApplyPill.hpp"
#include "ui/components/StarButton.hpp"
#include "ui/look/DrawnAhead.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/BackButton.hpp"
#include "ui/window/FavoritesPage.hpp"
#include "ui/window/HomePage.hpp"
#include "ui/window/RecipePage.hpp"
#include "ui/window/SettingCards.hpp"
#include "ui/window/Sidebar.hpp"

namespace velmora::testing {
namespace {

using Pages = WindowTest;

constexpr int kEverythingInView = 2000;

std::string highlightedRow(const MainWindow& window) {
    std::string shown;
    for (const NavRow* navRow : window.sidebar().navRows()) {
        if (navRow->isHighlighted()) {
            shown += navRow->objectName().toStdString();
        }
    }
    return shown;
}

TEST_F(Pages, HomeShowsRecommendedRecipesFirstThenTheRestWithTheNeverSleepCardLast) {
    // A writer after focus: only Declutter & Focus scores.
    completeOnboarding(R"(["writer"])", R"(["focus"])");
    open(Catalog::velmora());
    auto* home = page<HomePage>();
    const std::vector<RecipeGridCard*>& cards = home->grid().cards();
    EXPECT_THAT(cardIDs(home->grid()),
                ElementsAre("declutter-focus", "screenshot-studio", "speed-boost", "finder-power",
                            "developer-setup"));
    std::vector<std::string> footers;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        EXPECT_EQ(cards[i]->index(), static_cast<int>(i)) << "tints follow the position";
        footers.push_back(cards[i]->countText().toStdString());
    }
    EXPECT_THAT(footers, ElementsAre("4 power-ups", "3 power-ups", "4 power-ups", "6 power-ups",
                                     "7 power-ups"));
    // Five cards: the never-sleep card takes the free cell beside the last one.
    const auto* never = home->grid().findChild<NeverSleepCard*>();
    ASSERT_NE(never, nullptr);
    EXPECT_GT(never->x(), cards.back()->x());
    EXPECT_NEAR(never->geometry().center().y(), cards.back()->geometry().center().y(), 1);
    // The writer's suggestions, at most eight.
    EXPECT_TRUE(home->suggested().isVisible());
    EXPECT_EQ(rowIDs(home->suggested()), idsOf(model->recommendedTweaks()));
    EXPECT_LE(home->suggested().rows().size(), 8U);
    EXPECT_THAT(shownBlocks(*home),
                ElementsAre(homeNames::grid, homeNames::suggested, homeNames::suggestedList));
}

TEST_F(Pages, HomeShownStartsItsPicturesAndItsFirstPaintTakesEveryOne) {
    completeOnboarding(R"(["writer"])", R"(["focus"])");
    const qsizetype before = DrawnAhead::waiting();
    // Tall enough that every card is on screen, so the paint takes every picture.
    open(Catalog::velmora(), QSize(designSize.width(), kEverythingInView));
    window->grab();
    // At most as many as before: drawings other tests left, finished, may have made room.
    EXPECT_LE(DrawnAhead::waiting(), before) << "a picture was drawn in another size or look";
}

TEST_F(Pages, HomeCountsEveryItemOfARecipeAndShowsNoSuggestionsForAProfileThatMatchesNothing) {
    completeOnboarding();
    open(Catalog({tweak("t-a"), tweak("t-b")},
                 {recipe("r-one", {{"t-a", true}}),
                  recipe("r-gone", {{"t-a", true}, {"t-missing", true}, {"t-b", false}})}));
    auto* home = page<HomePage>();
    std::vector<std::string> footers;
    for (const RecipeGridCard* card : home->grid().cards()) {
        footers.push_back(card->countText().toStdString());
    }
    // Always plural; an id the catalog lacks still counts on the card.
    EXPECT_THAT(footers, ElementsAre("1 power-ups", "3 power-ups"));
    EXPECT_THAT(shownBlocks(*home), ElementsAre(homeNames::grid));
    // Two cards: the never-sleep card starts a new row on the left.
    const auto* never = home->grid().findChild<NeverSleepCard*>();
    EXPECT_EQ(never->x(), home->grid().cards().front()->x());
    EXPECT_GT(never->y(), home->grid().cards().front()->geometry().bottom());
}

TEST_F(Pages, ApplyingSpeedBoostFromItsPillTurnsItsDockKeysOnAndHomeStays) {
    completeOnboarding();
    open(Catalog::velmora());
    auto* home = page<HomePage>();
    click(find(*home, recipeCardNames::pill("speed-boost")));
    settle();
    const Recipe& boost = model->catalog().recipes()[1];
    ASSERT_EQ(boost.id, "speed-boost");
    ASSERT_EQ(boost.items.size(), 4U);
    for (const RecipeItem& item : boost.items) {
        const Tweak tweak = *model->catalog().tweak(item.tweakID);
        for (const DefaultsToggle& toggle : tweak.toggles) {
            EXPECT_EQ(toggle.key.domain, "com.apple.dock") << item.tweakID;
            EXPECT_EQ(backend->at(toggle.key), toggle.enabledValue) << item.tweakID;
        }
    }
    EXPECT_EQ(countPill()->label(), QStringLiteral("1 on"));
    EXPECT_TRUE(countPill()->isVisible());
    EXPECT_EQ(row("active")->shownBadge(), 1);
    EXPECT_EQ(shownPage(), "page.home");
    EXPECT_TRUE(find<ApplyPill>(*home, recipeCardNames::pill("speed-boost"))->isApplied());
    // The cards stayed: the same card now shows the recipe applied.
    EXPECT_EQ(find(*home, recipeCardNames::card("speed-boost")), home->grid().cards()[1]);
}

TEST_F(Pages, FinderPowerOpenedFromHomeOrFavoritesLeadsBackThereWithThatRowHighlighted) {
    completeOnboarding();
    open(Catalog::velmora());
    const auto back = [this] { return find<BackButton>(*page<RecipePage>(), "backButton"); };

    click(find(*window, recipeCardNames::card("finder-power")));
    settle();
    EXPECT_EQ(shownPage(), "page.recipe");
    EXPECT_EQ(find<TextLabel>(*window, "recipe.title")->text(), QStringLiteral("Finder Power"));
    EXPECT_EQ(back()->label(), QStringLiteral("Home"));
    EXPECT_EQ(highlightedRow(*window), navNames::row("home").toStdString());
    click(back());
    settle();
    EXPECT_EQ(shownPage(), "page.home");

    // Pinned from its card on Home, opened from Favorites.
    click(find(*page<HomePage>(), "star.finder-power"));
    clickRow("favorites");
    click(find(*page<FavoritesPage>(), recipeCardNames::card("finder-power")));
    settle();
    EXPECT_EQ(shownPage(), "page.recipe");
    EXPECT_EQ(back()->label(), QStringLiteral("Favorites"));
    EXPECT_EQ(highlightedRow(*window), navNames::row("favorites").toStdString());
    EXPECT_TRUE(find<StarButton>(*window, "recipe.star")->isOn());
    click(back());
    settle();
    EXPECT_EQ(shownPage(), "page.favorites");
}

TEST_F(Pages, FavoritesListsRecipesKeepAwakePowerAndTweaksInThatOrderWhateverThePinningOrder) {
    completeOnboarding();
    open(Catalog::velmora());
    clickRow("favorites");
    auto* favorites = page<FavoritesPage>();
    EXPECT_THAT(shownBlocks(*favorites), ElementsAre(favoritesNames::empty));

    // Only the keep-awake item: the card alone, no wider than 360, on the leading side.
    changeModel([&] { model->toggleFavoritePower(); });
    EXPECT_THAT(shownBlocks(*favorites), ElementsAre(favoritesNames::neverSleep));
    const QWidget* never = find(*favorites, favoritesNames::neverSleep);
    EXPECT_EQ(never->width(), FavoritesPage::neverSleepWidth);
    EXPECT_EQ(never->x(), 0);

    // Pinned tweaks first, recipes last; pinned power settings show though they are not counted.
    changeModel([&] {
        model->toggleFavorite(*model->catalog().tweak("dev-show-hidden-files"));
        model->toggleFavorite(*model->catalog().tweak("dock-no-launch-bounce"));
        model->toggleFavorite(Catalog::powerToggles()[1]);
        model->toggleFavorite(model->catalog().recipes()[4]);
        model->toggleFavorite(model->catalog().recipes()[0]);
    });
    EXPECT_THAT(shownBlocks(*favorites),
                ElementsAre(favoritesNames::grid, favoritesNames::neverSleep, favoritesNames::power,
                            favoritesNames::tweaks));
    EXPECT_THAT(cardIDs(*find<RecipeGrid>(*favorites, favoritesNames::grid)),
                ElementsAre("screenshot-studio", "declutter-focus"));
    EXPECT_THAT(rowIDs(*find<TweakListCard>(*favorites, favoritesNames::tweaks)),
                ElementsAre("dock-no-launch-bounce", "dev-show-hidden-files"));
    EXPECT_EQ(row("favorites")->shownBadge(), 2 + 2 + 1);

    // Unpinning from the page itself empties it again.
    for (const char* star : {settingNames::lidStar, "star.screenshot-studio",
                             "star.declutter-focus", "star.dev-show-hidden-files",
                             "star.dock-no-launch-bounce", "star.power-low-power-mode"}) {
        click(find(*favorites, star));
        settle();
    }
    EXPECT_THAT(shownBlocks(*favorites), ElementsAre(favoritesNames::empty));
}

TEST_F(Pages, ARecipesPageLeavesOutTweaksTheCatalogLacksAndAnUnknownRecipeIsAnEmptyPage) {
    completeOnboarding();
    Tweak menu = tweak("t-menu");
    menu.category = TweakCategory::menubar;
    open(Catalog({tweak("t-a"), menu},
                 {recipe("r-mix", {{"t-gone", true}, {"t-menu", true}, {"t-a", false}}),
                  recipe("r-none", {{"x", true}, {"y", true}}), recipe("r-ok", {{"t-a", true}})}));
    const auto select = [this](const std::string& id) {
        window->change([&](WindowState& s) { s.selection = NavItem::recipe(id); });
        settle();
    };
    select("r-mix");
    auto* recipePage = page<RecipePage>();
    EXPECT_EQ(find<TextLabel>(*recipePage, "recipe.count")->text(),
              QStringLiteral("2 power-ups \u00B7 all reversible"));
    EXPECT_THAT(rowIDs(*find<TweakListCard>(*recipePage, "recipe.list")),
                ElementsAre("t-menu", "t-a"));
    // The tile follows the first tweak found: the menu bar's tint, not the card's position.
    auto* tile = find<SymbolView>(*recipePage, "recipe.tile");
    const QImage drawn = tile->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(drawn.width() / 2, 2), Theme::tint(4));

    // The pill decides at each click from what the model holds: apply, then revert.
    select("r-ok");
    auto* pill = find<ApplyPill>(*recipePage, "recipe.pill");
    click(pill);
    settle();
    EXPECT_EQ(model->appliedRecipeIDs(), std::set<std::string>{"r-ok"});
    EXPECT_TRUE(pill->isApplied());
    click(pill);
    settle();
    EXPECT_TRUE(model->appliedRecipeIDs().empty());
    EXPECT_FALSE(pill->isApplied());

    select("r-none");
    EXPECT_EQ(find<TextLabel>(*recipePage, "recipe.count")->text(),
              QStringLiteral("0 power-ups \u00B7 all reversible"));
    EXPECT_EQ(tile->grab().toImage().pixelColor(drawn.width() / 2, 2), Theme::tint(5));
    auto* list = find<TweakListCard>(*recipePage, "recipe.list");
    EXPECT_TRUE(list->isVisible());
    EXPECT_THAT(rowIDs(*list), ::testing::IsEmpty());
    settleLayout();
    EXPECT_EQ(list->height(), 2 * ListCard::verticalInset);

    select("r-unknown");
    EXPECT_EQ(shownPage(), "page.recipe");
    EXPECT_THAT(shownBlocks(*recipePage), ::testing::IsEmpty());
    settleLayout();
    EXPECT_EQ(recipePage->height(), 0);
}

// The automation tick refreshes every 20 seconds: on every page, a refresh that changes nothing
// makes no widget, so hovers, focus and open menus survive it; a change of what is on updates
// the rows in place.
TEST_F(Pages, EveryPageKeepsItsWidgetsAcrossARefreshThatChangesNothing) {
    completeOnboarding(R"(["developer"])", R"(["speed"])");
    mac.keepAwake = true;
    const PowerTweak& power = Catalog::powerToggles()[0];
    mac.pmset[power.key] = power.onValue;
    open(Catalog::velmora());
    changeModel([&] {
        model->apply(model->catalog().recipes()[1]);
        model->toggleTweak(*model->catalog().tweak("dev-show-hidden-files"));
        model->setFavoriteRecipeIDs({"speed-boost"});
        model->setFavoriteTweakIDs({"dev-show-hidden-files"});
        model->setFavoritePower(true);
        model->setFavoritePowerTweakIDs({power.id});
    });
    const std::vector<std::pair<const char*, std::function<void()>>> pages = {
        {"home", [this] { clickRow("home"); }},
        {"favorites", [this] { clickRow("favorites"); }},
        {"browse", [this] { clickRow("browse"); }},
        {"active", [this] { clickRow("active"); }},
        {"recipe",
         [this] {
             window->openRecipe(model->catalog().recipes()[1]);
             settle();
         }},
        {"search", [this] { type(QStringLiteral("dock")); }},
    };
    for (const auto& [name, show] : pages) {
        SCOPED_TRACE(name);
        show();
        ASSERT_EQ(shownPage(), std::string("page.") + name);
        test::WidgetCount count;
        changeModel([&] { model->refresh(); });
        EXPECT_EQ(count.made(), 0);
    }
    // Switched off behind the page's back, the row on the search page shows it at the next sync.
    auto* row = find<Switch>(*window->router().currentPage(), "switch.dock-no-launch-bounce");
    EXPECT_TRUE(row->isOn());
    changeModel([&] { model->revert(model->catalog().recipes()[1]); });
    EXPECT_FALSE(row->isOn());
}

}  // namespace
}  // namespace velmora::testing
