// The recipe card, its star and its pill, clicked and hovered as a user would, with what each
// tells accessibility tools; screenshots of a card plain, hovered and applied.
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

#include "tests/ui/Ratio.hpp"
#include "tests/ui/ReferenceImage.hpp"
#include "tests/ui/ViewTest.hpp"
#include "ui/components/ApplyPill.hpp"
#include "ui/components/RecipeGridCard.hpp"
#include "ui/components/StarButton.hpp"
#include "ui/look/Theme.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/widgets/Card.hpp"
#include "ui/widgets/CardLayers.hpp"
#include "ui/widgets/Text.hpp"

namespace velmora::testing {
namespace {

constexpr QSize kCanvas{300, 200};

// The largest difference of a channel between `drawn` and `expected` (pictures at `ratio`), but
// in the device pixels the edges of `card` pass through: a child widget drawing at a fractional
// place has its clip rounded to whole pixels, so its surface's edge covers a pixel it half
// covers on a painter drawing all in one.
int largestDeltaOffTheCardsEdges(const QImage& drawn, const QImage& expected, const QRect& card,
                                 qreal ratio) {
    const QRectF onDevice(card.x() * ratio, card.y() * ratio, card.width() * ratio,
                          card.height() * ratio);
    const auto straddled = [](int pixel, qreal edge) {
        return edge != std::floor(edge) && pixel == static_cast<int>(std::floor(edge));
    };
    int largest = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const bool alongColumn = y + 1 > onDevice.top() && y < onDevice.bottom();
            const bool alongRow = x + 1 > onDevice.left() && x < onDevice.right();
            if ((alongColumn &&
                 (straddled(x, onDevice.left()) || straddled(x, onDevice.right()))) ||
                (alongRow && (straddled(y, onDevice.top()) || straddled(y, onDevice.bottom())))) {
                continue;
            }
            largest = std::max(largest, test::ReferenceImage::channelDelta(drawn.pixel(x, y),
                                                                           expected.pixel(x, y)));
        }
    }
    return largest;
}

class CardTest : public ViewTest {
  protected:
    std::unique_ptr<AppModel> model =
        make(Catalog({tweak("t-a"), tweak("t-b")}, {recipe("r-ab", {{"t-a", true}, {"t-b", true}}),
                                                    recipe("<b>x</b> & A&B", {})}));
    const Recipe& ab = model->recipes()[0];
    int opened = 0;
    CardCanvas canvas;
    RecipeGridCard* card = place(ab, 0);

    // Hands every sync to the cards, as the grid a page shows them in does.
    CardTest() {
        ModelSync::of(*model).follow(&canvas, [this](const SyncCache& synced) {
            for (RecipeGridCard* shown : canvas.findChildren<RecipeGridCard*>()) {
                shown->follow(synced);
            }
        });
    }

    RecipeGridCard* place(const Recipe& shown, int index) {
        auto* layout = canvas.layout() != nullptr ? static_cast<QVBoxLayout*>(canvas.layout())
                                                  : new QVBoxLayout(&canvas);
        layout->setContentsMargins(20, 20, 20, 20);
        auto* made = new RecipeGridCard(*model, shown, index, [this] { ++opened; });
        layout->addWidget(made);
        return made;
    }

    // Waits out the hover animation.
    static void waitForHover(const RecipeGridCard& hovered, qreal blur) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return hovered.cardShadow().blur == blur; }, 1000));
    }
};

TEST_F(CardTest, ACardOpensOnItsBodyWhileItsPillAndStarActOnTheModelAsItIsAtTheClick) {
    showOnPaper(canvas, kCanvas);
    screenshot(canvas, QStringLiteral("card-plain"));
    click(card);
    EXPECT_EQ(opened, 1);

    auto* pill = find<ApplyPill>(canvas, recipeCardNames::pill("r-ab"));
    click(pill);
    EXPECT_TRUE(model->isApplied(ab));
    EXPECT_EQ(opened, 1) << "the pill does not open the recipe";
    settle();
    EXPECT_EQ(pill->shownText(), QStringLiteral("Applied"));

    // Reverted elsewhere (the popover) since the card was drawn: the pill still says "Applied",
    // and a click applies, reading the model rather than its own look.
    model->revert(ab);
    click(pill);
    EXPECT_TRUE(model->isApplied(ab));
    model->revert(ab);
    settle();
    model->apply(ab);
    click(pill);
    EXPECT_FALSE(model->isApplied(ab)) << "applied elsewhere: the click reverts";

    auto* star = find<StarButton>(canvas, "star.r-ab");
    EXPECT_EQ(accessible(star), "Button 'Pin to Favorites'");
    click(star);
    settle();
    EXPECT_TRUE(model->isFavorite(ab));
    EXPECT_EQ(accessible(star), "Button 'Unpin from Favorites'");
    EXPECT_EQ(star->toolTip(), plainToolTip(QStringLiteral("Unpin from Favorites")));
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(accessible(card), "Button 'Recipe r-ab'");
    EXPECT_EQ(accessible(pill), "Button 'Apply'");
}

