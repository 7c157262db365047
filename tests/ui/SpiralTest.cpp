// Geometry of the logo's spiral and of the status image, and how both look when drawn.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "tests/ui/Artefacts.hpp"
#include "ui/Logomark.hpp"
#include "ui/MenuBarIcon.hpp"
#include "ui/SpiralMark.hpp"
#include "ui/Theme.hpp"

namespace velmora {
namespace {

constexpr double kTolerance = 1e-9;

QPointF pointAt(const QPainterPath& path, int i) {
    return {path.elementAt(i).x, path.elementAt(i).y};
}

double distance(QPointF a, QPointF b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// Coverage and bounding box of what was drawn.
struct Ink {
    int pixels = 0;
    QRect bounds;
};

Ink inkOf(const QImage& image) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                ++ink.pixels;
                ink.bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

TEST(SpiralMark, RunsFromTheCentreUpwardAndClockwiseToItsOuterEnd) {
    // Unwound in a wide rectangle: radius 0.46 of the shorter side; wound once: a tenth smaller
    // and half a turn further.
    const struct {
        double wind;
        QRectF rect;
        double radius;
        double angle;
    } cases[] = {{0, QRectF(0, 0, 100, 50), 23.0, 6.4 * std::numbers::pi},
                 {1, QRectF(0, 0, 100, 100), 41.4, 7.4 * std::numbers::pi}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wind);
        const QPainterPath path = SpiralMark{c.wind, 3.2}.path(c.rect);
        ASSERT_EQ(path.elementCount(), SpiralMark::segments + 1);
        EXPECT_TRUE(path.elementAt(0).isMoveTo());
        EXPECT_LT(distance(pointAt(path, 0), c.rect.center()), kTolerance);
        const QPointF last = pointAt(path, SpiralMark::segments);
        const double angle = c.angle - std::numbers::pi / 2;
        EXPECT_NEAR(last.x(), c.rect.center().x() + c.radius * std::cos(angle), kTolerance);
        EXPECT_NEAR(last.y(), c.rect.center().y() + c.radius * std::sin(angle), kTolerance);
        for (int i = 0; i < path.elementCount(); ++i) {
            EXPECT_TRUE(c.rect.contains(pointAt(path, i))) << i;
        }
    }
    // Qt's y axis points down: "up" is a smaller y, and clockwise from up moves right.
    const QPainterPath path = SpiralMark{0, 3.2}.path(QRectF(0, 0, 100, 100));
    EXPECT_LT(pointAt(path, 1).y(), 50);
    EXPECT_NEAR(pointAt(path, 1).x(), 50, 0.1);
    EXPECT_GT(pointAt(path, 5).x(), 50);
}

TEST(SpiralMark, EmptyRectangleCollapsesToTheCentre) {
    for (const QRectF& rect : {QRectF(10, 20, 0, 40), QRectF(10, 20, 40, 0)}) {
        const std::vector<QPointF> points = SpiralMark{0, 3.2}.points(rect);
        ASSERT_EQ(points.size(), static_cast<std::size_t>(SpiralMark::segments + 1));
        for (const QPointF& point : points) {
            EXPECT_LT(distance(point, rect.center()), kTolerance);
        }
    }
}

TEST(Logomark, DrawnInInkWithinItsSquareAtEverySize) {
    for (qreal size : {17.0, 26.0, 40.0, 64.0}) {
        const QImage image = Logomark::render(size, 0, 1.0);
        const Ink ink = inkOf(image);
        EXPECT_GT(ink.pixels, size * 2) << size;
        EXPECT_TRUE(image.rect().contains(ink.bounds)) << size;
        // Nearly the whole square: the outer turn reaches 0.46 of the side from the centre.
        EXPECT_GT(ink.bounds.width(), size * 0.8) << size;
    }
    const QImage image = Logomark::render(64, 0, 1.0);
    int solid = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = QColor::fromRgba(image.pixel(x, y));
            if (pixel.alpha() == 255) {
                ++solid;
                EXPECT_EQ(pixel.rgb(), Theme::ink().rgb());
            }
        }
    }
    EXPECT_GT(solid, 0);

    Logomark mark(40, 0);
    EXPECT_EQ(mark.sizeHint(), QSize(40, 40));
    EXPECT_GT(inkOf(mark.grab().toImage()).pixels, 80);
    mark.setProperty("wind", 1.0);  // what an animation does
    EXPECT_DOUBLE_EQ(mark.wind(), 1.0);
}

