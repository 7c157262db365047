// The main window's test fixture: the app model over its fakes, one window at the design's
// 840 × 620, and the user's ways into it (rows, the search field, the count pill).
#pragma once

#include <QLineEdit>

#include "tests/ui/ViewTest.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/window/MainWindow.hpp"
#include "ui/window/NavRow.hpp"
#include "ui/window/Page.hpp"
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

    // The object name of the page on screen.
    std::string shownPage() const {
        const Page* page = window->router().currentPage();
        return page != nullptr && page->isVisible() ? page->objectName().toStdString() : "";
    }

    NavRow* row(const char* item) const {
        return find<NavRow>(*window, QStringLiteral("nav.") + QString::fromLatin1(item));
    }
    QLineEdit* searchField() const { return find<QLineEdit>(*window, "topbar.search"); }
    CountPill* countPill() const { return find<CountPill>(*window, "topbar.countPill"); }

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