TEST_F(CardTest, HoverLiftsTheCardUnderItsOwnCursorAndLeavesNoCursorBehindWhenTheCardGoes) {
    model->apply(ab);
    auto* second = place(model->recipes()[1], 6);
    showOnPaper(canvas, QSize(kCanvas.width(), 2 * kCanvas.height()));
    screenshot(canvas, QStringLiteral("card-applied"));

    hover(card);
    waitForHover(*card, 7);
    EXPECT_EQ(card->cardShadow().offsetY, 3);
    EXPECT_EQ(card->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "never a global cursor";
    hover(&card->pill());
    EXPECT_EQ(card->pill().shownText(), QStringLiteral("Revert"));
    screenshot(canvas, QStringLiteral("card-hovered"));

    hover(second);
    waitForHover(*card, 3);
    EXPECT_EQ(accessible(second), "Button 'Recipe <b>x</b> & A&B'") << "shown literally";
    const QPointer<RecipeGridCard> gone = second;
    delete second;  // removed under the pointer
    settle();
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(canvas.cursor().shape(), Qt::ArrowCursor) << "nothing stuck on the page";
}

// After a card's destructor has run, each of its member objects going tells the card so while it
// is still on its canvas; what the card's shadow is made of (a hover's progress) is gone by then,
// and the canvas must not ask for it.
bool destructorRan = false;
bool askedAfterItsDestructor = false;

TEST_F(CardTest, ACardGoingAwayIsNotAskedForItsShadowOnceItsDestructorHasRun) {
    struct Going : Card {
        ~Going() override { destructorRan = true; }
        CardShadow cardShadow() const override {
            askedAfterItsDestructor = askedAfterItsDestructor || destructorRan;
            return Card::cardShadow();
        }
        QObject member{this};
    };
    auto* going = new Going;
    canvas.layout()->addWidget(going);
    showOnPaper(canvas, kCanvas);
    ASSERT_TRUE(QTest::qWaitFor([&] { return going->testAttribute(Qt::WA_WState_Polished); }));
    delete going;
    EXPECT_TRUE(destructorRan);
    EXPECT_FALSE(askedAfterItsDestructor);
}

// The canvas draws a card's shadow from a small card's shadow cut in pieces, its straight edges
// laid in tiles: what shows must be the shadow of the card itself with the card over it (to the
// rounding of its faint layers), for a resting shadow and a hovered one, a long card (its edges
// several tiles and a part of one) and one too small to cut, on screens of every common ratio
// (pieces that meet between two device pixels at 1.25 overlapped there, in lines darker than the
// shadow around them).
TEST_F(CardTest, TheCanvasShowsTheWholeShadowWhereverTheCardLeavesItUncovered) {
    struct Lifted : Card {
        explicit Lifted(CardShadow lifted) : Card(Card::gridRadius), shadow(lifted) {}
        CardShadow cardShadow() const override { return shadow; }
        CardShadow shadow;
    };
    const CardShadow looks[] = {{Card::gridRadius, Card::restingBlur, 1.5},
                                {Card::gridRadius, 7, 3}};
    for (const qreal ratio : test::kRatios) {
        for (const CardShadow& shadow : looks) {
            for (const QRect& geometry :
                 {QRect(30, 25, 200, 261), QRect(31, 25, 201, 260), QRect(30, 25, 30, 30)}) {
                CardCanvas plain;
                auto* surface = new Lifted(shadow);
                surface->setParent(&plain);
                surface->setGeometry(geometry);
                test::moveToRatio(plain, ratio);
                showOnPaper(plain, QSize(kCanvas.width(), 320));
                const QImage drawn = plain.grab().toImage().convertToFormat(QImage::Format_RGB32);
                QImage expected(drawn.size(), QImage::Format_RGB32);
                expected.setDevicePixelRatio(ratio);
                expected.fill(plain.palette().color(QPalette::Window));
                {
                    QPainter painter(&expected);
                    paintSoftShadow(painter, QRectF(geometry), shadow);
                    paintCardSurface(painter, QRectF(geometry), shadow.radius);
                }
                // A hovered shadow's many faint layers round differently over paper than over
                // nothing: one level at most.
                const int tolerance = shadow.blur == Card::restingBlur ? 0 : 1;
                EXPECT_LE(largestDeltaOffTheCardsEdges(drawn, expected, geometry, ratio), tolerance)
                    << "ratio " << ratio << " blur " << shadow.blur << " " << geometry.x() << ","
                    << geometry.width() << "x" << geometry.height();
                // The shadow is there at all: darker than the paper just below the card.
                const QPoint below(qRound(geometry.center().x() * ratio),
                                   qRound((geometry.bottom() + 2) * ratio));
                EXPECT_LT(qGray(drawn.pixel(below)), qGray(Theme::paper().rgb()));
            }
        }
    }
}

// Qt paints nothing of what lies under an opaque widget, and a card's middle is one: the paper
// under a card is filled only around its rounded corners, where it shows. Painted under all of it,
// every pixel of a card was filled twice at each repaint. A card too short for a middle leaves the
// paper under all of it.
TEST_F(CardTest, ThePaperUnderACardIsPaintedOnlyWhereTheCardLetsItShow) {
    struct Paper : QWidget {
        QRegion painted;
        void paintEvent(QPaintEvent* event) override { painted += event->region(); }
    };
    for (const QRect& geometry : {QRect(20, 20, 200, 150), QRect(20, 20, 60, 25)}) {
        Paper paper;
        auto* surface = new Card(Card::listRadius, &paper);
        surface->setGeometry(geometry);
        showOnPaper(paper, kCanvas);
        paper.painted = {};
        paper.repaint();
        const bool hasMiddle = geometry.height() > 2 * (Card::listRadius + 1);
        EXPECT_EQ(paper.painted.contains(geometry.center()), !hasMiddle) << geometry.height();
        EXPECT_TRUE(paper.painted.contains(geometry.topLeft()));
        EXPECT_TRUE(paper.painted.contains(geometry.bottomRight()));
        EXPECT_TRUE(paper.painted.contains(geometry.bottomRight() + QPoint(2, 2)));
    }
}

// A card's surface has an opaque middle of its own, and a recipe card paints its texts over it, so
// that neither the paper nor the card's surface is painted under them. Whatever the ratio and
// wherever the card lies within a pixel, a card looks as it does when it paints all of its surface
// itself (its middle emptied): a plain card, and a recipe card at rest and hovered, its outline
// whole along every edge.
TEST_F(CardTest, ACardLooksTheSameOverItsOpaqueMiddleAsWithout) {
    const auto middleOf = [](QWidget& shown) {
        for (QObject* child : shown.children()) {
            if (auto* middle = dynamic_cast<SurfaceMiddle*>(child)) {
                return middle;
            }
        }
        return static_cast<SurfaceMiddle*>(nullptr);
    };
    const auto grabbed = [](QWidget& shown) {
        return shown.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    for (const qreal ratio : test::kRatios) {
        for (const QRect& geometry : {QRect(20, 20, 250, 150), QRect(21, 23, 251, 149)}) {
            CardCanvas plain;
            auto* shown = new RecipeGridCard(*model, ab, 0, [] {});
            shown->setParent(&plain);
            shown->setGeometry(geometry);
            auto* list = new Card(Card::listRadius, &plain);
            list->setGeometry(geometry.translated(geometry.width() + 10, 0));
            test::moveToRatio(plain, ratio);
            showOnPaper(plain, QSize(2 * kCanvas.width(), 200));
            SurfaceMiddle* middle = middleOf(*shown);
            SurfaceMiddle* listMiddle = middleOf(*list);
            ASSERT_NE(middle, nullptr);
            ASSERT_NE(listMiddle, nullptr);
            for (const bool hovered : {false, true}) {
                if (hovered) {
                    hover(shown);
                    waitForHover(*shown, 7);
                    settle();
                }
                const QImage layered = grabbed(plain);
                const QRect place = middle->geometry();
                const QRect listPlace = listMiddle->geometry();
                middle->setGeometry(QRect());
                listMiddle->setGeometry(QRect());
                const QImage whole = grabbed(plain);
                middle->setGeometry(place);
                listMiddle->setGeometry(listPlace);
                EXPECT_EQ(test::ReferenceImage::largestChannelDelta(layered, whole), 0)
                    << "ratio " << ratio << " at " << geometry.x() << "," << geometry.y()
                    << (hovered ? " hovered" : " at rest");
            }
        }
    }
}

TEST_F(CardTest, ThePaperUnderARecipeCardIsPaintedOnlyAroundItsMiddle) {
    struct Paper : QWidget {
        QRegion painted;
        void paintEvent(QPaintEvent* event) override { painted += event->region(); }
    };
    Paper paper;
    auto* shown = new RecipeGridCard(*model, ab, 0, [] {});
    shown->setParent(&paper);
    const QRect geometry(20, 20, 250, 150);
    shown->setGeometry(geometry);
    showOnPaper(paper, kCanvas);
    paper.painted = {};
    paper.repaint();
    EXPECT_FALSE(paper.painted.contains(geometry.center()));
    EXPECT_TRUE(paper.painted.contains(geometry.topLeft()));
    EXPECT_TRUE(paper.painted.contains(geometry.bottomRight()));
}

}  // namespace
}  // namespace velmora::testing
