// The page blocks placed on a page as later pages place them: list cards and their dividers,
// the setting cards' controls against a model that moved on, the empty state's wrapping, and the
// recipe grid's cells.
#include <QPointer>
#include <algorithm>
#include <cmath>

#include "tests/ui/Ratio.hpp"
#include "tests/ui/window/WindowTest.hpp"
#include "ui/components/ApplyPill.hpp"
#include "ui/components/RecipeGridCard.hpp"
#include "ui/components/StarButton.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Hairline.hpp"
#include "ui/widgets/Switch.hpp"
#include "ui/widgets/TextLabel.hpp"
#include "ui/window/ListCard.hpp"
#include "ui/window/PageBlocks.hpp"
#include "ui/window/RecipeGrid.hpp"
#include "ui/window/SettingCards.hpp"

namespace velmora::testing {
namespace {

constexpr QSize kPageSize{560, 900};

class Blocks : public WindowTest {
  protected:
    // A page standing on paper, holding whatever the test puts in it.
    CardCanvas page;
    QVBoxLayout* column = new QVBoxLayout(&page);

    void SetUp() override {
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(16);
    }

    template <class Block>
    Block* place(Block* block) {
        column->addWidget(block);
        return block;
    }
    void showPage() {
        column->addStretch(1);
        showOnPaper(page, kPageSize);
    }
};

std::vector<Tweak> tweaks(std::initializer_list<const char*> ids) {
    std::vector<Tweak> list;
    for (const char* id : ids) {
        list.push_back(tweak(id));
    }
    return list;
}

TEST_F(Blocks, ListCardsDivideEveryRowButTheLastAndKeepRowsWhileTheIdsStay) {
    model = make(smallCatalog());
    auto* empty = place(new TweakListCard(*model));
    auto* one = place(new TweakListCard(*model));
    auto* three = place(new TweakListCard(*model));
    auto* power = place(new PowerListCard(*model));
    auto* sliders = place(new SliderListCard(*model));
    empty->show({});
    one->show(tweaks({"t-a"}));
    // The same id twice is shown twice: the caller's lists are shown as given.
    three->show(tweaks({"t-a", "t-b", "t-a"}));
    power->show(Catalog::powerToggles());
    sliders->show({Catalog::sliderTweaks().front()});
    showPage();

    EXPECT_EQ(empty->height(), 2 * ListCard::verticalInset);
    EXPECT_EQ(one->rows().size(), 1U);
    EXPECT_EQ(one->dividerCount(), 0);
    EXPECT_EQ(three->rows().size(), 3U);
    EXPECT_EQ(three->dividerCount(), 2);
    EXPECT_EQ(power->dividerCount(), static_cast<int>(Catalog::powerToggles().size()) - 1);
    EXPECT_EQ(sliders->rows().at(0)->objectName(),
              QStringLiteral("row.") + QString::fromStdString(Catalog::sliderTweaks()[0].id));
    // The divider starts under the row content and runs to the card's edge.
    const QRect line = three->dividers().front();
    EXPECT_EQ(line.left(), ListCard::rowInset);
    EXPECT_EQ(line.right() + 1, three->width());

    const std::vector<QWidget*> before = three->rows();
    EXPECT_FALSE(three->show(tweaks({"t-a", "t-b", "t-a"})));
    EXPECT_EQ(three->rows(), before);
    EXPECT_TRUE(three->show(tweaks({"t-b", "t-a"})));
    settle();
    EXPECT_EQ(three->rows().size(), 2U);
    EXPECT_EQ(three->dividerCount(), 1);
    screenshot(page, QStringLiteral("window-list-cards"));
}

// The card paints its dividers on the device pixels a hairline widget in the divider's place
// gets, at every ratio: as many whole pixels as a point holds, from the pixel its top rounds to,
// from under the row content to the card's edge. Rows off whole points put them between pixels.
TEST_F(Blocks, AListCardPaintsItsDividersOnTheDevicePixelsOfAHairlineAtEveryRatio) {
    model = make(smallCatalog());
    constexpr int kOffWholePixels = 7;
    column->setContentsMargins(kOffWholePixels, kOffWholePixels, 0, 0);
    auto* card = place(new TweakListCard(*model));
    card->show(tweaks({"t-a", "t-b", "t-c", "t-d"}));
    showPage();
    const auto isLine = [](const QImage& shot, int x, int y) {
        return shot.pixelColor(x, y).rgb() == Theme::hairline().rgb();
    };
    for (const qreal ratio : test::kRatios) {
        test::moveToRatio(page, ratio);
        settle();
        const std::vector<QRect> lines = card->dividers();
        ASSERT_EQ(lines.size(), 3U);
        // The same lines as hairline widgets, on a plain page at the same place and ratio.
        QWidget plain;
        for (const QRect& line : lines) {
            (new Hairline(&plain))
                ->setGeometry(QRect(card->mapTo(&page, line.topLeft()), line.size()));
        }
        test::moveToRatio(plain, ratio);
        showOnPaper(plain, page.size());
        const QImage painted = page.grab().toImage();
        const QImage expected = plain.grab().toImage();
        const int weight = std::max(1, static_cast<int>(std::floor(ratio)));
        for (const QRect& line : lines) {
            const QRect onPage(card->mapTo(&page, line.topLeft()), line.size());
            const int top = qRound(onPage.top() * ratio);
            const int left = qRound(onPage.left() * ratio);
            const int right = qRound((onPage.right() + 1) * ratio);
            for (int y = top - 2; y < top + weight + 2; ++y) {
                for (int x = left - 2; x < right; ++x) {
                    ASSERT_EQ(isLine(painted, x, y), isLine(expected, x, y))
                        << "ratio " << ratio << " pixel " << x << "," << y;
                }
            }
            EXPECT_TRUE(isLine(painted, left, top)) << "ratio " << ratio;
            EXPECT_TRUE(isLine(painted, right - 1, top + weight - 1)) << "ratio " << ratio;
            EXPECT_FALSE(isLine(painted, left, top + weight)) << "ratio " << ratio;
            EXPECT_FALSE(isLine(painted, left - 1, top)) << "ratio " << ratio;
        }
    }
}

// A search narrowed or widened by a keystroke: rows whose id stays are the same widgets (so a
// hover or focus on them survives), in the new order, with the divider under every row but the
// new last one.
TEST_F(Blocks, ACatalogListCardKeepsTheRowsOfIdsThatStayInTheirNewPlaces) {
    model = make(smallCatalog());
    auto* card = place(new TweakListCard(*model));
    card->show(tweaks({"t-a", "t-b", "t-a", "t-c"}));
    showPage();
    const std::vector<QWidget*> before = card->rows();
    const auto top = [&](QWidget* row) { return row->mapTo(card, QPoint()).y(); };
    const QPointer<QWidget> secondA = before[2];

    EXPECT_TRUE(card->show(tweaks({"t-c", "t-a", "t-b"})));
    settleLayout();
    const std::vector<QWidget*> narrowed = card->rows();
    EXPECT_EQ(narrowed, (std::vector<QWidget*>{before[3], before[0], before[1]}));
    EXPECT_LT(top(narrowed[0]), top(narrowed[1]));
    EXPECT_LT(top(narrowed[1]), top(narrowed[2]));
    EXPECT_EQ(card->dividerCount(), 2);
    EXPECT_TRUE(secondA.isNull()) << "the second t-a row went";

    EXPECT_TRUE(card->show(tweaks({"t-c", "t-a", "t-b", "t-d"})));
    settleLayout();
    const std::vector<QWidget*> widened = card->rows();
    EXPECT_EQ(std::vector<QWidget*>(widened.begin(), widened.begin() + 3), narrowed);
    EXPECT_EQ(widened[3]->objectName(), QStringLiteral("row.t-d"));
    EXPECT_GT(top(widened[3]), top(narrowed[2]));
    EXPECT_EQ(card->dividerCount(), 3) << "the old last row gained its divider";
    EXPECT_EQ(card->height(), card->sizeHint().height());
}

TEST_F(Blocks, SettingCardsFlipWhatTheModelHoldsAtTheClickNotWhatTheyLastShowed) {
    model = make(smallCatalog());
    auto* grid = place(new NeverSleepCard(*model));
    auto* power = place(new PowerCard(*model));
    auto* display = place(new DisplayCard(*model));
    // Every sync handed to the cards, as the pages showing them do.
    ModelSync::of(*model).follow(&page, [&](const SyncCache& synced) {
        grid->follow(synced);
        power->follow(synced);
        display->follow(synced);
    });
    showPage();
    EXPECT_GE(grid->height(), NeverSleepCard::minimumCardHeight);
    EXPECT_EQ(grid->stateText(), QStringLiteral("Off"));
    EXPECT_EQ(accessible(&power->toggle()), "CheckBox 'Keep awake with the lid closed' off");

    // The Mac went on keeping awake behind the cards' backs; the model knows, they do not yet.
    mac.keepAwake = true;
    model->refresh();
    click(&power->toggle());
    EXPECT_THAT(journal, ElementsAre("let sleep"));
    settle();
    EXPECT_FALSE(power->toggle().isOn());
    click(&grid->pill());
    settle();
    EXPECT_THAT(journal, ElementsAre("let sleep", "keep awake"));
    EXPECT_EQ(grid->stateText(), QStringLiteral("On"));
    EXPECT_TRUE(grid->pill().isApplied());
    EXPECT_TRUE(power->toggle().isOn());

    // Both stars pin the one keep-awake item.
    click(&grid->star());
    settle();
    EXPECT_TRUE(model->favoritePower());
    EXPECT_TRUE(power->star().isOn());
    click(&power->star());
    settle();
    EXPECT_FALSE(model->favoritePower());

    // Dark mode: the switch asks for the opposite and then shows what the system reports, so a
    // switch the system ignored does not show as done.
    mac.appearanceLocked = true;
    click(&display->toggle());
    settle();
    EXPECT_FALSE(model->darkMode());
    EXPECT_FALSE(display->toggle().isOn());
    mac.appearanceLocked = false;
    click(&display->toggle());
    settle();
    EXPECT_TRUE(mac.dark);
    EXPECT_TRUE(display->toggle().isOn());
    screenshot(page, QStringLiteral("window-setting-cards"));
}

TEST_F(Blocks, AnEmptyStateWrapsItsMessageOnCentredLinesNoWiderThanItsLimit) {
    model = make(smallCatalog());
    const QString message = QStringLiteral(
        "Click the \u2606 on any recipe, power-up, or the Never-sleep card to pin it here \u2014 "
        "and to your menu bar.");
    auto* empty = place(new EmptyState("star", QStringLiteral("No favorites yet"), message));
    showPage();
    const TextLabel& shown = empty->message();
    EXPECT_LE(shown.width(), EmptyState::messageWidth);
    EXPECT_GT(shown.shownLines().size(), 1U);
    EXPECT_GE(shown.height(), shown.heightForWidth(shown.width())) << "its last line is cut";
    const int middle = shown.mapTo(&page, shown.rect().center()).x();
    EXPECT_NEAR(middle, page.width() / 2, 1);
    EXPECT_GT(empty->title().mapTo(&page, QPoint(0, 0)).y(), EmptyState::topInset);
}

TEST_F(Blocks, TheRecipeGridFillsTwoColumnsThenTheTrailingCardAndOpensRecipes) {
    open(Catalog::velmora());
    auto* grid = place(new RecipeGrid(*window));
    grid->setTrailing(new NeverSleepCard(*model));
    const std::vector<Recipe>& recipes = model->catalog().recipes();
    ASSERT_EQ(recipes.size() % 2, 1U) << "the built-in catalog has an odd number of recipes";
    grid->show(recipes);
    showPage();
    // Row (by the cell's middle, cells being centred in their row) and column.
    const auto cellOf = [&](const QWidget* card) {
        const QPoint middle = card->mapTo(grid, card->rect().center());
        return std::pair{middle.y(), middle.x() < grid->width() / 2 ? 0 : 1};
    };
    const auto* never = grid->findChild<NeverSleepCard*>();
    EXPECT_EQ(cellOf(never).second, 1) << "after an odd number of recipes, the right cell";
    EXPECT_NEAR(cellOf(never).first, cellOf(grid->cards().back()).first, 1);
    EXPECT_NEAR(grid->cards()[1]->width(), grid->cards()[0]->width(), 1);
    EXPECT_EQ(cellOf(grid->cards()[1]).second - cellOf(grid->cards()[0]).second, 1);

    const std::vector<RecipeGridCard*> before = grid->cards();
    EXPECT_FALSE(grid->show(recipes));
    EXPECT_EQ(grid->cards(), before);
    grid->show({recipes.begin(), recipes.end() - 1});
    settle();
    EXPECT_EQ(cellOf(never).second, 0) << "after an even number, a new row on the left";

    clickRow("favorites");
    click(grid->cards()[1]);
    settle();
    EXPECT_EQ(state().selection, NavItem::recipe(recipes[1].id));
    EXPECT_EQ(state().backTo, NavItem::favorites());
    screenshot(page, QStringLiteral("window-recipe-grid"));
}

}  // namespace
}  // namespace velmora::testing
