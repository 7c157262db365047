// A rounded rectangle drawn from a picture of it kept must show exactly what Qt draws for it: on
// whole pixels and off them, for cards, capsules of odd and even height, shapes narrower than
// their radius, outlines of several widths, caps and joins, ellipses, translucent colours over a
// varied background.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <sstream>

#include "tests/ui/PaintCost.hpp"
#include "tests/ui/ReferenceImage.hpp"
#include "ui/look/RoundedShapes.hpp"

namespace velmora {
namespace {

constexpr QSize kCanvas{360, 240};

QImage painted(const std::function<void(QPainter&)>& paint, qreal ratio = 1) {
    QImage image = test::variedImage(kCanvas, ratio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return image;
}

struct Shape {
    QRectF rect;
    qreal radius;
    QPen pen;
    QColor fill;
    QPointF offset;
};

using Draw = std::function<void(QPainter&, const Shape&)>;

// `ours` shows `shape` as Qt's `theirs` does, to `tolerance` levels in 255: when it draws the
// shape first, and again from what it kept.
void expectDrawnAsQtDoes(const Shape& shape, const Draw& theirs, const Draw& ours, int tolerance,
                         qreal ratio = 1) {
    const auto paint = [&shape, ratio](const Draw& draw) {
        return painted(
            [&](QPainter& painter) {
                painter.translate(shape.offset);
                draw(painter, shape);
            },
            ratio);
    };
    const QImage expected = paint([&theirs](QPainter& painter, const Shape& drawn) {
        painter.setPen(drawn.pen);
        painter.setBrush(drawn.fill);
        theirs(painter, drawn);
    });
    std::ostringstream name;
    name << shape.rect.x() << "," << shape.rect.y() << " " << shape.rect.width() << "x"
         << shape.rect.height() << " r" << shape.radius << " pen " << shape.pen.widthF()
         << " alpha " << shape.fill.alpha() << " at " << shape.offset.x() << "," << shape.offset.y()
         << " ratio " << ratio;
    for (const char* time : {" drawn", " kept"}) {
        EXPECT_LE(test::ReferenceImage::largestChannelDelta(paint(ours), expected), tolerance)
            << name.str() << time;
    }
}

void qtRoundedRect(QPainter& painter, const Shape& shape) {
    painter.drawRoundedRect(shape.rect, shape.radius, shape.radius);
}

TEST(RoundedShapes, AFillShowsWhatQtDrawsOnWholePixelsAndOffThem) {
    const QColor opaque(250, 250, 247);
    const QColor translucent(20, 30, 200, 90);
    const QPen none(Qt::NoPen);
    const Shape cases[] = {
        {{10, 10, 300, 180}, 12, none, opaque, {}},             // a card
        {{10, 10, 300, 180}, 12, none, translucent, {7, 9}},    // the same, the painter moved
        {{20, 30, 120, 25}, 12.5, none, translucent, {}},       // a capsule of odd height
        {{20, 30, 80, 24}, 12, none, opaque, {}},               // and of even height
        {{40, 40, 20, 10}, 12, none, translucent, {}},          // smaller than its radius both ways
        {{40, 40, 10, 60}, 8, none, translucent, {}},           // narrower than two corners
        {{40, 40, 60, 10}, 8, none, opaque, {}},                // lower than two corners
        {{5, 5, 30, 30}, 0.5, none, translucent, {}},           // a corner of a pixel
        {{10.5, 10.5, 120, 60}, 10, none, translucent, {}},     // off whole pixels, too large
        {{10, 10, 120, 60}, 10, none, translucent, {0.5, 0}},   // moved off them
        {{10.5, 10.5, 24, 24}, 6, none, opaque, {3.25, 0}},     // small, kept whole
        {{-420, -360, 1200, 960}, 300, none, translucent, {}},  // corners past what is kept
        {{10.25, 10.75, 300.5, 180.25}, 12, none, opaque, {}},  // a card off whole pixels
        {{10.75, 10.5, 300.25, 180.5}, 15, none, translucent, {0.5, 0}},
        {{10.5, 20.25, 300, 20}, 8, none, translucent, {}},  // long and low: stretched across only
        {{10.5, 5.25, 20, 220}, 6, none, translucent, {}},   // tall and narrow: down only
    };
    for (const Shape& shape : cases) {
        expectDrawnAsQtDoes(
            shape, qtRoundedRect,
            [](QPainter& painter, const Shape& ours) {
                fillRoundedRect(painter, ours.rect, ours.radius, ours.fill);
            },
            0);
    }
}

TEST(RoundedShapes, AnOutlinedShapeShowsWhatQtDraws) {
    const QColor ink(30, 30, 28);
    const QColor hairline(30, 30, 28, 30);
    const QPen flat(ink, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    const Shape cases[] = {
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
        // Large and empty, drawn in pieces: a hovered card's edge, a focus ring around a card.
        {{0.5, 0.5, 259, 149}, 12, QPen(QColor(200, 90, 40, 77), 1), Qt::transparent, {10, 12}},
        {{1, 1, 258, 148}, 11, QPen(QColor(200, 90, 40, 140), 2), Qt::transparent, {3, 4}},
        {{0.5, 0.5, 259, 149}, 12, QPen(hairline, 1), Qt::transparent, {0.5, 0}},  // off pixels
    };
    for (const Shape& shape : cases) {
        // An outline blended over its fill before the background rather than after rounds
        // differently: a level or two in 255 at most.
        expectDrawnAsQtDoes(
            shape, qtRoundedRect,
            [](QPainter& painter, const Shape& ours) {
                drawRoundedShape(painter, ours.rect, ours.radius, ours.pen, ours.fill);
            },
            2);
    }
}

// The switch's knob, outlined, and the dots, at whole and fractional places.
TEST(RoundedShapes, AnEllipseShowsWhatQtDraws) {
    const QPen outline(QColor(30, 30, 28, 26), 0.5);
    const Shape cases[] = {
        {{2, 2, 18, 18}, 0, outline, Qt::white, {30.5, 40}},  // a knob
        {{24, 2, 18, 18}, 0, outline, Qt::white, {30, 40.25}},
        {{13, 19.5, 7, 7}, 0, Qt::NoPen, QColor(200, 90, 40), {}},  // a dot
        {{12, 12.25, 5, 5}, 0, Qt::NoPen, QColor(30, 30, 28, 90), {7, 3}},
    };
    for (const Shape& shape : cases) {
        expectDrawnAsQtDoes(
            shape, [](QPainter& painter, const Shape& theirs) { painter.drawEllipse(theirs.rect); },
            [](QPainter& painter, const Shape& ours) {
                drawEllipseShape(painter, ours.rect, ours.pen, ours.fill);
            },
            2);
    }
}

// On a screen of any pixel ratio above 1 the rounded rectangles come from pictures at the
// screen's own pixels, and show what Qt draws there. Qt rasterises the outline scaled to the
// screen, the picture the outline at the screen's size: a corner's edge may differ by a few levels
// in 255. At a fractional ratio a card's edges fall inside pixels.
TEST(RoundedShapes, AtEveryPixelRatioTheShapesShowWhatQtDraws) {
    constexpr int kCornerLevels = 4;
    const QColor translucent(20, 30, 200, 90);
    const QPen none(Qt::NoPen);
    const QPen hairline(QColor(30, 30, 28, 30), 1);
    const QPen cosmetic(QColor(30, 30, 28), 0);
    const Shape fills[] = {
        {{10, 10, 150, 90}, 12, none, QColor(250, 250, 247), {}},  // a card
        {{10, 10, 6, 100}, 3, none, translucent, {3, 5}},          // a scroll bar's thumb
        {{10.5, 10.5, 40, 24}, 12, none, translucent, {}},         // off whole logical pixels
        {{11, 9, 149, 91}, 15, none, translucent, {0, 1}},         // a card in a grid
    };
    const Shape outlines[] = {
        {{0.5, 0.5, 79, 27}, 13.5, hairline, Qt::white, {10, 12}},  // a pill
        {{0.5, 0.5, 150, 33}, 16.5, hairline, Qt::white, {2, 3}},   // too large to keep
        {{4, 4, 40, 20}, 6, cosmetic, Qt::transparent, {}},
    };
    for (const qreal ratio : {1.25, 1.5, 1.75, 2.0, 3.0}) {
        for (const Shape& shape : fills) {
            expectDrawnAsQtDoes(
                shape, qtRoundedRect,
                [](QPainter& painter, const Shape& ours) {
                    fillRoundedRect(painter, ours.rect, ours.radius, ours.fill);
                },
                kCornerLevels, ratio);
        }
        for (const Shape& shape : outlines) {
            expectDrawnAsQtDoes(
                shape, qtRoundedRect,
                [](QPainter& painter, const Shape& ours) {
                    drawRoundedShape(painter, ours.rect, ours.radius, ours.pen, ours.fill);
                },
                2, ratio);
        }
    }
}

// Where Qt rasterises a translucent shape's whole outline and blends it through its thread pool,
// the shape costs a fraction of that: a scroll bar's thumb at a ratio of 2, and at 1.5 a large
// shape whose edges fall inside pixels (a ring of a sheet's shadow).
TEST(RoundedShapes, ATranslucentFillCostsAFractionOfQtsOwn) {
    constexpr double kAtMost = 0.5;
    struct Case {
        qreal ratio;
        QRectF rect;
        qreal radius;
        QColor colour;
    };
    const Case cases[] = {
        {2, {10, 10, 6, 220}, 3, QColor(30, 30, 28, 90)},
        {1.5, {11, 9, 220, 140}, 16, QColor(30, 30, 28, 20)},
    };
    for (const Case& shape : cases) {
        QImage image = test::variedImage(kCanvas, shape.ratio);
        const auto [ours, qts] = test::fastestPaintsNs(
            image, [&](QPainter& p) { fillRoundedRect(p, shape.rect, shape.radius, shape.colour); },
            [&](QPainter& p) {
                p.setPen(Qt::NoPen);
                p.setBrush(shape.colour);
                p.drawRoundedRect(shape.rect, shape.radius, shape.radius);
            });
        EXPECT_LE(ours, qts * kAtMost)
            << "ours " << ours << " ns, Qt's " << qts << " ns at ratio " << shape.ratio;
    }
}

}  // namespace
}  // namespace velmora
