// The status item's panel: its sections worked out from the model (favourites or the note, at
// most four recommendations, every recipe), then the panel itself driven by clicks on its rows
// and footer, with screenshots of it empty and full.
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>

#include "tests/ui/ViewTest.hpp"
#include "ui/popover/MenuBarView.hpp"
#include "ui/popover/MenuRowView.hpp"
#include "ui/popover/MenuSections.hpp"
#include "ui/sync/KeyedList.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora::testing {
namespace {

// The sections as lines: "# Heading", "> note", "recipe r-ab on", "tweak t-a off", "---".
std::vector<std::string> lines(const std::vector<MenuSection>& sections) {
    std::vector<std::string> out;
    for (const MenuSection& section : sections) {
        if (!section.heading.empty()) {
            out.push_back("# " + section.heading);
        }
        if (!section.note.empty()) {
            out.push_back("> " + section.note);
        }
        for (const MenuRow& row : section.rows) {
            static const char* kinds[] = {"recipe", "tweak", "power"};
            out.push_back(std::string(kinds[static_cast<int>(row.kind)]) + " " + row.id +
                          (row.on ? " on" : " off"));
        }
        if (section.divider) {
            out.push_back("---");
        }
    }
    return out;
}

// A tweak that suits developers, so a developer profile is recommended it.
Tweak forDevelopers(const std::string& id) {
    Tweak made = tweak(id);
    made.fields = {UserField::developer};
    return made;
}

class MenuTest : public ViewTest {
  protected:
    std::unique_ptr<AppModel> model = make(
        Catalog({forDevelopers("t-a"), forDevelopers("t-b"), forDevelopers("t-c"),
                 forDevelopers("t-d"), forDevelopers("t-e"), tweak("t-f")},
                {recipe("r-ab", {{"t-a", true}, {"t-b", true}}), recipe("r-f", {{"t-f", true}})}));
    ModelSync& sync = ModelSync::of(*model);
    const Tweak& a = model->catalog().tweaks()[0];
    const Tweak& f = model->catalog().tweaks()[5];
    const Recipe& ab = model->recipes()[0];

