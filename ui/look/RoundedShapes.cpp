// Rounded rectangles and ellipses drawn from pictures of them kept.
#include "ui/look/RoundedShapes.hpp"

#include <QCache>
#include <QImage>
#include <QPainter>
#include <QRgba64>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "ui/look/DrawnImage.hpp"
#include "ui/look/FlatFill.hpp"

namespace velmora {

namespace {

// Pictures kept, in kilobytes, the least used giving way: corners are a kilobyte or two, a whole
// pill some ten, and a hover passes through a new look of its pill at every frame.
constexpr qsizetype kShapesKilobytes = 512;
constexpr qsizetype kBytesPerKilobyte = 1024;
// The largest shape kept whole, in pixels: the search field's capsule, some 330 by 34.
constexpr qreal kLargestWhole = 12000;

enum class Outline { roundedRect, ellipse };

// A picture of a shape: its rectangle's size and where it starts within the picture's first
// pixel (plus the room its outline takes), its radius, fill and outline.
struct ShapeKey {
    Outline kind;
    QSizeF size;
    QPointF offset;
    qreal radius;
    QRgb fill;
    QRgb outline;
    qreal outlineWidth;
    int outlineStyle;  // Qt::NoPen, or a solid line with its cap and join
    bool operator==(const ShapeKey& other) const {
        return std::tie(kind, size, offset, radius, fill, outline, outlineWidth, outlineStyle) ==
               std::tie(other.kind, other.size, other.offset, other.radius, other.fill,
                        other.outline, other.outlineWidth, other.outlineStyle);
    }
};

size_t qHash(const ShapeKey& key, size_t seed = 0) {
    return qHashMulti(seed, int(key.kind), key.size.width(), key.size.height(), key.offset.x(),
                      key.offset.y(), key.radius, key.fill, key.outline, key.outlineWidth,
                      key.outlineStyle);
}

QPen outlineOf(const ShapeKey& key) {
    if (key.outlineStyle == Qt::NoPen) {
        return Qt::NoPen;
    }
    return QPen(QColor::fromRgba(key.outline), key.outlineWidth, Qt::SolidLine,
                Qt::PenCapStyle(key.outlineStyle & Qt::MPenCapStyle),
                Qt::PenJoinStyle(key.outlineStyle & Qt::MPenJoinStyle));
}

// The picture of `key`, `pixels` large, drawn once: a picture larger than the whole budget is
// drawn each time, never kept.
QImage pictureOf(const ShapeKey& key, const QSize& pixels) {
    static QCache<ShapeKey, QImage> kept(kShapesKilobytes);
    if (const QImage* known = kept.object(key)) {
        return *known;
    }
    const QImage drawn = drawnImage(pixels, 1.0, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(outlineOf(key));
        painter.setBrush(QColor::fromRgba(key.fill));
        if (key.kind == Outline::ellipse) {
            painter.drawEllipse(QRectF(key.offset, key.size));
        } else {
            painter.drawRoundedRect(QRectF(key.offset, key.size), key.radius, key.radius);
        }
    });
    const qsizetype cost = std::max<qsizetype>(1, drawn.sizeInBytes() / kBytesPerKilobyte);
    kept.insert(key, new QImage(drawn), cost);
    return drawn;
}

bool isWhole(qreal value) {
    return value == std::floor(value);
}

// Whether the painter only moves what it draws and blends it as a picture would be blended.
bool movesOnly(const QPainter& painter) {
    return painter.testRenderHint(QPainter::Antialiasing) && painter.opacity() == 1.0 &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
           painter.deviceTransform().type() <= QTransform::TxTranslate;
}

// The factor above 1 by which the painter scales what it draws, the same both ways (a screen's
// pixel ratio of 1.25, 1.5 or 2); 0 when it does not scale up, or rotates or shears.
qreal upscale(const QPainter& painter) {
    const QTransform& device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || device.m11() != device.m22() || device.m11() <= 1) {
        return 0;
    }
    return device.m11();
}

