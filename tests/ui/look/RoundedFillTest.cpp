// A rounded rectangle filled from its corners drawn once must show exactly what Qt draws for it:
// on whole pixels and off them, for cards, capsules of odd and even height, shapes narrower than
// their radius, translucent colours over a varied background.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <sstream>

#include "ui/look/RoundedFill.hpp"

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

TEST(RoundedFill, ShowsWhatQtDrawsForTheShapeOnWholePixelsAndOffThem) {
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

}  // namespace
}  // namespace velmora