TEST(MenuBarIcon, SpiralStartsDownThenWindsAnticlockwiseAndStaysRound) {
    // Drawn with y upward, starting at minus a quarter turn: straight down on screen, then
    // anticlockwise on screen, so the next points move right.
    const QPainterPath square = MenuBarIcon::path(QRectF(0, 0, 18, 18));
    ASSERT_EQ(square.elementCount(), MenuBarIcon::segments + 1);
    EXPECT_LT(distance(pointAt(square, 0), QPointF(9, 9)), kTolerance);
    EXPECT_NEAR(distance(pointAt(square, MenuBarIcon::segments), QPointF(9, 9)), 9 * 0.86,
                kTolerance);
    EXPECT_GT(pointAt(square, 1).y(), 9);
    EXPECT_NEAR(pointAt(square, 1).x(), 9, 0.05);
    EXPECT_GT(pointAt(square, 5).x(), 9);

    const QPainterPath wide = MenuBarIcon::path(QRectF(0, 0, 40, 18));
    EXPECT_LT(distance(pointAt(wide, 0), QPointF(20, 9)), kTolerance);
    EXPECT_NEAR(distance(pointAt(wide, MenuBarIcon::segments), QPointF(20, 9)), 0.43 * 18,
                kTolerance);
    EXPECT_LT(wide.boundingRect().width(), 18);
}

TEST(MenuBarIcon, OneMaskIconSharpAndNonEmptyAtEveryTraySize) {
    const QIcon& icon = MenuBarIcon::shared();
    EXPECT_EQ(&icon, &MenuBarIcon::shared());
    EXPECT_TRUE(icon.isMask());
    for (int side : {16, 18, 22, 24, 32, 48, 64, 128}) {
        const QPixmap pixmap = icon.pixmap(QSize(side, side));
        ASSERT_EQ(pixmap.size(), QSize(side, side)) << side;
        const Ink ink = inkOf(pixmap.toImage());
        EXPECT_GT(ink.pixels, side * 2) << side;
        // Drawn at the asked size rather than scaled from another size's pixmap.
        QImage direct(side, side, QImage::Format_ARGB32_Premultiplied);
        direct.fill(Qt::transparent);
        QPainter painter(&direct);
        MenuBarIcon::paint(painter, QRectF(0, 0, side, side), Qt::black);
        painter.end();
        EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), direct)
            << side;
        const QRectF spiral = MenuBarIcon::path(QRectF(0, 0, side, side)).boundingRect();
        EXPECT_NEAR(ink.bounds.width(), spiral.width() + MenuBarIcon::lineWidth(side), 2.0) << side;
    }
    EXPECT_EQ(icon.pixmap(QSize(18, 18), 2.0).size(), QSize(36, 36));

    // Modes change only the colour: black normally, white when selected.
    const QImage normal = icon.pixmap(QSize(22, 22)).toImage();
    const QImage selected = icon.pixmap(QSize(22, 22), QIcon::Selected).toImage();
    EXPECT_EQ(inkOf(normal).pixels, inkOf(selected).pixels);
    EXPECT_EQ(qRed(selected.pixel(11, 11)), qAlpha(selected.pixel(11, 11)));
    EXPECT_EQ(qRed(normal.pixel(11, 11)), 0);
}

// Pictures for a person to check: the status image at tray sizes on a light and a dark bar,
// and the logo at the sizes the popover, sidebar and onboarding use.
TEST(Artefacts, SaveStatusImageAndLogomark) {
    const int sides[] = {16, 18, 22, 32, 64};
    constexpr int kGap = 12;
    int width = kGap;
    for (int side : sides) {
        width += side + kGap;
    }
    QImage strip(width, 2 * (64 + 2 * kGap), QImage::Format_ARGB32_Premultiplied);
    strip.fill(QColor(236, 236, 236));
    {
        QPainter painter(&strip);
        painter.fillRect(QRect(0, 64 + 2 * kGap, width, 64 + 2 * kGap), QColor(40, 40, 40));
        int x = kGap;
        for (int side : sides) {
            painter.drawPixmap(x, kGap, MenuBarIcon::shared().pixmap(QSize(side, side)));
            painter.drawPixmap(x, 64 + 3 * kGap,
                               MenuBarIcon::shared().pixmap(QSize(side, side), QIcon::Selected));
            x += side + kGap;
        }
    }
    EXPECT_TRUE(strip.save(test::artefactPath(QStringLiteral("menubar-icon.png"))));
    EXPECT_TRUE(MenuBarIcon::shared()
                    .pixmap(QSize(18, 18), 4.0)
                    .save(test::artefactPath(QStringLiteral("menubar-icon-18pt@4x.png"))));

    QImage logos(3 * 96 + 4 * kGap, 96 + 2 * kGap, QImage::Format_ARGB32_Premultiplied);
    logos.fill(Theme::paper());
    {
        QPainter painter(&logos);
        Logomark::paint(painter, QPointF(kGap + 48, kGap + 48), 17 * 2, 0);
        Logomark::paint(painter, QPointF(2 * kGap + 96 + 48, kGap + 48), 96, 0);
        Logomark::paint(painter, QPointF(3 * kGap + 192 + 48, kGap + 48), 96, 1);
    }
    EXPECT_TRUE(logos.save(test::artefactPath(QStringLiteral("logomark.png"))));
}

}  // namespace
}  // namespace velmora