// Where the painter scales up, runs `draw` with `rect` in device pixels and the painter drawing in
// them, so that the pictures of shapes are drawn and kept at the device's own pixels as they are
// at a ratio of 1; false, having drawn nothing, otherwise. Qt would rasterise the whole outline at
// every paint, and fill a large one through its thread pool.
template <class Draw>
bool drawnInDevicePixels(QPainter& painter, const QRectF& rect, const Draw& draw) {
    const qreal scale = upscale(painter);
    if (scale == 0) {
        return false;
    }
    const QRectF onDevice = painter.deviceTransform().mapRect(rect);
    painter.save();
    // The world transform undoes the rest of the device transform (the widget's place and the
    // screen's ratio): one unit is one pixel.
    painter.resetTransform();
    painter.setWorldTransform(painter.deviceTransform().inverted());
    draw(onDevice, scale);
    painter.restore();
    return true;
}

// An outline of one colour, drawn as a plain line.
bool isPlain(const QPen& pen) {
    return pen.style() == Qt::NoPen ||
           (pen.style() == Qt::SolidLine && pen.brush().style() == Qt::SolidPattern &&
            !pen.isCosmetic());
}

// `pen` as wide in device pixels as it draws under a painter that scales by `scale`; a cosmetic
// pen is as wide on every device.
QPen scaledBy(QPen pen, qreal scale) {
    if (!pen.isCosmetic()) {
        pen.setWidthF(pen.widthF() * scale);
    }
    return pen;
}

void drawAsQtDoes(QPainter& painter, const QRectF& rect, qreal radius, const QPen& pen,
                  const QColor& fill) {
    painter.save();
    painter.setPen(pen);
    painter.setBrush(fill);
    painter.drawRoundedRect(rect, radius, radius);
    painter.restore();
}

// Draws the shape whole from its picture; false when it is too large to keep.
bool drawWhole(QPainter& painter, Outline kind, const QRectF& rect, qreal radius, const QPen& pen,
               const QColor& fill) {
    if (rect.width() * rect.height() > kLargestWhole || rect.isEmpty()) {
        return false;
    }
    const bool outlined = pen.style() != Qt::NoPen;
    const int room = outlined ? static_cast<int>(std::ceil(pen.widthF() / 2)) + 1 : 0;
    const QPointF at = painter.deviceTransform().map(rect.topLeft());
    const QPointF origin(std::floor(at.x()) - room, std::floor(at.y()) - room);
    const QPointF offset = at - origin;
    const QSize pixels(static_cast<int>(std::ceil(offset.x() + rect.width())) + room,
                       static_cast<int>(std::ceil(offset.y() + rect.height())) + room);
    const ShapeKey key{kind,
                       rect.size(),
                       offset,
                       radius,
                       fill.rgba(),
                       outlined ? pen.color().rgba() : 0,
                       outlined ? pen.widthF() : 0,
                       outlined ? int(Qt::SolidLine) | int(pen.capStyle()) | int(pen.joinStyle())
                                : int(Qt::NoPen)};
    painter.drawImage(rect.topLeft() - offset, pictureOf(key, pixels));
    return true;
}

// A piece along one side: where it lies in the rectangle, where it starts in the shape, and how
// long it is.
struct Cut {
    int at;
    int from;
    int length;
};

// The corners' pieces along a side of `length`, and the shape's extent along it.
std::vector<Cut> cutsAlong(int length, int corner, int& shapeLength) {
    if (length < 2 * corner) {
        shapeLength = length;
        return {{0, 0, length}};
    }
    shapeLength = 2 * corner;
    return {{0, 0, corner}, {length - corner, corner, corner}};
}

// Along one side of a large shape whose edges fall inside device pixels: the shape's picture is
// made `shrink` whole pixels shorter than the shape, and `corner` pixels from its start lies a
// pixel clear of the curves, which stands for the `shrink` more that the shape has there.
struct Stretch {
    int shrink = 0;
    int corner = 0;
};

