// The search results as a user meets them: the sections and their order for a table of queries,
// "No matches" quoting the query as typed, and what a result does when clicked.
#include <QAccessible>
#include <QInputMethodEvent>

#include "tests/ui/window/WindowTest.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/PageBlocks.hpp"
#include "ui/window/SearchPage.hpp"

namespace velmora::testing {
namespace {

struct Expected {
    std::vector<std::string> blocks;
    std::vector<std::string> recipes, powerToggles, tweaks, sliders;
};

class Search : public WindowTest {
  protected:
    void search(const std::string& query) {
        searchField()->clear();
        window->change([](WindowState& s) { s.query.clear(); });
        type(QString::fromStdString(query));
    }

    // What the page must show for what the model finds: the sections in the fixed order, each only
    // with results, and nothing but "No matches" for none.
    static Expected expectedFor(const AppModel& model, const std::string& query) {
        const auto ids = [](const auto& items) { return idsOf(items); };
        Expected expected{{},
                          ids(model.searchRecipes(query)),
                          ids(model.searchPowerToggles(query)),
                          ids(model.searchTweaks(query)),
                          ids(model.searchSliders(query))};
        const bool lid = model.lidCloseMatches(query);
        if (!expected.recipes.empty()) {
            expected.blocks.insert(expected.blocks.end(),
                                   {searchNames::recipes, searchNames::grid});
        }
        if (lid || !expected.powerToggles.empty()) {
            expected.blocks.push_back(searchNames::power);
            if (lid) {
                expected.blocks.push_back(searchNames::powerCard);
            }
            if (!expected.powerToggles.empty()) {
                expected.blocks.push_back(searchNames::powerList);
            }
        }
        if (!expected.tweaks.empty() || !expected.sliders.empty()) {
            expected.blocks.push_back(searchNames::powerUps);
            if (!expected.tweaks.empty()) {
                expected.blocks.push_back(searchNames::tweaks);
            }
            if (!expected.sliders.empty()) {
                expected.blocks.push_back(searchNames::sliders);
            }
        }
        if (expected.blocks.empty()) {
            expected.blocks.push_back(searchNames::empty);
        }
        return expected;
    }
};

TEST_F(Search, TheSectionsAreTheModelsNonEmptyResultsInOrderForEveryQuery) {
    completeOnboarding();
    open(Catalog::velmora());
    // Every kind of result alone and together; the keep-awake words alone; as typed, spaces and
    // case included.
    const char* queries[] = {"d",
                             "dock",
                             "sleep",
                             "external monitor",
                             "network wake",
                             "admin",
                             "tracking speed",
                             "icon size",
                             "Finder ",
                             "  dock",
                             "zzz",
                             "!!",
                             "never sleep",
                             "screens",
                             "pointer travel"};
    for (const char* query : queries) {
        SCOPED_TRACE(query);
        search(query);
        ASSERT_EQ(shownPage(), "page.search");
        auto* results = page<SearchPage>();
        const Expected expected = expectedFor(*model, query);
        EXPECT_EQ(shownBlocks(*results), expected.blocks);
        const auto shown = [&](const char* name) {
            auto* list = findShownOrHidden<ListCard>(*results, QString::fromLatin1(name));
            return list->isVisible() ? rowIDs(*list) : std::vector<std::string>{};
        };
        const auto* grid = findShownOrHidden<RecipeGrid>(*results, searchNames::grid);
        EXPECT_EQ(grid->isVisible() ? cardIDs(*grid) : std::vector<std::string>{},
                  expected.recipes);
        EXPECT_EQ(shown(searchNames::powerList), expected.powerToggles);
        EXPECT_EQ(shown(searchNames::tweaks), expected.tweaks);
        EXPECT_EQ(shown(searchNames::sliders), expected.sliders);
        // Cards are numbered from 0 in the results, whatever their place on Home.
        for (std::size_t i = 0; i < grid->cards().size(); ++i) {
            EXPECT_EQ(grid->cards()[i]->index(), static_cast<int>(i));
        }
    }
    // The table holds each shape the page can take.
    EXPECT_TRUE(model->lidCloseMatches("external monitor") &&
                model->searchPowerToggles("external monitor").empty());
    EXPECT_TRUE(!model->lidCloseMatches("network wake") &&
                !model->searchPowerToggles("network wake").empty());
    EXPECT_TRUE(model->searchTweaks("icon size").size() <= 1 &&
                !model->searchSliders("icon size").empty());
    EXPECT_TRUE(model->searchTweaks("pointer travel").empty() &&
                !model->searchSliders("pointer travel").empty())
        << "sliders alone under their heading";
}

// A screen reader or another tool sets or inserts text through the field's accessible interface,
// which Qt does not count as typing: the page searches for it all the same, in any case, script
// or form of an accent.
TEST_F(Search, TextAToolPutsInTheFieldIsSearchedAsTypedTextIs) {
    completeOnboarding();
    open(Catalog::velmora());
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(searchField());
    ASSERT_TRUE(field != nullptr && field->editableTextInterface() != nullptr);
    const auto results = [&] {
        auto* page = this->page<SearchPage>();
        const auto* tweaks = findShownOrHidden<ListCard>(*page, searchNames::tweaks);
        return std::pair{shownBlocks(*page),
                         tweaks->isVisible() ? rowIDs(*tweaks) : std::vector<std::string>{}};
    };
    const char* queries[] = {"FINDER", "\U0001F50B Battery", "caf\u00e9 dock", "cafe\u0301 dock",
                             "\u0437\u0432\u0443\u043a"};
    for (const char* query : queries) {
        SCOPED_TRACE(query);
        field->setText(QAccessible::Value, QString::fromUtf8(query));
        settle();
        EXPECT_EQ(state().query, query);
        ASSERT_EQ(shownPage(), "page.search");
        const Expected expected = expectedFor(*model, query);
        EXPECT_EQ(results(), std::pair(expected.blocks, expected.tweaks));
    }
    EXPECT_EQ(model->searchTweaks("FINDER"), model->searchTweaks("finder"));
    EXPECT_FALSE(model->searchTweaks("\U0001F50B Battery").empty());

    field->setText(QAccessible::Value, QStringLiteral("dock"));
    field->editableTextInterface()->insertText(0, QStringLiteral("finder "));
    settle();
    EXPECT_EQ(state().query, "finder dock");
    EXPECT_EQ(results().second, idsOf(model->searchTweaks("finder dock")));
    field->editableTextInterface()->deleteText(0, 11);
    settle();
    EXPECT_EQ(state().query, "");
    EXPECT_EQ(shownPage(), "page.home");
}

TEST_F(Search, ThreeSpacesShowNoMatchesWithTheSpacesInsideTheQuotes) {
    completeOnboarding();
    open(Catalog::velmora());
    clickRow("favorites");
    type(QStringLiteral("   "));
    EXPECT_EQ(state().query, "   ");
    EXPECT_EQ(shownPage(), "page.search");
    auto* results = page<SearchPage>();
    EXPECT_THAT(shownBlocks(*results), ElementsAre(searchNames::empty));
    auto* empty = find<EmptyState>(*results, searchNames::empty);
    EXPECT_EQ(empty->title().text(), QStringLiteral("No matches"));
    EXPECT_EQ(empty->message().text(),
              QStringLiteral("Nothing matches \u201C   \u201D. Try another word."));
    // Typed markup is text, shown as typed.
    type(QStringLiteral("<i>zqx</i>&"));
    EXPECT_EQ(empty->message().text(),
              QStringLiteral("Nothing matches \u201C   <i>zqx</i>&\u201D. Try another word."));
    EXPECT_EQ(empty->message().shownLines().front().left(18),
              QStringLiteral("Nothing matches \u201C "));
    for (int i = 0; i < 11; ++i) {
        QTest::keyClick(searchField(), Qt::Key_Backspace);
    }
    settle();
    EXPECT_EQ(state().query, "   ");
    // Erased, the page that was selected comes back.
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(searchField(), Qt::Key_Backspace);
    }
    settle();
    EXPECT_EQ(shownPage(), "page.favorites");
}

// The field draws its own placeholder: shown while nothing is typed or being composed, gone with
// the first letter or a composition, back once erased, and read out by screen readers.
TEST_F(Search, ThePlaceholderShowsOnlyWhileTheFieldIsEmptyAndIsReadOut) {
    completeOnboarding();
    open(Catalog::velmora());
    QLineEdit* field = searchField();
    EXPECT_TRUE(field->accessibleDescription().contains(QStringLiteral("never sleep")));
    // The right half of the field, past what a short query or composition covers.
    const auto tail = [field] {
        const QImage shot = field->grab().toImage();
        return shot.copy(shot.width() / 2, 0, shot.width() / 2, shot.height());
    };
    const auto blank = [](const QImage& image) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != image.pixel(0, 0)) {
                    return false;
                }
            }
        }
        return true;
    };
    const QImage empty = tail();
    EXPECT_FALSE(blank(empty)) << "the placeholder runs past the middle";
    type(QStringLiteral("d"));
    EXPECT_TRUE(blank(tail())) << "typed";
    QTest::keyClick(field, Qt::Key_Backspace);
    settle();
    EXPECT_EQ(tail(), empty) << "erased";
    QInputMethodEvent composing(QStringLiteral("do"), {});
    QCoreApplication::sendEvent(field, &composing);
    EXPECT_TRUE(blank(tail())) << "composing";
    QInputMethodEvent cancelled;
    QCoreApplication::sendEvent(field, &cancelled);
    EXPECT_EQ(tail(), empty) << "composition cancelled";
}

