// Geometry of the logo's spiral and of the status image, and how the status image looks.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "tests/ui/Artefacts.hpp"
#include "ui/look/MenuBarIcon.hpp"
#include "ui/look/SpiralMark.hpp"

namespace velmora {
namespace {

using test::inkOf;

constexpr double kTolerance = 1e-9;

QPointF pointAt(const QPainterPath& path, int i) {
    return {path.elementAt(i).x, path.elementAt(i).y};
}

TEST(SpiralMark, RunsFromTheCentreUpwardAndClockwiseToItsOuterEnd) {
    // Unwound in a wide rectangle: radius 0.46 of the shorter side; wound once: a tenth smaller
    // and half a turn further.
    const std::tuple<double, QRectF, double, double> cases[] = {
        {0, QRectF(0, 0, 100, 50), 23.0, 6.4 * std::numbers::pi},
        {1, QRectF(0, 0, 100, 100), 41.4, 7.4 * std::numbers::pi}};
    for (const auto& [wind, rect, radius, turned] : cases) {
        const QPainterPath path = SpiralMark{wind, 3.2}.path(rect);
        ASSERT_EQ(path.elementCount(), SpiralMark::segments + 1);
        EXPECT_EQ(pointAt(path, 0), rect.center()) << wind;
        const QPointF last = pointAt(path, SpiralMark::segments);
        const double angle = turned - std::numbers::pi / 2;
        EXPECT_NEAR(last.x(), rect.center().x() + radius * std::cos(angle), kTolerance) << wind;
        EXPECT_NEAR(last.y(), rect.center().y() + radius * std::sin(angle), kTolerance) << wind;
        EXPECT_TRUE(rect.contains(path.boundingRect())) << wind;
        // Qt's y axis points down: "up" is a smaller y.
        EXPECT_LT(pointAt(path, 1).y(), rect.center().y()) << wind;
    }
}

TEST(MenuBarIcon, SpiralStartsDownThenWindsAnticlockwise) {
    // Drawn with y upward, starting at minus a quarter turn: straight down on screen, then
    // anticlockwise on screen, so the next points move right.
    const QPainterPath square = MenuBarIcon::path(QRectF(0, 0, 18, 18));
    ASSERT_EQ(square.elementCount(), MenuBarIcon::segments + 1);
    EXPECT_EQ(pointAt(square, 0), QPointF(9, 9));
    const QPointF end = pointAt(square, MenuBarIcon::segments) - QPointF(9, 9);
    EXPECT_NEAR(std::hypot(end.x(), end.y()), 9 * 0.86, kTolerance);
    EXPECT_GT(pointAt(square, 1).y(), 9);
    EXPECT_GT(pointAt(square, 5).x(), 9);
}

TEST(MenuBarIcon, OneMaskIconSharpAtEveryTraySizeBlackOrWhiteWhenSelected) {
    const QIcon& icon = MenuBarIcon::shared();
    EXPECT_TRUE(icon.isMask());
    for (int side : {16, 18, 22, 24, 32, 48, 64, 128}) {
        const QImage pixmap = icon.pixmap(QSize(side, side), 1.0).toImage();
        EXPECT_GT(inkOf(pixmap).pixels, side * 2) << side;
        // Drawn at the asked size rather than scaled from another size's pixmap.
        QImage direct(side, side, QImage::Format_ARGB32_Premultiplied);
        direct.fill(Qt::transparent);
        QPainter painter(&direct);
        MenuBarIcon::paint(painter, QRectF(0, 0, side, side), Qt::black);
        painter.end();
        EXPECT_EQ(pixmap.convertToFormat(QImage::Format_ARGB32_Premultiplied), direct) << side;
    }
    EXPECT_EQ(icon.pixmap(QSize(18, 18), 2.0).size(), QSize(36, 36));
    const QImage normal = icon.pixmap(QSize(22, 22), 1.0).toImage();
    const QImage selected = icon.pixmap(QSize(22, 22), 1.0, QIcon::Selected).toImage();
    EXPECT_EQ(qRed(selected.pixel(11, 11)), qAlpha(selected.pixel(11, 11)));
    EXPECT_EQ(qRed(normal.pixel(11, 11)), 0);
}

// The status image at tray sizes on a light and a dark bar, for a person to check.
TEST(Artefacts, SaveStatusImage) {
    QImage strip(250, 160, QImage::Format_ARGB32_Premultiplied);
    strip.fill(QColor(236, 236, 236));
    QPainter painter(&strip);
    painter.fillRect(QRect(0, 80, strip.width(), 80), QColor(40, 40, 40));
    int x = 12;
    for (int side : {16, 18, 22, 32, 64}) {
        painter.drawPixmap(x, 8, MenuBarIcon::shared().pixmap(QSize(side, side), 1.0));
        painter.drawPixmap(x, 88,
                           MenuBarIcon::shared().pixmap(QSize(side, side), 1.0, QIcon::Selected));
        x += side + 12;
    }
    painter.end();
    EXPECT_TRUE(strip.save(test::artefactPath(QStringLiteral("menubar-icon.png"))));
}

}  // namespace
}  // namespace velmora