// How far a side of `length` from `offset` into its first pixel shrinks, with corners of
// `radius`: to the least that leaves a pixel clear of both curves (and a pixel more on each side
// for what antialiasing touches), or not at all where the side is that short already.
Stretch stretchAlong(qreal offset, qreal length, qreal radius) {
    constexpr qreal kClear = 4;  // the clear pixel, a margin each side, and the rounding up
    const qreal shortest = 2 * radius + kClear;
    if (length < shortest + 1) {
        return {};
    }
    return {static_cast<int>(std::floor(length - shortest)),
            static_cast<int>(std::ceil(offset + radius)) + 1};
}

// The pieces along one side: corners as drawn, and the clear pixel stretched over the shrunk
// length. `pixels` is the picture's extent along the side.
std::vector<Cut> piecesAlong(const Stretch& stretch, int pixels) {
    if (stretch.shrink == 0) {
        return {{0, 0, pixels}};
    }
    const int corner = stretch.corner;
    return {{0, 0, corner},
            {corner, corner, 1 + stretch.shrink},
            {corner + 1 + stretch.shrink, corner + 1, pixels - corner - 1}};
}

// The colour that fills as a picture's premultiplied pixel blends, to the level.
QColor colourOfPixel(QRgb premultiplied) {
    return QColor::fromRgba64(QRgba64::fromArgb32(premultiplied).unpremultiplied());
}

// A stretched piece of a picture, filled as the picture's clear line of pixels repeated across
// it: each run of equal pixels along the line is one plain fill. A picture drawn stretched would
// show the same, but Qt draws a stretched picture slowly wherever the clip is not a rectangle, as
// it is around the opaque middle of a card.
struct StretchedPiece {
    const QImage& shape;
    QPoint origin;         // where the picture's first pixel lands, in device pixels
    Qt::Orientation runs;  // Qt::Vertical: the clear column's pixels, row after row
    Cut along;             // the piece's extent along the runs
    Cut across;            // and across them, the stretched one
    int clear;             // the clear column (or row) of the picture
};

void fillStretched(QPainter& painter, const StretchedPiece& piece) {
    const bool down = piece.runs == Qt::Vertical;
    const auto pixelAt = [&](int at) {
        const int x = down ? piece.clear : at;
        const int y = down ? at : piece.clear;
        return reinterpret_cast<const QRgb*>(piece.shape.constScanLine(y))[x];
    };
    const auto fill = [&](int from, int length, QRgb pixel) {
        if (qAlpha(pixel) == 0) {
            return;
        }
        const int at = piece.along.at + (from - piece.along.from);
        const QRect run = down ? QRect(piece.across.at, at, piece.across.length, length)
                               : QRect(at, piece.across.at, length, piece.across.length);
        fillFlat(painter, run.translated(piece.origin), colourOfPixel(pixel));
    };
    const int end = piece.along.from + piece.along.length;
    int runStart = piece.along.from;
    for (int at = piece.along.from + 1; at <= end; ++at) {
        if (at == end || pixelAt(at) != pixelAt(runStart)) {
            fill(runStart, at - runStart, pixelAt(runStart));
            runStart = at;
        }
    }
}

