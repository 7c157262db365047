// The window at the design's 840 × 620 and at a roomier 1280 × 800: every page, both sheets and the
// popover saved as build/artefacts/ui/size-<w>x<h>-*.png, and the measures that must not change
// with the width: the search capsule hugs its 250-wide field, right-aligned columns stand at the
// same x on a page that scrolls and on one that does not, and a card alone in a grid row keeps
// its column's width.
#include <QPainter>
#include <QScrollBar>

#include "tests/ui/window/WindowTest.hpp"
#include "ui/popover/MenuBarView.hpp"
#include "ui/widgets/SlimScrollBar.hpp"
#include "ui/widgets/SymbolView.hpp"
#include "ui/window/BrowsePage.hpp"
#include "ui/window/SearchPage.hpp"

namespace velmora::testing {
namespace {

class WindowSizes : public WindowTest, public ::testing::WithParamInterface<QSize> {
  protected:
    // The capsule's insets around the glass and the field, and the gap between them.
    static constexpr int kCapsulePaddingH = 12;
    static constexpr int kCapsuleSpacing = 7;

    QString prefix() const {
        return QStringLiteral("size-%1x%2-").arg(GetParam().width()).arg(GetParam().height());
    }
    void openAtSize(MainWindow::SheetFactory sheets = {}) {
        completeOnboarding(R"(["developer"])", R"(["speed"])");
        open(Catalog::velmora(), GetParam(), std::move(sheets));
        settleLayout();
    }
    void shoot(const QString& name) {
        settleLayout();
        screenshot(*window, prefix() + name);
    }
    // Where `widget` stands in the window.
    QRect inWindow(const QWidget* widget) const {
        return {widget->mapTo(window.get(), QPoint(0, 0)), widget->size()};
    }
    bool pageScrolls() const { return shownScrollBar(window->router())->isVisible(); }
};

TEST_P(WindowSizes, EveryPageIsShotAndTheSearchCapsuleHugsItsFieldAtEveryWidth) {
    openAtSize();
    auto* capsule = find(*window, "topbar.capsule");
    QWidget* glass = capsule->findChild<SymbolView*>();
    ASSERT_NE(glass, nullptr);
    const int hugging =
        kCapsulePaddingH + glass->width() + kCapsuleSpacing + TopBar::fieldWidth + kCapsulePaddingH;
    const auto checkCapsule = [&](const char* page) {
        EXPECT_EQ(searchField()->width(), TopBar::fieldWidth) << page;
        EXPECT_EQ(capsule->width(), hugging) << page;
        EXPECT_EQ(searchField()->x(), kCapsulePaddingH + glass->width() + kCapsuleSpacing) << page;
    };
    checkCapsule("home, pill hidden");
    shoot(QStringLiteral("home"));
    // A scene and a rule, so the Automations page shows its form and a row.
    changeModel([&] {
        model->upsertSetup({"S1", "Desk", "display", {}, {}, {}, true});
        model->addRule({"R1", AutomationRule::Kind::onBattery, "S1", true, 20, 9, 30, "", ""});
    });
    for (const char* item : {"favorites", "browse", "active", "automations"}) {
        clickRow(item);
        checkCapsule(item);
        shoot(QString::fromLatin1(item));
    }
    changeModel([&] { model->apply(model->catalog().recipes()[3]); });
    window->openRecipe(model->catalog().recipes()[3]);
    settle();
    checkCapsule("recipe, pill shown");
    EXPECT_TRUE(countPill()->isVisible());
    shoot(QStringLiteral("recipe"));
    type(QStringLiteral("sleep"));
    checkCapsule("search");
    shoot(QStringLiteral("search"));
}

// Browse scrolls and a short Favorites page does not: the star and the switch of the same row
// stand at the same x on both, and the Advanced switch ends where the cards end.
TEST_P(WindowSizes, RightAlignedColumnsKeepTheirPlaceWhetherThePageScrollsOrNot) {
    const std::string id = "dock-no-launch-bounce";
    openAtSize();
    changeModel([&] { model->setFavoriteTweakIDs({id}); });
    clickRow("browse");
    settleLayout();
    ASSERT_TRUE(pageScrolls());
    const QString star = QStringLiteral("star.") + QString::fromStdString(id);
    const QString toggle = QStringLiteral("switch.") + QString::fromStdString(id);
    const QRect starOnBrowse = inWindow(find(*page<Page>(), star));
    const QRect switchOnBrowse = inWindow(find(*page<Page>(), toggle));
    const QRect advanced = inWindow(find(*page<Page>(), browseNames::advanced));
    const QRect card = inWindow(find(*page<Page>(), browseNames::tweaks(TweakCategory::dock)));
    EXPECT_EQ(advanced.right(), card.right());
    EXPECT_EQ(card.right(), window->width() - 1 - Router::sideInset);

    clickRow("favorites");
    settleLayout();
    ASSERT_FALSE(pageScrolls());
    EXPECT_EQ(inWindow(find(*page<Page>(), star)).x(), starOnBrowse.x());
    EXPECT_EQ(inWindow(find(*page<Page>(), toggle)).x(), switchOnBrowse.x());
}

// Three favourite recipes leave the third alone in its row; one search result is alone in the
// grid: both are as wide as Home's paired cards.
TEST_P(WindowSizes, ACardAloneInAGridRowKeepsItsColumnsWidth) {
    openAtSize();
    const RecipeGrid* home = page<Page>()->findChild<RecipeGrid*>();
    ASSERT_NE(home, nullptr);
    ASSERT_GE(home->cards().size(), 2U);
    // The two columns share the grid's width; an odd pixel goes to the first.
    const int column = home->cards()[0]->width();
    const int second = home->cards()[1]->width();
    EXPECT_EQ(column + RecipeGrid::spacing + second, home->width());
    EXPECT_LE(column - second, 1);

    changeModel([&] {
        model->setFavoriteRecipeIDs({"developer-setup", "declutter-focus", "speed-boost"});
    });
    clickRow("favorites");
    settleLayout();
    const RecipeGrid* favourites = page<Page>()->findChild<RecipeGrid*>();
    ASSERT_EQ(favourites->cards().size(), 3U);
    EXPECT_EQ(favourites->cards()[0]->width(), column);
    EXPECT_EQ(favourites->cards()[1]->width(), second);
    EXPECT_EQ(favourites->cards()[2]->width(), column) << "alone in its row";
    EXPECT_EQ(favourites->cards()[2]->x(), favourites->cards()[0]->x());

    type(QStringLiteral("developer setup"));
    settleLayout();
    const auto* results = find<RecipeGrid>(*window, searchNames::grid);
    ASSERT_EQ(results->cards().size(), 1U);
    EXPECT_EQ(results->cards()[0]->width(), column);
    EXPECT_EQ(inWindow(results->cards()[0]).x(), inWindow(home->cards()[0]).x());
    shoot(QStringLiteral("search-one-card"));
}

TEST_P(WindowSizes, BothSheetsAreShotOverTheWindow) {
    putData(AppModel::Keys::userProfile, R"({"fields":[],"goals":[],"device":"laptop",)"
                                         R"("completedOnboarding":false})");
    open(Catalog::velmora(), GetParam(), MainWindow::defaultSheets());
    settleLayout();
    const auto shootWithSheet = [&](const QString& name) {
        settleLayout();
        QWidget* sheet = window->presentedSheet();
        ASSERT_NE(sheet, nullptr) << name.toStdString();
        QPixmap picture = window->grab();
        // A sheet that is a window of its own is not in the window's picture: put it where it
        // stands.
        if (sheet->isWindow()) {
            QPainter painter(&picture);
            painter.drawPixmap(sheet->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint()),
                               sheet->grab());
        }
        EXPECT_TRUE(picture.save(test::artefactPath(prefix() + name + QStringLiteral(".png"))));
    };
    shootWithSheet(QStringLiteral("onboarding"));
    window->change([](WindowState& state) { state.showOnboarding = false; });
    settle();
    window->change([](WindowState& state) { state.openEditor(std::nullopt); });
    shootWithSheet(QStringLiteral("scene-editor"));
}

TEST_P(WindowSizes, ThePopoverIsShotWithARecipeAppliedAndAPowerUpOn) {
    openAtSize();
    changeModel([&] {
        model->setFavoriteTweakIDs({"dock-no-launch-bounce", "dev-show-hidden-files"});
        model->apply(model->catalog().recipes()[0]);
    });
    MenuBarView popover(*model);
    showOnPaper(popover, {326, 440});
    screenshot(popover, prefix() + QStringLiteral("popover"));
}

INSTANTIATE_TEST_SUITE_P(DesignAndRoomy, WindowSizes,
                         ::testing::Values(QSize(840, 620), QSize(1280, 800)),
                         [](const ::testing::TestParamInfo<QSize>& size) {
                             return std::to_string(size.param.width()) + "x" +
                                    std::to_string(size.param.height());
                         });

}  // namespace
}  // namespace velmora::testing
