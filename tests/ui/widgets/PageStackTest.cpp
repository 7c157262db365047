// The page switcher the window and the questionnaire share: one page shown, the stack as tall as
// that page, and a new page prepared while it is still out of sight.
#include <QScrollArea>

#include "tests/ui/ViewTest.hpp"
#include "ui/widgets/PageStack.hpp"

namespace velmora::testing {
namespace {

using PageStackTest = ViewTest;

QWidget* pageOfHeight(int height) {
    auto* page = new QWidget;
    page->setFixedHeight(height);
    return page;
}

TEST_F(PageStackTest, ShowsOnePageAtItsOwnHeightAndPreparesTheNextOutOfSight) {
    constexpr int kTall = 900;
    constexpr int kShort = 120;
    QScrollArea area;
    area.setWidgetResizable(true);
    auto* stack = new PageStack;
    QWidget* tall = pageOfHeight(kTall);
    QWidget* low = pageOfHeight(kShort);
    stack->add(tall);
    stack->add(low);
    area.setWidget(stack);
    showOnPaper(area, QSize(300, 400));
    EXPECT_EQ(stack->current(), nullptr);
    EXPECT_FALSE(tall->isVisible());
    EXPECT_FALSE(low->isVisible());

    stack->setCurrent(tall);
    settle();
    EXPECT_TRUE(tall->isVisible());
    EXPECT_GE(stack->height(), kTall);

    bool hiddenWhilePrepared = false;
    stack->setCurrent(low, [&] { hiddenWhilePrepared = !low->isVisible() && !tall->isVisible(); });
    settle();
    EXPECT_TRUE(hiddenWhilePrepared);
    EXPECT_EQ(stack->current(), low);
    EXPECT_TRUE(low->isVisible());
    EXPECT_FALSE(tall->isVisible());
    EXPECT_LT(stack->height(), kTall) << "a short page does not scroll as far as the tall one";
    EXPECT_FALSE(low->isWindow());
}

}  // namespace
}  // namespace velmora::testing
