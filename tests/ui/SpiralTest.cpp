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
    const QPainterPath::Element element = path.elementAt(i);
    return {element.x, element.y};
}

double distance(QPointF a, QPointF b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// Alpha-weighted bounding box and coverage of what was drawn.
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

TEST(SpiralMark, UnwoundSpiralInAWideRectangle) {
    const QRectF rect(0, 0, 100, 50);
    const QPainterPath path = SpiralMark{0, 3.2}.path(rect);
    ASSERT_EQ(path.elementCount(), SpiralMark::segments + 1);
    EXPECT_TRUE(path.elementAt(0).isMoveTo());
    EXPECT_TRUE(path.elementAt(1).isLineTo());
    EXPECT_LT(distance(pointAt(path, 0), rect.center()), kTolerance);

    const QPointF last = pointAt(path, SpiralMark::segments);
    EXPECT_NEAR(distance(last, rect.center()), 23.0, 1e-9);
    const double angle = 6.4 * std::numbers::pi - std::numbers::pi / 2;
    EXPECT_NEAR(last.x(), 50 + 23 * std::cos(angle), 1e-9);
    EXPECT_NEAR(last.y(), 25 + 23 * std::sin(angle), 1e-9);
    for (int i = 0; i < path.elementCount(); ++i) {
        EXPECT_TRUE(rect.contains(pointAt(path, i))) << i;
    }
}

TEST(SpiralMark, StartsUpwardAndWindsClockwiseOnScreen) {
    const QPainterPath path = SpiralMark{0, 3.2}.path(QRectF(0, 0, 100, 100));
    const QPointF first = pointAt(path, 1);
    EXPECT_LT(first.y(), 50);  // above the centre: y grows downward
    EXPECT_NEAR(first.x(), 50, 0.1);
    // Clockwise on screen with y down: from "up" the next points move right.
    EXPECT_GT(pointAt(path, 5).x(), 50);
}

TEST(SpiralMark, WindShrinksAndSweepsFurther) {
    const QRectF rect(0, 0, 100, 100);
    const QPainterPath wound = SpiralMark{1, 3.2}.path(rect);
    const QPointF last = pointAt(wound, SpiralMark::segments);
    EXPECT_NEAR(distance(last, rect.center()), 0.9 * 46, 1e-9);
    const double angle = std::numbers::pi + 6.4 * std::numbers::pi - std::numbers::pi / 2;
    EXPECT_NEAR(last.x(), 50 + 41.4 * std::cos(angle), 1e-9);
    EXPECT_NEAR(last.y(), 50 + 41.4 * std::sin(angle), 1e-9);
}

TEST(SpiralMark, EmptyRectangleCollapsesToTheCentre) {
    for (const QRectF& rect : {QRectF(10, 20, 0, 40), QRectF(10, 20, 40, 0)}) {
        const std::vector<QPointF> points = SpiralMark{0, 3.2}.points(rect);
        ASSERT_EQ(points.size(), static_cast<std::size_t>(SpiralMark::segments + 1));
        for (const QPointF& point : points) {
            EXPECT_LT(distance(point, rect.center()), kTolerance);
        }
        EXPECT_TRUE((SpiralMark{0, 3.2}.path(rect).boundingRect().isEmpty()));
    }
}

TEST(Logomark, LineWidthAndSize) {
    EXPECT_DOUBLE_EQ(Logomark::lineWidth(17), 1.5);
    EXPECT_DOUBLE_EQ(Logomark::lineWidth(19.5), 1.5);
    EXPECT_DOUBLE_EQ(Logomark::lineWidth(26), 2.0);
    EXPECT_DOUBLE_EQ(Logomark::lineWidth(39), 3.0);
    Logomark mark(26, 0);
    EXPECT_EQ(mark.size(), QSize(26, 26));
    EXPECT_EQ(mark.sizeHint(), QSize(26, 26));
    mark.setWind(1);
    EXPECT_DOUBLE_EQ(mark.property("wind").toDouble(), 1.0);
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
    bool sawInk = false;
    for (int y = 0; y < image.height() && !sawInk; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = QColor::fromRgba(image.pixel(x, y));
            if (pixel.alpha() == 255) {
                EXPECT_EQ(pixel.rgb(), Theme::ink().rgb());
                sawInk = true;
                break;
            }
        }
    }
    EXPECT_TRUE(sawInk);
}

TEST(Logomark, WidgetPaintsTheMark) {
    Logomark mark(40, 0);
    const QImage grabbed = mark.grab().toImage();
    EXPECT_GT(inkOf(grabbed).pixels, 80);
}

TEST(MenuBarIcon, SpiralGeometry) {
    const QRectF rect(0, 0, 18, 18);
    const QPainterPath path = MenuBarIcon::path(rect);
    ASSERT_EQ(path.elementCount(), MenuBarIcon::segments + 1);
    EXPECT_LT(distance(pointAt(path, 0), rect.center()), kTolerance);
    EXPECT_NEAR(distance(pointAt(path, MenuBarIcon::segments), rect.center()), 9 * 0.86, 1e-9);
    // Specified with y upward and starting at minus a quarter turn: straight down on screen,
    // then anticlockwise on screen, so the next points move right.
    EXPECT_GT(pointAt(path, 1).y(), 9);
    EXPECT_NEAR(pointAt(path, 1).x(), 9, 0.05);
    EXPECT_GT(pointAt(path, 5).x(), 9);
}

TEST(MenuBarIcon, NonSquareRectangleKeepsTheSpiralRound) {
    const QRectF rect(0, 0, 40, 18);
    const QPainterPath path = MenuBarIcon::path(rect);
    EXPECT_LT(distance(pointAt(path, 0), QPointF(20, 9)), kTolerance);
    EXPECT_NEAR(distance(pointAt(path, MenuBarIcon::segments), QPointF(20, 9)), 0.43 * 18, 1e-9);
    EXPECT_TRUE(path.boundingRect().width() < 18);
}

TEST(MenuBarIcon, OneSharedMaskIcon) {
    const QIcon& icon = MenuBarIcon::shared();
    EXPECT_EQ(&icon, &MenuBarIcon::shared());
    EXPECT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.isMask());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(18, 18)));
}

TEST(MenuBarIcon, SharpAndNonEmptyAtEveryTraySize) {
    for (int side : {16, 18, 22, 24, 32, 48, 64, 128}) {
        const QPixmap pixmap = MenuBarIcon::shared().pixmap(QSize(side, side));
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
    const QPixmap retina = MenuBarIcon::shared().pixmap(QSize(18, 18), 2.0);
    EXPECT_EQ(retina.size(), QSize(36, 36));
    EXPECT_DOUBLE_EQ(MenuBarIcon::lineWidth(18), 1.4);
    EXPECT_DOUBLE_EQ(MenuBarIcon::lineWidth(36), 2.8);
}

TEST(MenuBarIcon, ModesChangeOnlyTheColour) {
    const QImage normal = MenuBarIcon::shared().pixmap(QSize(22, 22)).toImage();
    const QImage selected = MenuBarIcon::shared().pixmap(QSize(22, 22), QIcon::Selected).toImage();
    EXPECT_EQ(inkOf(normal).pixels, inkOf(selected).pixels);
    EXPECT_EQ(qRed(selected.pixel(11, 11)), qAlpha(selected.pixel(11, 11)));  // white
    EXPECT_EQ(qRed(normal.pixel(11, 11)), 0);                                 // black
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