// A large filled shape whose edges fall inside device pixels (a card at a pixel ratio of 1.5),
// from a picture of the same shape at the same place within a pixel, made as narrow and as short
// as its corners allow. Between the corners every column of a rounded rectangle is alike, and so
// is every row: the corners come from the picture, the rest is filled plainly, a run of pixels of
// the picture's clear column (or row) at a time. Drawn on a painter that neither scales nor moves
// by part of a pixel; false, having drawn nothing, where the shape is too small to gain from it.
bool fillOffPixelsInPieces(QPainter& painter, const QRectF& rect, qreal radius,
                           const QColor& colour) {
    const QTransform& device = painter.deviceTransform();
    if (device.type() > QTransform::TxTranslate || !isWhole(device.dx()) || !isWhole(device.dy()) ||
        rect.isEmpty()) {
        return false;
    }
    const QPointF at = device.map(rect.topLeft());
    const QPoint first(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
    const QPointF offset = at - QPointF(first);
    const Stretch across = stretchAlong(offset.x(), rect.width(), radius);
    const Stretch down = stretchAlong(offset.y(), rect.height(), radius);
    if (across.shrink == 0 && down.shrink == 0) {
        return false;
    }
    const QSizeF shrunk(rect.width() - across.shrink, rect.height() - down.shrink);
    const QSize pixels(static_cast<int>(std::ceil(offset.x() + shrunk.width())),
                       static_cast<int>(std::ceil(offset.y() + shrunk.height())));
    const QImage shape = pictureOf(
        {Outline::roundedRect, shrunk, offset, radius, colour.rgba(), 0, 0, Qt::NoPen}, pixels);
    if (shape.format() != QImage::Format_ARGB32_Premultiplied) {
        return false;
    }
    const std::vector<Cut> columns = piecesAlong(across, pixels.width());
    const std::vector<Cut> rows = piecesAlong(down, pixels.height());
    const auto stretched = [](const std::vector<Cut>& cuts, std::size_t index) {
        return cuts.size() > 1 && index == 1;
    };
    // From here on the painter draws in device pixels.
    painter.save();
    painter.setWorldTransform(QTransform::fromTranslate(-device.dx(), -device.dy()), true);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < columns.size(); ++column) {
            const Cut& x = columns[column];
            const Cut& y = rows[row];
            if (!stretched(columns, column) && !stretched(rows, row)) {
                painter.drawImage(first + QPoint(x.at, y.at), shape,
                                  QRect(x.from, y.from, x.length, y.length));
            } else if (stretched(columns, column) && stretched(rows, row)) {
                // Wholly inside the shape.
                fillFlat(painter, QRect(first.x() + x.at, first.y() + y.at, x.length, y.length),
                         colour);
            } else if (stretched(columns, column)) {
                fillStretched(painter, {shape, first, Qt::Vertical, y, x, x.from});
            } else {
                fillStretched(painter, {shape, first, Qt::Horizontal, x, y, y.from});
            }
        }
    }
    painter.restore();
    return true;
}

// A large outline with nothing inside it (a hovered card's edge, a focus ring around a card),
// drawn in pieces where its straight sides cover whole pixels: the corners from a picture of a
// small outline alike, the sides filled flat. False, having drawn nothing, where it does not
// apply.
bool drawOutlineInPieces(QPainter& painter, const QRectF& rect, qreal radius, const QPen& pen) {
    const qreal width = pen.widthF();
    const QRectF outer = rect.adjusted(-width / 2, -width / 2, width / 2, width / 2);
    const QTransform& device = painter.deviceTransform();
    if (!isWhole(width) || width < 1 || !isWhole(device.dx()) || !isWhole(device.dy()) ||
        !isWhole(outer.x()) || !isWhole(outer.y()) || !isWhole(outer.width()) ||
        !isWhole(outer.height())) {
        return false;
    }
    // Past the arc, and a pixel more for what antialiasing touches next to it.
    const int corner = static_cast<int>(std::ceil(radius + width / 2)) + 1;
    const QRect area = outer.toRect();
    if (area.width() <= 2 * corner || area.height() <= 2 * corner) {
        return false;
    }
    const int side = 2 * corner;
    const QImage shape =
        pictureOf({Outline::roundedRect, QSizeF(side - width, side - width),
                   QPointF(width / 2, width / 2), radius, 0, pen.color().rgba(), width,
                   int(Qt::SolidLine) | int(pen.capStyle()) | int(pen.joinStyle())},
                  QSize(side, side));
    for (const int row : {0, corner}) {
        for (const int column : {0, corner}) {
            const QPoint at(column == 0 ? area.left() : area.right() + 1 - corner,
                            row == 0 ? area.top() : area.bottom() + 1 - corner);
            painter.drawImage(at, shape, QRect(column, row, corner, corner));
        }
    }
    const int thick = static_cast<int>(width);
    const QColor colour = pen.color();
    fillFlat(painter, QRect(area.left() + corner, area.top(), area.width() - side, thick), colour);
    fillFlat(painter,
             QRect(area.left() + corner, area.bottom() + 1 - thick, area.width() - side, thick),
             colour);
    fillFlat(painter, QRect(area.left(), area.top() + corner, thick, area.height() - side), colour);
    fillFlat(painter,
             QRect(area.right() + 1 - thick, area.top() + corner, thick, area.height() - side),
             colour);
    return true;
}

}  // namespace

