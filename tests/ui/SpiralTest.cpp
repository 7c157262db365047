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

using test::inkOf;

constexpr double kTolerance = 1e-9;

QPointF pointAt(const QPainterPath& path, int i) {
    return {path.elementAt(i).x, path.elementAt(i).y};
}

double distance(QPointF a, QPointF b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
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
    // An empty rectangle collapses to its centre.
    for (const QRectF& rect : {QRectF(10, 20, 0, 40), QRectF(10, 20, 40, 0)}) {
        for (const QPointF& point : SpiralMark{0, 3.2}.points(rect)) {
            EXPECT_LT(distance(point, rect.center()), kTolerance);
        }
    }
}

TEST(Logomark, DrawnInInkWithinItsSquareAtEverySize) {
    for (qreal size : {17.0, 26.0, 40.0, 64.0}) {
        const QImage image = Logomark::render(size, 0, 1.0);
        const test::Ink ink = inkOf(image, Theme::ink());
        EXPECT_GT(ink.pixels, size * 2) << size;
        EXPECT_EQ(ink.maxAlpha, 255) << size;
        EXPECT_EQ(ink.solidOfOtherColour, 0) << size;
        EXPECT_TRUE(image.rect().contains(ink.bounds)) << size;
        // Nearly the whole square: the outer turn reaches 0.46 of the side from the centre.
        EXPECT_GT(ink.bounds.width(), size * 0.8) << size;
    }
    Logomark mark(40, 0);
    EXPECT_GT(inkOf(mark.grab().toImage()).pixels, 80);
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
    EXPECT_TRUE(icon.isMask());
    for (int side : {16, 18, 22, 24, 32, 48, 64, 128}) {
        const QPixmap pixmap = icon.pixmap(QSize(side, side));
        ASSERT_EQ(pixmap.size(), QSize(side, side)) << side;
        const test::Ink ink = inkOf(pixmap.toImage());
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
    constexpr int kCell = 76;  // the largest picture, 64, and a gap of 12
    const int sides[] = {16, 18, 22, 32, 64};
    QImage strip(std::size(sides) * kCell + 12, 2 * kCell + 12,
                 QImage::Format_ARGB32_Premultiplied);
    strip.fill(QColor(236, 236, 236));
    QPainter painter(&strip);
    painter.fillRect(QRect(0, kCell + 6, strip.width(), kCell + 6), QColor(40, 40, 40));
    for (std::size_t i = 0; i < std::size(sides); ++i) {
        const QSize size(sides[i], sides[i]);
        painter.drawPixmap(12 + i * kCell, 12, MenuBarIcon::shared().pixmap(size));
        painter.drawPixmap(12 + i * kCell, kCell + 18,
                           MenuBarIcon::shared().pixmap(size, QIcon::Selected));
    }
    painter.end();
    EXPECT_TRUE(strip.save(test::artefactPath(QStringLiteral("menubar-icon.png"))));

    QImage logos(3 * 108 + 12, 120, QImage::Format_ARGB32_Premultiplied);
    logos.fill(Theme::paper());
    painter.begin(&logos);
    Logomark::paint(painter, QPointF(60, 60), 17 * 2, 0);
    Logomark::paint(painter, QPointF(168, 60), 96, 0);
    Logomark::paint(painter, QPointF(276, 60), 96, 1);
    painter.end();
    EXPECT_TRUE(logos.save(test::artefactPath(QStringLiteral("logomark.png"))));
}

}  // namespace
}  // namespace velmora
