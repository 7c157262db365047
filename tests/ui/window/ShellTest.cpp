// The window shell as a user drives it: which page each click shows and where back leads, the
// counts in the top bar and on the rows, the window's least size, and the sheets.
#include <QDialog>

#include "tests/ui/WidgetCount.hpp"
#include "tests/ui/window/WindowTest.hpp"
#include "ui/window/BackButton.hpp"
#include "ui/window/ScenesSection.hpp"
#include "ui/window/Sidebar.hpp"

namespace velmora::testing {
namespace {

using Shell = WindowTest;

struct NavCase {
    const char* name;
    std::vector<std::function<void()>> steps;
    NavItem selection;
    NavItem backTo;
    std::string query;
    const char* page;
    const char* highlighted;  // the one row drawn highlighted
};

TEST_F(Shell, EveryActionChangesOnlyTheSelectionQueryAndBackTargetItShould) {
    mac.keepAwake = true;  // something is on, so the count pill shows
    open();
    auto row = [this](const char* item) { return [this, item] { clickRow(item); }; };
    auto search = [this](const char* text) {
        return [this, text] { type(QString::fromUtf8(text)); };
    };
    auto erase = [this] {
        QTest::keyClick(searchField(), Qt::Key_Backspace);
        settle();
    };
    auto pill = [this] {
        ASSERT_TRUE(countPill()->isVisible());
        click(countPill());
        settle();
    };
    auto openRecipe = [this](const char* id) {
        return [this, id] {
            for (const Recipe& recipe : model->catalog().recipes()) {
                if (recipe.id == id) {
                    window->openRecipe(recipe);
                }
            }
            settle();
        };
    };
    auto back = [this] {
        click(find<BackButton>(*window->router().currentPage(), "backButton"));
        settle();
    };
    const NavItem home = NavItem::home(), favorites = NavItem::favorites(),
                  browse = NavItem::browse(), active = NavItem::active(),
                  automations = NavItem::automations();

    const std::vector<NavCase> cases = {
        {"a query of one space searches", {search(" ")}, home, home, " ", "search", "home"},
        {"the query is kept as typed",
         {search("  Dock ")},
         home,
         home,
         "  Dock ",
         "search",
         "home"},
        {"clearing the query shows the selected page again",
         {row("favorites"), search("x"), erase},
         favorites,
         home,
         "",
         "favorites",
         "favorites"},
        {"a row while searching shows its page",
         {search("dock"), row("browse")},
         browse,
         home,
         "",
         "browse",
         "browse"},
        {"the selected row again clears the search",
         {row("browse"), search("x"), row("browse")},
         browse,
         home,
         "",
         "browse",
         "browse"},
        {"a recipe opened from Favorites highlights Favorites",
         {row("favorites"), openRecipe("r-b")},
         NavItem::recipe("r-b"),
         favorites,
         "",
         "recipe",
         "favorites"},
        {"rows leave the back target alone",
         {row("favorites"), openRecipe("r-b"), row("home")},
         home,
         favorites,
         "",
         "home",
         "home"},
        {"back from a recipe opened on Automations",
         {row("automations"), openRecipe("r-b"), back},
         automations,
         automations,
         "",
         "automations",
         "automations"},
        {"a recipe opened from another recipe goes back Home",
         {row("browse"), openRecipe("r-b"), openRecipe("r-ac")},
         NavItem::recipe("r-ac"),
         home,
         "",
         "recipe",
         "home"},
        {"a recipe opened from On now goes back Home",
         {row("active"), openRecipe("r-b")},
         NavItem::recipe("r-b"),
         home,
         "",
         "recipe",
         "home"},
        {"a recipe opened from search results",
         {row("browse"), search("r"), openRecipe("r-b")},
         NavItem::recipe("r-b"),
         browse,
         "",
         "recipe",
         "browse"},
        {"the pill on Browse leads back to Browse",
         {row("browse"), pill, back},
         browse,
         browse,
         "",
         "browse",
         "browse"},
        {"the pill on Automations",
         {row("automations"), pill},
         active,
         home,
         "",
         "active",
         "active"},
        {"the pill on a recipe page",
         {row("favorites"), openRecipe("r-b"), pill},
         active,
         home,
         "",
         "active",
         "active"},
        {"the pill on On now", {row("browse"), pill, pill}, active, home, "", "active", "active"},
        {"the pill while searching",
         {row("favorites"), search("zz"), pill},
         active,
         favorites,
         "",
         "active",
         "active"},
    };
    for (const NavCase& c : cases) {
        SCOPED_TRACE(c.name);
        window->change([](WindowState& s) { s = WindowState{}; });
        settle();
        for (const auto& step : c.steps) {
            step();
        }
        EXPECT_EQ(state().selection, c.selection);
        EXPECT_EQ(state().backTo, c.backTo);
        EXPECT_EQ(state().query, c.query);
        EXPECT_EQ(searchField()->text().toStdString(), c.query);
        EXPECT_EQ(shownPage(), std::string("page.") + c.page);
        std::vector<std::string> highlighted;
        for (const NavRow* navRow : window->sidebar().navRows()) {
            if (navRow->isHighlighted()) {
                highlighted.push_back(navRow->objectName().toStdString());
            }
        }
        EXPECT_THAT(highlighted, ElementsAre(navNames::row(c.highlighted).toStdString()));
    }
}

TEST_F(Shell, CountsLeaveOutCoveredTweaksAndPinnedPowerSettingsAndHideAtZero) {
    for (const char* id : {"t-a", "t-b", "t-c", "t-d"}) {
        backend->put(keyOf(id), TweakValue::boolean(true));
    }
    mac.keepAwake = true;
    const PowerTweak& power = Catalog::powerToggles().front();
    mac.pmset[power.key] = power.onValue;
    open();
    changeModel([&] {
        // A stale id still counts; t-c is covered by r-ac although its item is not enabled.
        model->setAppliedRecipeIDs({"r-ac", "r-gone"});
        model->setFavoriteRecipeIDs({"r-b"});
        model->setFavoriteTweakIDs({"t-a", "t-gone"});
        model->setFavoritePowerTweakIDs({power.id});
        model->setFavoritePower(true);
    });
    const DerivedValues& derived = window->derived();
    std::vector<std::string> standalone;
    for (const Tweak& tweak : derived.enabledStandaloneTweaks) {
        standalone.push_back(tweak.id);
    }
    EXPECT_THAT(standalone, ElementsAre("t-b", "t-d"));
    EXPECT_EQ(derived.onCount, 2 + 2 + 1 + 1);
    EXPECT_EQ(derived.favCount, 1 + 1 + 1);
    EXPECT_EQ(countPill()->label(), QStringLiteral("6 on"));
    EXPECT_TRUE(countPill()->isVisible());
    EXPECT_EQ(row("active")->shownBadge(), 6);
    EXPECT_EQ(row("favorites")->shownBadge(), 3);

    // A state that cannot be read is off; only pinned power settings count as no favourite.
    backend->unreadable = {"t-a", "t-b", "t-c", "t-d"};
    changeModel([&] {
        mac.keepAwake = false;
        mac.pmset.clear();
        model->refresh();
        model->setAppliedRecipeIDs({});
        model->setFavoriteRecipeIDs({});
        model->setFavoriteTweakIDs({});
        model->setFavoritePower(false);
    });
    EXPECT_EQ(window->derived().onCount, 0);
    EXPECT_EQ(window->derived().favCount, 0);
    EXPECT_FALSE(countPill()->isVisible());
    EXPECT_EQ(row("active")->shownBadge(), std::nullopt);
    EXPECT_EQ(row("favorites")->shownBadge(), std::nullopt);
    EXPECT_EQ(row("home")->shownBadge(), std::nullopt);
}

// The automation monitor refreshes every 20 seconds: a refresh that changes nothing must leave
// every widget (and so every hover, open menu and tool tip) where it is.
TEST_F(Shell, ARefreshThatChangesNothingRebuildsNoWidget) {
    mac.keepAwake = true;
    open(Catalog::velmora());
    changeModel([&] {
        for (int i = 0; i < 20; ++i) {
            model->upsertSetup({std::string("S").append(std::to_string(i)),
                                "Scene",
                                "moon.fill",
                                {},
                                {},
                                {},
                                false});
        }
    });
    const QWidget* firstScene = find(*window, sceneNames::row("S0"));
    {
        test::WidgetCount count;
        changeModel([&] { model->refresh(); });
        EXPECT_EQ(count.made(), 0);
    }
    EXPECT_EQ(find(*window, sceneNames::row("S0")), firstScene);
    test::WidgetCount count;
    changeModel([&] { model->upsertSetup({"S20", "New", "moon.fill", {}, {}, {}, false}); });
    EXPECT_GT(count.made(), 0) << "a new scene is a new row";
}

TEST_F(Shell, TheWindowRefusesToShrinkBelowItsLeastSizeAndTheSidebarKeepsItsWidth) {
    open();
    window->resize(700, 500);
    settle();
    EXPECT_EQ(window->size(), QSize(MainWindow::minimumWidth, MainWindow::minimumHeight));
    EXPECT_EQ(window->sidebar().width(), MainWindow::sidebarWidth);
    window->resize(1300, 900);
    settle();
    EXPECT_EQ(window->sidebar().width(), MainWindow::sidebarWidth);
    EXPECT_EQ(window->topBar().width(), 1300 - MainWindow::sidebarWidth);
    EXPECT_EQ(searchField()->width(), TopBar::fieldWidth);
}

// Sheets stand in for the onboarding questionnaire and the scene editor: a plain dialog that
// records what it was made for.
struct SheetLog {
    std::vector<std::string> made;
    std::function<void()> close;
    QPointer<QDialog> dialog;
};

MainWindow::SheetFactory recordingSheets(SheetLog& log) {
    return [&log](MainWindow::Sheet sheet, MainWindow& window, std::function<void()> close) {
        const std::optional<Setup>& target = window.state().editorTarget;
        log.made.push_back(sheet == MainWindow::Sheet::onboarding
                               ? "onboarding"
                               : "editor " + (target ? target->name : std::string("new")));
        log.close = std::move(close);
        log.dialog = new QDialog;
        return log.dialog.data();
    };
}

TEST_F(Shell, SheetsOpenFromTheirFlagsOneAtATimeAndTheirCloseClearsOnlyTheFlag) {
    SheetLog log;
    open(smallCatalog(), designSize, recordingSheets(log));
    // Not yet onboarded: the questionnaire comes up as the window shows.
    ASSERT_THAT(log.made, ElementsAre("onboarding"));
    EXPECT_TRUE(state().showOnboarding);
    EXPECT_EQ(window->presentedSheet(), log.dialog);
    EXPECT_TRUE(log.dialog->isVisible());
    // Part of the window, not a window of its own.
    EXPECT_FALSE(log.dialog->isWindow());
    EXPECT_EQ(log.dialog->window(), window->window());
    // The editor waits for the questionnaire.
    const velmora::Setup desk{"S1", "Desk", "display", {}, {}, {}, false};
    window->change([&](WindowState& s) { s.openEditor(desk); });
    settle();
    EXPECT_EQ(log.made.size(), 1U);
    log.close();
    settle();
    EXPECT_FALSE(state().showOnboarding);
    EXPECT_TRUE(log.made.size() == 2 && log.made[1] == "editor Desk");
    // Escape on the editor closes it like its own close action; the target stays for next time.
    QTest::keyClick(log.dialog, Qt::Key_Escape);
    settle();
    EXPECT_FALSE(state().showEditor);
    EXPECT_EQ(state().editorTarget, desk);
    EXPECT_EQ(window->presentedSheet(), nullptr);
    window->change([](WindowState& s) { s.openEditor(std::nullopt); });
    settle();
    EXPECT_EQ(log.made.back(), "editor new");
}

TEST_F(Shell, ACompletedOnboardingNeverOpensTheQuestionnaireOnShow) {
    putData(AppModel::Keys::userProfile, R"({"fields":[],"goals":[],"device":"laptop",)"
                                         R"("completedOnboarding":true})");
    SheetLog log;
    open(smallCatalog(), designSize, recordingSheets(log));
    window->hide();
    window->show();
    settle();
    EXPECT_TRUE(log.made.empty());
    EXPECT_FALSE(state().showOnboarding);
}

}  // namespace
}  // namespace velmora::testing
