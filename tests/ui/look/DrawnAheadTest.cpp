// Pictures started when a widget is shown are drawn off the main thread, once, and taken by its
// first paint: what the paint shows is what it would have drawn itself.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QVBoxLayout>
#include <QWidget>
#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "tests/ui/Artefacts.hpp"
#include "tests/ui/Ratio.hpp"
#include "ui/look/DrawnAhead.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Card.hpp"
#include "ui/widgets/LabelButton.hpp"
#include "ui/widgets/Logomark.hpp"

namespace velmora {
namespace {

QImage filled(const QColor& colour) {
    QImage image(4, 4, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// The program keeps every symbol and card shadow it drew (by name, size and colour; by radius),
// so a case that must see a picture drawn ahead asks for a look that nothing before it in this
// process drew: not an earlier case, nor this case in an earlier pass of a repeated run.
int nextUnseenLook() {
    static int looks = 0;
    return looks++;
}

// A colour no earlier call gave, in a band of dark reds no view paints with.
QColor unseenColour() {
    constexpr QRgb kBand = 0xff400000;
    constexpr int kBandSize = 0x10000;
    return QColor::fromRgba(kBand + static_cast<QRgb>(nextUnseenLook() % kBandSize));
}

// A card radius no earlier call gave, none a view uses; after a thousand calls the first ones come
// again, long since gone from the few shadows kept.
qreal unseenRadius() {
    constexpr qreal kFirst = 17.25;
    constexpr qreal kStep = 0.0002;
    constexpr int kCount = 1000;
    return kFirst + kStep * (nextUnseenLook() % kCount + 1);
}

std::vector<int> alphaOf(const QImage& image) {
    std::vector<int> alpha;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            alpha.push_back(qAlpha(image.pixel(x, y)));
        }
    }
    return alpha;
}

TEST(DrawnAhead, ADrawingRunsOnceOffTheMainThreadAndIsTakenOnce) {
    const qsizetype before = DrawnAhead::waiting();
    std::atomic<int> draws = 0;
    std::thread::id drawnOn;
    const auto draw = [&] {
        ++draws;
        drawnOn = std::this_thread::get_id();
        return filled(Qt::red);
    };
    DrawnAhead::start(QStringLiteral("test:once"), draw);
    DrawnAhead::start(QStringLiteral("test:once"), draw);
    EXPECT_EQ(DrawnAhead::waiting(), before + 1);

    const std::optional<QImage> taken = DrawnAhead::take(QStringLiteral("test:once"));
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(draws, 1);
    EXPECT_NE(drawnOn, std::this_thread::get_id());
    EXPECT_FALSE(DrawnAhead::take(QStringLiteral("test:once")).has_value());
    EXPECT_FALSE(DrawnAhead::take(QStringLiteral("test:never started")).has_value());
    EXPECT_EQ(DrawnAhead::waiting(), before);
}

TEST(DrawnAhead, PastTheBoundFinishedUntakenDrawingsMakeRoomAndAreKeptAndAFailedOneIsNoPicture) {
    // Drawings that cases before this one left untaken are done first, so that they give way to
    // this case's own: the bound is then reached by these alone, all still drawing.
    DrawnAhead::finishStarted();
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    std::vector<QString> keys;
    for (qsizetype i = 0; i <= DrawnAhead::maxWaiting; ++i) {
        keys.push_back(QStringLiteral("test:bound:%1").arg(i));
        DrawnAhead::start(keys.back(), [released] {
            released.wait();
            return filled(Qt::blue);
        });
    }
    EXPECT_EQ(DrawnAhead::waiting(), DrawnAhead::maxWaiting) << "all still drawing: none past";
    // Released before the one past the bound is asked for: had it started, it is taken at once
    // (and fails the check) rather than waited for forever.
    release.set_value();
    EXPECT_FALSE(DrawnAhead::take(keys.back()).has_value()) << "the one past the bound";
    keys.pop_back();

    // Done and never taken (their widgets went before a paint: rows below a list's first
    // screenful), they give way to a new one, and are set aside rather than drawn again when
    // their widgets come back.
    DrawnAhead::finishStarted();
    DrawnAhead::start(QStringLiteral("test:after the bound"), [] { return filled(Qt::green); });
    EXPECT_EQ(DrawnAhead::waiting(), 1) << "every finished one gave way";
    std::atomic<int> drawnAgain = 0;
    for (const QString& key : keys) {
        DrawnAhead::start(key, [&drawnAgain] {
            ++drawnAgain;
            return filled(Qt::yellow);
        });
    }
    EXPECT_EQ(DrawnAhead::waiting(), 1);
    for (const QString& key : keys) {
        const std::optional<QImage> kept = DrawnAhead::take(key);
        ASSERT_TRUE(kept.has_value()) << "lost: " << key.toStdString();
        EXPECT_EQ(kept->pixelColor(0, 0), QColor(Qt::blue)) << key.toStdString();
        EXPECT_FALSE(DrawnAhead::take(key).has_value()) << "taken twice: " << key.toStdString();
    }
    EXPECT_EQ(drawnAgain, 0);
    EXPECT_TRUE(DrawnAhead::take(QStringLiteral("test:after the bound")).has_value());

    DrawnAhead::start(QStringLiteral("test:fails"), []() -> QImage { throw std::bad_alloc(); });
    EXPECT_FALSE(DrawnAhead::take(QStringLiteral("test:fails")).has_value());
    EXPECT_EQ(DrawnAhead::waiting(), 0);
}

TEST(DrawnAhead, ASymbolDrawnAheadHasTheShapeOfOneDrawnOnTheMainThread) {
    constexpr int kPixels = 29;
    const QColor onMain(10, 20, 30);
    const QColor ahead = unseenColour();
    const struct {
        const char* name;
        FontWeight weight;
    } looks[] = {{"gearshape", FontWeight::regular},
                 {"chevron.right", FontWeight::semibold},
                 {"bolt.fill", FontWeight::bold},
                 {"no.such.symbol", FontWeight::regular}};
    for (const auto& look : looks) {
        const QImage drawn = Symbols::image(look.name, kPixels, onMain, look.weight);
        const qsizetype before = DrawnAhead::waiting();
        Symbols::prepare(look.name, kPixels, ahead, look.weight);
        EXPECT_EQ(DrawnAhead::waiting(), before + 1) << look.name;
        const QImage taken = Symbols::image(look.name, kPixels, ahead, look.weight);
        EXPECT_EQ(DrawnAhead::waiting(), before) << look.name;
        EXPECT_EQ(alphaOf(taken), alphaOf(drawn)) << look.name;
        EXPECT_EQ(test::inkOf(taken, ahead).solidOfOtherColour, 0) << look.name;
        // Drawn once: asked again, nothing more is started.
        Symbols::prepare(look.name, kPixels, ahead, look.weight);
        EXPECT_EQ(DrawnAhead::waiting(), before) << look.name;
    }
}

// Cards, the logo and a symbol button in a window, as a page shows them, on screens of every
// common ratio: the first paint takes the very pictures the showing started, and once painted
// they are kept, so that showing the page again starts nothing. At 1.25 the sidebar's logo, 19
// wide, is a picture of 23.75 pixels: it was never taken for the one already drawn, and its
// spiral was stroked anew at every paint.
TEST(DrawnAhead, AShownPageStartsItsPicturesAndItsFirstPaintTakesThemAll) {
    constexpr qreal kSidebarLogo = 19;
    constexpr int kCards = 8;
    constexpr int kCardHeight = 41;
    for (const qreal ratio : test::kRatios) {
        const qsizetype before = DrawnAhead::waiting();
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* canvas = new CardCanvas;
        auto* cardLayout = new QVBoxLayout(canvas);
        cardLayout->setContentsMargins(20, 20, 20, 20);
        // A radius and a colour no earlier case or pass shows, so its shadows and symbol come
        // from no earlier paint; a list of cards whose corners fall at every place within a pixel
        // a fractional ratio gives.
        const qreal radius = unseenRadius();
        for (int card = 0; card < kCards; ++card) {
            auto* surface = new Card(radius);
            surface->setFixedHeight(kCardHeight + card);
            cardLayout->addWidget(surface);
        }
        layout->addWidget(canvas);
        layout->addWidget(new Logomark(kSidebarLogo, 0.37));
        layout->addWidget(new LabelButton("externaldrive.badge.plus", 13.75, DesignFont::inter(13),
                                          6, unseenColour()));
        window.resize(300, 600);
        test::moveToRatio(window, ratio);
        window.show();
        // At a fractional ratio the card's corners may fall at several places within a pixel,
        // a picture each.
        EXPECT_GE(DrawnAhead::waiting(), before + 3) << "ratio " << ratio;

        const QImage painted = window.grab().toImage();
        EXPECT_EQ(DrawnAhead::waiting(), before)
            << "a picture was drawn in another size or look, ratio " << ratio;
        EXPECT_FALSE(painted.isNull());
        window.hide();
        window.show();
        EXPECT_EQ(DrawnAhead::waiting(), before) << "drawn again, ratio " << ratio;
        window.grab();
    }
}

}  // namespace
}  // namespace velmora