void fillRoundedRect(QPainter& painter, const QRectF& rect, qreal radius, const QColor& colour) {
    if (drawnInDevicePixels(painter, rect, [&](const QRectF& onDevice, qreal scale) {
            fillRoundedRect(painter, onDevice, radius * scale, colour);
        })) {
        return;
    }
    if (!movesOnly(painter) || radius <= 0) {
        drawAsQtDoes(painter, rect, radius, Qt::NoPen, colour);
        return;
    }
    const QTransform& device = painter.deviceTransform();
    const bool onPixels = isWhole(device.dx()) && isWhole(device.dy()) && isWhole(rect.x()) &&
                          isWhole(rect.y()) && isWhole(rect.width()) && isWhole(rect.height());
    if (!onPixels || rect.isEmpty()) {
        if (!drawWhole(painter, Outline::roundedRect, rect, radius, Qt::NoPen, colour) &&
            !fillOffPixelsInPieces(painter, rect, radius, colour)) {
            drawAsQtDoes(painter, rect, radius, Qt::NoPen, colour);
        }
        return;
    }
    const QRect area = rect.toRect();
    // Along a side shorter than two corners the shape is as long as the side, so that Qt narrows
    // the radius to half the side in it as it does in the rectangle.
    const int corner = static_cast<int>(std::ceil(radius));
    int shapeWidth = 0;
    int shapeHeight = 0;
    const std::vector<Cut> columns = cutsAlong(area.width(), corner, shapeWidth);
    const std::vector<Cut> rows = cutsAlong(area.height(), corner, shapeHeight);
    const QImage shape = pictureOf({Outline::roundedRect,
                                    QSizeF(shapeWidth, shapeHeight),
                                    {},
                                    radius,
                                    colour.rgba(),
                                    0,
                                    0,
                                    Qt::NoPen},
                                   QSize(shapeWidth, shapeHeight));
    for (const Cut& row : rows) {
        for (const Cut& column : columns) {
            painter.drawImage(QPoint(area.x() + column.at, area.y() + row.at), shape,
                              QRect(column.from, row.from, column.length, row.length));
        }
    }
    // Between the corners the shape covers every pixel whole.
    if (columns.size() > 1) {
        fillFlat(painter,
                 QRect(area.x() + corner, area.y(), area.width() - 2 * corner, area.height()),
                 colour);
    }
    if (rows.size() > 1) {
        for (const Cut& column : columns) {
            fillFlat(painter,
                     QRect(area.x() + column.at, area.y() + corner, column.length,
                           area.height() - 2 * corner),
                     colour);
        }
    }
}

void drawRoundedShape(QPainter& painter, const QRectF& rect, qreal radius, const QPen& pen,
                      const QColor& fill) {
    if (pen.style() == Qt::NoPen) {
        fillRoundedRect(painter, rect, radius, fill);
        return;
    }
    if (drawnInDevicePixels(painter, rect, [&](const QRectF& onDevice, qreal scale) {
            drawRoundedShape(painter, onDevice, radius * scale, scaledBy(pen, scale), fill);
        })) {
        return;
    }
    const bool piecewise = movesOnly(painter) && isPlain(pen) && radius > 0;
    if (piecewise && drawWhole(painter, Outline::roundedRect, rect, radius, pen, fill)) {
        return;
    }
    if (piecewise && fill.alpha() == 0 && drawOutlineInPieces(painter, rect, radius, pen)) {
        return;
    }
    drawAsQtDoes(painter, rect, radius, pen, fill);
}

void drawEllipseShape(QPainter& painter, const QRectF& rect, const QPen& pen, const QColor& fill) {
    if (!movesOnly(painter) || !isPlain(pen) ||
        !drawWhole(painter, Outline::ellipse, rect, 0, pen, fill)) {
        painter.save();
        painter.setPen(pen);
        painter.setBrush(fill);
        painter.drawEllipse(rect);
        painter.restore();
    }
}

}  // namespace velmora
