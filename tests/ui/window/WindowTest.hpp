// The main window's test fixture: the app model over its fakes, one window at the design's
// 840 × 620, and the user's ways into it (rows, the search field, the count pill).
#pragma once

#include <QLineEdit>

#include "tests/ui/ViewTest.hpp"
#include "ui/components/RecipeGridCard.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/window/ListCard.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/NavRow.hpp"
#include "ui/window/Page.hpp"
#include "ui/window/RecipeGrid.hpp"
#include "ui/window/Router.hpp"
#include "ui/window/TopBar.hpp"

namespace velmora {

// Failures name the page instead of dumping its bytes.
inline void PrintTo(const NavItem& item, std::ostream* out) {
    *out << item.name() << (item.isRecipe() ? "(" + item.recipeID + ")" : std::string());
}

}  // namespace velmora

namespace velmora::testing {

class WindowTest : public ViewTest {
  protected:
    static constexpr QSize designSize{840, 620};

    // Four tweaks, a recipe covering t-a (and t-c through an item marked not enabled) and one
    // covering t-b.
    static Catalog smallCatalog() {
        return Catalog(
            {tweak("t-a"), tweak("t-b"), tweak("t-c"), tweak("t-d")},
            {recipe("r-ac", {{"t-a", true}, {"t-c", false}}), recipe("r-b", {{"t-b", true}})});
    }

    // Declared before the window, so the window goes first.
    std::unique_ptr<AppModel> model;
    std::unique_ptr<MainWindow> window;

    void open(Catalog catalog = smallCatalog(), QSize size = designSize,
              MainWindow::SheetFactory sheets = {}) {
        model = make(std::move(catalog));
        window = std::make_unique<MainWindow>(*model);
        // No sheet unless the test asks for them (MainWindow::defaultSheets()): a window-modal
        // questionnaire would take every click meant for the window.
        window->setSheetFactory(sheets ? std::move(sheets)
                                       : [](MainWindow::Sheet, MainWindow&, std::function<void()>) {
                                             return static_cast<QDialog*>(nullptr);
                                         });
        showOnPaper(*window, size);
    }

    const WindowState& state() const { return window->state(); }

    // The questionnaire done with these answers (JSON arrays of case names), so it does not come
    // up when the window shows.
    void completeOnboarding(const std::string& fields = "[]", const std::string& goals = "[]",
                            const std::string& device = "laptop") {
        putData(AppModel::Keys::userProfile, R"({"fields":)" + fields + R"(,"goals":)" + goals +
                                                 R"(,"device":")" + device +
                                                 R"(","completedOnboarding":true})");
    }

    enum class FavoritePower { off, on };

    // A full window with its sheets: favourites, things on, an applied recipe, a scene and a rule.
    void openFull(FavoritePower favoritePower = FavoritePower::off) {
        completeOnboarding(R"(["developer","writer"])", R"(["speed","focus"])");
        putData(AppModel::Keys::setups,
                R"([{"id":"S1","name":"Desk","icon":"display","tweakIDs":["dock-autohide"],)"
                R"("powerToggleIDs":[],"sliderValues":{},"lidClose":false}])");
        open(Catalog::velmora(), designSize, MainWindow::defaultSheets());
        changeModel([&] {
            model->setFavoriteRecipeIDs({"developer-setup", "speed-boost"});
            model->setFavoriteTweakIDs({"dev-show-hidden-files"});
            if (favoritePower == FavoritePower::on) {
                model->setFavoritePower(true);
            }
            model->apply(model->catalog().recipes()[3]);
        });
    }

    // The page on screen as the type it is made as.
    template <class Shown>
    Shown* page() const {
        auto* shown = dynamic_cast<Shown*>(window->router().currentPage());
        EXPECT_NE(shown, nullptr) << shownPage();
        return shown;
    }

    // The object name of the page on screen.
    std::string shownPage() const {
        const Page* page = window->router().currentPage();
        return page != nullptr && page->isVisible() ? page->objectName().toStdString() : "";
    }

    // Settles, then lets the layouts catch up: a change deep in a page reaches the scroll area
    // around it one level per turn of the event loop.
    static void settleLayout() {
        constexpr int kLayoutTurns = 4;
        for (int turn = 0; turn < kLayoutTurns; ++turn) {
            settle();
        }
    }

    // The named blocks of `page` that show, top to bottom.
    static std::vector<std::string> shownBlocks(const QWidget& page) {
        std::vector<const QWidget*> blocks;
        for (const QObject* child : page.children()) {
            const auto* block = qobject_cast<const QWidget*>(child);
            if (block != nullptr && !block->objectName().isEmpty() && block->isVisibleTo(&page)) {
                blocks.push_back(block);
            }
        }
        std::stable_sort(blocks.begin(), blocks.end(),
                         [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
        std::vector<std::string> names;
        for (const QWidget* block : blocks) {
            names.push_back(block->objectName().toStdString());
        }
        return names;
    }
    // The ids of a list card's rows, in order.
    static std::vector<std::string> rowIDs(const ListCard& card) {
        std::vector<std::string> ids;
        for (const QWidget* row : card.rows()) {
            ids.push_back(row->objectName().mid(QStringLiteral("row.").size()).toStdString());
        }
        return ids;
    }
    // The recipe ids of a grid's cards, in order.
    static std::vector<std::string> cardIDs(const RecipeGrid& grid) {
        std::vector<std::string> ids;
        for (const RecipeGridCard* card : grid.cards()) {
            ids.push_back(card->recipe().id);
        }
        return ids;
    }
    template <class Item>
    static std::vector<std::string> idsOf(const std::vector<Item>& items) {
        std::vector<std::string> ids;
        for (const Item& item : items) {
            if constexpr (std::is_pointer_v<Item>) {
                ids.push_back(item->id);  // a search's hits point into the catalog
            } else {
                ids.push_back(item.id);
            }
        }
        return ids;
    }

    NavRow* row(const char* item) const { return find<NavRow>(*window, navNames::row(item)); }
    QLineEdit* searchField() const { return find<QLineEdit>(*window, "topbar.search"); }
    // Shown or hidden: it hides at zero.
    CountPill* countPill() const {
        return findShownOrHidden<CountPill>(*window, "topbar.countPill");
    }

    void clickRow(const char* item) {
        click(row(item));
        settle();
    }
    void type(const QString& text) {
        QTest::keyClicks(searchField(), text);
        settle();
    }
    // Runs a model change and the sync it causes.
    template <class Work>
    void changeModel(Work&& work) {
        work();
        ModelSync::of(*model).flush();
        settle();
    }
};

}  // namespace velmora::testing