    std::vector<std::string> sections() {
        settle();
        return lines(menuSections(*model, sync.cache()));
    }
    void becomeDeveloper() { model->saveProfile({UserField::developer}, {}, DeviceKind::laptop); }
};

TEST_F(MenuTest, WithoutFavouritesTheNoteLeadsAndNoProfileMeansNoRecommendations) {
    EXPECT_EQ(sections(),
              (std::vector<std::string>{"> Favorite a recipe or power-up to see it here.",
                                        "# Recipes", "recipe r-ab off", "recipe r-f off"}));
    model->toggleFavoritePower();
    mac.keepAwake = true;
    model->refresh();
    EXPECT_EQ(sections(),
              (std::vector<std::string>{"# Favorites", "power never-sleep on", "---", "# Recipes",
                                        "recipe r-ab off", "recipe r-f off"}))
        << "keep-awake alone makes a Favorites section";
}

TEST_F(MenuTest, FavouritesInTheirOrderThenAtMostFourRecommendationsThenEveryRecipe) {
    becomeDeveloper();
    model->toggleFavorite(f);
    model->toggleFavorite(ab);
    model->toggleFavorite(a);
    model->toggleFavoritePower();
    model->toggleFavorite(Catalog::powerToggles()[0]);  // power-disable-powernap, on at "0"
    mac.pmset["powernap"] = "0";
    model->setTweak(a, true);
    model->apply(model->recipes()[1]);
    EXPECT_EQ(sections(),
              (std::vector<std::string>{
                  "# Favorites", "recipe r-ab off", "tweak t-a on", "tweak t-f on",
                  "power never-sleep off", "power power-disable-powernap on", "---", "# For you",
                  "tweak t-a on", "tweak t-b off", "tweak t-c off", "tweak t-d off", "---",
                  "# Recipes", "recipe r-ab off", "recipe r-f on"}))
        << "a favourite that is recommended, or a favourite recipe, is listed twice";
}

TEST_F(MenuTest, RowActionsReadTheModelAtTheClickAndAnUnreadableTweakIsSwitchedOn) {
    becomeDeveloper();
    const auto row = [&](const std::string& id) {
        for (const MenuSection& section : menuSections(*model, sync.cache())) {
            for (const MenuRow& candidate : section.rows) {
                if (candidate.id == id) {
                    return candidate;
                }
            }
        }
        return MenuRow{};
    };
    const MenuRow recipeRow = row("r-ab");
    model->apply(ab);  // elsewhere, after the row was worked out
    recipeRow.action();
    EXPECT_FALSE(model->isApplied(ab)) << "reverted: the click read the applied set";

    settle();
    model->refresh();
    prefs->failNextReads["t-a"] = 2;  // the sync's read and the click's
    settle();
    const MenuRow tweakRow = row("t-a");
    EXPECT_FALSE(tweakRow.on);
    backend->put(keyOf("t-a"), TweakValue::boolean(true));
    tweakRow.action();
    EXPECT_EQ(backend->at(keyOf("t-a")), TweakValue::boolean(true)) << "asked for on, not off";
}

TEST_F(MenuTest, ThePanelActsOnClicksUpdatesInPlaceAndRebuildsSafelyUnderTheClickedRow) {
    becomeDeveloper();
    model->toggleFavorite(ab);
    model->toggleFavorite(a);
    settle();
    MenuBarView view(*model);
    int quits = 0;
    view.quitApplication = [&] { ++quits; };
    showOnPaper(view, QSize(MenuBarView::panelWidth, 440));

    auto* recipeRow = find<MenuRowView>(view, menuNames::row("r-ab"));
    EXPECT_EQ(accessible(recipeRow), "CheckBox 'Recipe r-ab' off");
    EXPECT_EQ(recipeRow->stateText(), QStringLiteral("Apply"));
    const QWidget* before = view.list().rows().front();
    click(recipeRow);
    settle();
    EXPECT_TRUE(model->isApplied(ab));
    EXPECT_EQ(view.list().rows().front(), before) << "same rows: updated in place";
    EXPECT_EQ(accessible(recipeRow), "CheckBox 'Recipe r-ab' on");
    EXPECT_EQ(recipeRow->stateText(), QString()) << "a checkmark instead";

    // The favourite tweak (on with its recipe) unpinned elsewhere, and its row clicked before the
    // sync removes it: the click's own change and the rebuild both go through.
    const QPointer<MenuRowView> favouriteTweak =
        view.findChildren<MenuRowView*>(menuNames::row("t-a"))[0];
    EXPECT_EQ(favouriteTweak->stateText(), QStringLiteral("On"));
    model->toggleFavorite(a);
    click(favouriteTweak);
    settle();
    EXPECT_TRUE(favouriteTweak.isNull()) << "its list was rebuilt without it";
    EXPECT_FALSE(model->isEnabled(a));
    EXPECT_EQ(view.findChildren<MenuRowView*>(menuNames::row("t-a")).size(), 1u)
        << "still recommended";

    bool opened = false;
    click(find(view, menuNames::open));
    EXPECT_FALSE(opened) << "no hook set: nothing happens";
    model->requestOpenWindow = [&] { opened = true; };
    click(find(view, menuNames::open));
    EXPECT_TRUE(opened);
    click(find(view, menuNames::quit));
    EXPECT_EQ(quits, 1);
}

TEST_F(MenuTest, TheBuiltInCatalogPicturedEmptyAndFullWhereTheListScrollsBetweenFixedEnds) {
    auto real = make(Catalog::velmora());
    MenuBarView view(*real);
    showOnPaper(view, QSize(MenuBarView::panelWidth, 440));
    screenshot(view, QStringLiteral("popover-empty"));
    EXPECT_EQ(find<TextLabel>(view, menuNames::note)->text(),
              QStringLiteral("Favorite a recipe or power-up to see it here."));
    EXPECT_EQ(view.findChildren<MenuRowView*>().size(), 5u) << "the recipes alone";

    const auto tweakOf = [&](std::string_view id) { return *real->catalog().tweak(id); };
    real->saveProfile({UserField::developer}, {UserGoal::speed}, DeviceKind::laptop);
    real->toggleFavorite(real->recipes()[3]);
    real->apply(real->recipes()[3]);
    real->toggleFavorite(tweakOf("menubar-clock-seconds"));
    real->toggleFavoritePower();
    real->toggleFavorite(Catalog::powerToggles()[1]);
    mac.keepAwake = true;
    real->refresh();
    settle();
    hover(find(view, menuNames::row("developer-setup")));
    screenshot(view, QStringLiteral("popover-full"));
    auto* list = find<QScrollArea>(view, menuNames::list);
    EXPECT_EQ(list->height(), MenuBarView::listMaximumHeight);
    EXPECT_GT(list->verticalScrollBar()->maximum(), 0) << "the rest scrolls";
    EXPECT_EQ(view.width(), MenuBarView::panelWidth);
    EXPECT_EQ(find(view, menuNames::quit)->mapTo(&view, QPoint()).y() +
                  find(view, menuNames::quit)->height(),
              440 - 11)
        << "the footer stays at the bottom";
}

}  // namespace
}  // namespace velmora::testing
