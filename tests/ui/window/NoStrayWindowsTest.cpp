// Building and updating pages makes no window on the display besides the main one: a row, a
// divider or a card shown before it has its parent would flash up as a window of its own (on a
// real X server a round trip each, about sixty for one opening of Browse).
#include "tests/ui/NativeWindowCount.hpp"
#include "tests/ui/window/WindowTest.hpp"

namespace velmora::testing {
namespace {

class NoStrayWindows : public WindowTest {
  protected:
    void SetUp() override {
        completeOnboarding();
        open(Catalog::velmora());
    }
};

TEST_F(NoStrayWindows, OpeningBrowseWithAdvancedOnAndSearchingMakeNoWindow) {
    window->change([](WindowState& s) { s.showAdvanced = true; });
    settle();
    test::NativeWindowCount windows;
    clickRow("browse");
    settleLayout();
    EXPECT_EQ(shownPage(), "page.browse");
    EXPECT_EQ(windows.made(), 0) << "first: " << windows.first();

    // "doc" then "dock": each keystroke replaces the result rows.
    type(QStringLiteral("doc"));
    type(QStringLiteral("k"));
    settleLayout();
    EXPECT_EQ(shownPage(), "page.search");
    EXPECT_EQ(windows.made(), 0) << "first: " << windows.first();
}

TEST_F(NoStrayWindows, VisitingEveryPageOfTheSidebarMakesNoWindow) {
    test::NativeWindowCount windows;
    for (const char* item : {"active", "favorites", "browse", "automations", "home"}) {
        clickRow(item);
        settleLayout();
        EXPECT_EQ(windows.made(), 0) << "after " << item << ", first: " << windows.first();
    }
    for (const Recipe& recipe : model->recipes()) {
        window->change([&](WindowState& s) { s.openRecipe(recipe.id); });
        settleLayout();
    }
    EXPECT_EQ(windows.made(), 0) << "first: " << windows.first();
}

}  // namespace
}  // namespace velmora::testing
