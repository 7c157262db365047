// A rounded rectangle drawn from a picture of it kept must show exactly what Qt draws for it: on
// whole pixels and off them, for cards, capsules of odd and even height, shapes narrower than
// their radius, outlines of several widths, caps and joins, ellipses, translucent colours over a
// varied background.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <sstream>

#include "ui/look/RoundedShapes.hpp"

namespace velmora {
namespace {

constexpr QSize kCanvas{360, 240};

// A background every channel of which changes from pixel to pixel, so that a translucent fill
// blended differently shows.
QImage background() {
    QImage image(kCanvas, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x * y) % 256));
        }
    }
    return image;
}

QImage painted(const std::function<void(QPainter&)>& paint) {
    QImage image = background();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return image;
}

int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

struct Case {
    QRectF rect;
    qreal radius;
    QColor colour;
    QPointF offset;
};

TEST(RoundedShapes, AFillShowsWhatQtDrawsOnWholePixelsAndOffThem) {
    const QColor opaque(250, 250, 247);
    const QColor translucent(20, 30, 200, 90);
    const Case cases[] = {
        {{10, 10, 300, 180}, 12, opaque, {}},            // a card
        {{10, 10, 300, 180}, 12, translucent, {7, 9}},   // the same, the painter moved
        {{20, 30, 120, 25}, 12.5, translucent, {}},      // a capsule of odd height
        {{20, 30, 80, 24}, 12, opaque, {}},              // and of even height
        {{40, 40, 20, 10}, 12, translucent, {}},         // smaller than its radius both ways
        {{40, 40, 10, 60}, 8, translucent, {}},          // narrower than two corners
        {{40, 40, 60, 10}, 8, opaque, {}},               // lower than two corners
        {{5, 5, 30, 30}, 0.5, translucent, {}},          // a corner of a pixel
        {{10.5, 10.5, 120, 60}, 10, translucent, {}},    // off whole pixels: Qt draws it
        {{10, 10, 120, 60}, 10, translucent, {0.5, 0}},  // moved off them
    };
    for (const Case& shape : cases) {
        const QImage expected = painted([&](QPainter& painter) {
            painter.translate(shape.offset);
            painter.setPen(Qt::NoPen);
            painter.setBrush(shape.colour);
            painter.drawRoundedRect(shape.rect, shape.radius, shape.radius);
        });
        const QImage drawn = painted([&](QPainter& painter) {
            painter.translate(shape.offset);
            fillRoundedRect(painter, shape.rect, shape.radius, shape.colour);
        });
        std::ostringstream name;
        name << shape.rect.x() << "," << shape.rect.y() << " " << shape.rect.width() << "x"
             << shape.rect.height() << " r" << shape.radius << " alpha " << shape.colour.alpha();
        EXPECT_LE(largestDifference(drawn, expected), 0) << name.str();
        // Drawn twice, from the shape kept, the same.
        const QImage again = painted([&](QPainter& painter) {
            painter.translate(shape.offset);
            fillRoundedRect(painter, shape.rect, shape.radius, shape.colour);
        });
        EXPECT_EQ(again, drawn) << name.str();
    }
}

struct Outlined {
    QRectF rect;
    qreal radius;
    QPen pen;
    QColor fill;
    QPointF offset;
};

TEST(RoundedShapes, AnOutlinedShapeShowsWhatQtDraws) {
    const QColor ink(30, 30, 28);
    const QColor hairline(30, 30, 28, 30);
    const QPen flat(ink, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    const Outlined cases[] = {
        {{0.5, 0.5, 79, 27}, 13.5, flat, Qt::transparent, {10, 12}},          // a pill at rest
        {{0.5, 0.5, 79, 27}, 13.5, flat, QColor(30, 30, 28, 120), {10, 12}},  // half filled
        {{0.5, 0.5, 311, 33}, 16.5, QPen(hairline, 1), Qt::white, {20, 30}},  // the capsule
        {{0.75, 0.75, 60, 24}, 12, QPen(hairline, 1.5), Qt::white, {3.5, 7.25}},
        {{5, 5, 40, 40},
         8,
         QPen(ink, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin),
         QColor(200, 20, 20, 80),
         {}},
        {{5, 5, 400, 100}, 8, QPen(ink, 1), Qt::white, {}},  // too large to keep: Qt draws it
    };
    for (const Outlined& shape : cases) {
        const QImage expected = painted([&](QPainter& painter) {
            painter.translate(shape.offset);
            painter.setPen(shape.pen);
            painter.setBrush(shape.fill);
            painter.drawRoundedRect(shape.rect, shape.radius, shape.radius);
        });
        for (int time = 0; time < 2; ++time) {
            const QImage drawn = painted([&](QPainter& painter) {
                painter.translate(shape.offset);
                drawRoundedShape(painter, shape.rect, shape.radius, shape.pen, shape.fill);
            });
            // An outline blended over its fill before the background rather than after rounds
            // differently: a level or two in 255 at most.
            EXPECT_LE(largestDifference(drawn, expected), 2)
                << shape.rect.width() << "x" << shape.rect.height() << " pen " << shape.pen.widthF()
                << (time == 0 ? " drawn" : " kept");
        }
    }
}

// The switch's knob, outlined, and the dots, at whole and fractional places.
TEST(RoundedShapes, AnEllipseShowsWhatQtDraws) {
    const QPen outline(QColor(30, 30, 28, 26), 0.5);
    const Outlined cases[] = {
        {{2, 2, 18, 18}, 0, outline, Qt::white, {30.5, 40}},  // a knob
        {{24, 2, 18, 18}, 0, outline, Qt::white, {30, 40.25}},
        {{13, 19.5, 7, 7}, 0, Qt::NoPen, QColor(200, 90, 40), {}},  // a dot
        {{12, 12.25, 5, 5}, 0, Qt::NoPen, QColor(30, 30, 28, 90), {7, 3}},
    };
    for (const Outlined& shape : cases) {
        const QImage expected = painted([&](QPainter& painter) {
            painter.translate(shape.offset);
            painter.setPen(shape.pen);
            painter.setBrush(shape.fill);
            painter.drawEllipse(shape.rect);
        });
        for (int time = 0; time < 2; ++time) {
            const QImage drawn = painted([&](QPainter& painter) {
                painter.translate(shape.offset);
                drawEllipseShape(painter, shape.rect, shape.pen, shape.fill);
            });
            EXPECT_LE(largestDifference(drawn, expected), 2)
                << shape.rect.x() << "," << shape.rect.y() << (time == 0 ? " drawn" : " kept");
        }
    }
}

}  // namespace
}  // namespace velmora