TEST_F(Search, ACardOpensItsRecipeAndClearsTheQueryWhileRowsActWhereTheyAre) {
    completeOnboarding();
    open(Catalog::velmora());
    clickRow("browse");
    type(QStringLiteral("dock"));
    auto* results = page<SearchPage>();
    click(find(*results, "switch.dock-no-launch-bounce"));
    click(find(*results, "star.dock-no-launch-bounce"));
    settle();
    EXPECT_EQ(shownPage(), "page.search");
    EXPECT_EQ(state().query, "dock");
    EXPECT_TRUE(find<Switch>(*results, "switch.dock-no-launch-bounce")->isOn());
    EXPECT_TRUE(model->isFavorite(*model->catalog().tweak("dock-no-launch-bounce")));
    EXPECT_EQ(countPill()->label(), QStringLiteral("1 on"));

    click(find(*results, recipeCardNames::card("speed-boost")));
    settle();
    EXPECT_EQ(state().query, "");
    EXPECT_EQ(searchField()->text(), QString());
    EXPECT_EQ(state().selection, NavItem::recipe("speed-boost"));
    EXPECT_EQ(state().backTo, NavItem::browse());
    EXPECT_EQ(shownPage(), "page.recipe");
}

}  // namespace
}  // namespace velmora::testing
