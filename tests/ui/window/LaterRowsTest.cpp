// Browse over a catalog ten times the size, opened before its rows past the first screenful are
// made: the user sees the same page as when every row is made, at the first frame and wherever
// the page is scrolled while rows still wait, over the same scroll range, and when a chip brings
// a section of waiting rows to the top; Tab reaches every row.
#include <QScrollBar>

#include "bench/TenfoldCatalog.hpp"
#include "tests/ui/window/WindowTest.hpp"
#include "ui/components/TweakRow.hpp"
#include "ui/widgets/ReadingOrder.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/window/BrowsePage.hpp"
#include "ui/window/FilterChip.hpp"

namespace velmora::testing {
namespace {

class LaterRows : public WindowTest, public ::testing::WithParamInterface<QSize> {
  protected:
    // Turns of the event loop for the layouts to reach the scroll area, as settleLayout gives
    // them, without waiting for every row.
    static constexpr int kLayoutTurns = 4;

    // Browse with Advanced on, every row of the catalog in it, laid out; rows may still wait.
    void openBrowse(QSize size) {
        completeOnboarding();
        open(bench::tenfoldCatalog(), size);
        window->change([](WindowState& s) { s.showAdvanced = true; });
        settle();
        click(row("browse"));
        layoutTurns();
    }
    void layoutTurns() const {
        for (int turn = 0; turn < kLayoutTurns; ++turn) {
            ModelSync::of(*model).flush();
            QCoreApplication::processEvents();
        }
    }

    std::size_t waiting() const {
        std::size_t count = 0;
        for (const ListCard* card : window->router().currentPage()->findChildren<ListCard*>()) {
            count += card->laterCount();
        }
        return count;
    }
    // The tweak rows a user can see or scroll to.
    std::size_t rowsShown() const {
        const QWidget* page = window->router().currentPage();
        const QList<TweakRow*> rows = page->findChildren<TweakRow*>();
        return static_cast<std::size_t>(std::count_if(
            rows.begin(), rows.end(), [&](const TweakRow* row) { return row->isVisibleTo(page); }));
    }

    QScrollBar& bar() const { return *window->router().verticalScrollBar(); }
    QImage view() const { return window->router().viewport()->grab().toImage(); }
};

TEST_P(LaterRows, EveryViewWhileRowsWaitIsTheViewOfTheFinishedPageOverTheSameScrollRange) {
    openBrowse(GetParam());
    ASSERT_EQ(shownPage(), "page.browse");
    ASSERT_GT(waiting(), 0u) << "the page opened with every row made";
    const int range = bar().maximum();
    ASSERT_GT(range, 0);
    const QImage top = view();

    // Scrolled halfway and to the end before the rows there were made.
    bar().setValue(range / 2);
    const QImage middle = view();
    bar().setValue(range);
    const QImage end = view();
    EXPECT_GT(waiting(), 0u) << "scrolling made rows it did not show";

    settle();
    EXPECT_EQ(waiting(), 0u);
    EXPECT_EQ(rowsShown(), model->catalog().tweaks().size());
    EXPECT_EQ(bar().maximum(), range) << "the scroll range changed as the rows were made";
    EXPECT_TRUE(view() == end) << "the end of the page";
    bar().setValue(range / 2);
    EXPECT_TRUE(view() == middle) << "halfway down";
    bar().setValue(0);
    EXPECT_TRUE(view() == top) << "the first screenful";
}

TEST_P(LaterRows, TabMakesTheWaitingRowsFirstSoItReachesEveryRowInOrder) {
    openBrowse(GetParam());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_GT(waiting(), 0u);
    QTest::keyClick(window.get(), Qt::Key_Tab);
    EXPECT_EQ(waiting(), 0u);
    EXPECT_EQ(rowsShown(), model->catalog().tweaks().size());

    // Every row's switch is a stop of the round, each below the one before.
    std::vector<QWidget*> switches;
    for (QWidget* stop : readingOrder::chain(*window)) {
        if (qobject_cast<TweakRow*>(stop->parentWidget()) != nullptr &&
            stop == &static_cast<TweakRow*>(stop->parentWidget())->toggle()) {
            switches.push_back(stop);
        }
    }
    EXPECT_EQ(switches.size(), model->catalog().tweaks().size());
    const QWidget* page = window->router().currentPage();
    EXPECT_TRUE(std::is_sorted(switches.begin(), switches.end(), [&](QWidget* a, QWidget* b) {
        return a->mapTo(page, QPoint()).y() < b->mapTo(page, QPoint()).y();
    }));
}

// The last category's chip, chosen before its rows are made: its section comes to the top of the
// page and shows as it will once every row is made.
TEST_P(LaterRows, AChipChosenWhileRowsWaitShowsItsSectionsRowsAtOnce) {
    openBrowse(GetParam());
    ASSERT_GT(waiting(), 0u);
    click(page<BrowsePage>()->chips().back());
    layoutTurns();
    EXPECT_GT(waiting(), 0u) << "every row was made before the view was looked at";
    const QImage chosen = view();
    settle();
    EXPECT_EQ(waiting(), 0u);
    EXPECT_TRUE(view() == chosen);
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, LaterRows,
                         ::testing::Values(QSize(840, 620), QSize(1280, 800)));

}  // namespace
}  // namespace velmora::testing
