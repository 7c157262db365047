// Rounded rectangles filled from their corners drawn once.
#include "ui/look/RoundedFill.hpp"

#include <QCache>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "ui/look/DrawnImage.hpp"

namespace velmora {

namespace {

// Shapes kept, in kilobytes: a shape is a few of its corners' pixels, a kilobyte or two.
constexpr qsizetype kShapesKilobytes = 256;
constexpr qsizetype kBytesPerKilobyte = 1024;

// The shape a rectangle's pieces come from: its corners, and along a side shorter than two of
// them, the whole side.
struct ShapeKey {
    qreal radius;
    int width;
    int height;
    QRgb colour;
    bool operator==(const ShapeKey& other) const {
        return std::tie(radius, width, height, colour) ==
               std::tie(other.radius, other.width, other.height, other.colour);
    }
};

size_t qHash(const ShapeKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.radius, key.width, key.height, key.colour);
}

QCache<ShapeKey, QImage>& shapes() {
    static QCache<ShapeKey, QImage> kept(kShapesKilobytes);
    return kept;
}

const QImage& shapeOf(const ShapeKey& key) {
    if (const QImage* known = shapes().object(key)) {
        return *known;
    }
    auto* drawn = new QImage(drawnImage(QSize(key.width, key.height), 1.0, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgba(key.colour));
        painter.drawRoundedRect(QRectF(0, 0, key.width, key.height), key.radius, key.radius);
    }));
    const qsizetype cost = std::max<qsizetype>(1, drawn->sizeInBytes() / kBytesPerKilobyte);
    shapes().insert(key, drawn, cost);
    return *shapes().object(key);
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

bool isWhole(qreal value) {
    return value == std::floor(value);
}

// Whether the painter puts `rect` on whole device pixels and blends as a plain fill would.
bool liesOnPixels(const QPainter& painter, const QRectF& rect) {
    const QTransform& device = painter.deviceTransform();
    return painter.testRenderHint(QPainter::Antialiasing) && painter.opacity() == 1.0 &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
           device.type() <= QTransform::TxTranslate && isWhole(device.dx()) &&
           isWhole(device.dy()) && isWhole(rect.x()) && isWhole(rect.y()) &&
           isWhole(rect.width()) && isWhole(rect.height()) && rect.width() > 0 && rect.height() > 0;
}

}  // namespace

void fillRoundedRect(QPainter& painter, const QRectF& rect, qreal radius, const QColor& colour) {
    if (!liesOnPixels(painter, rect) || radius <= 0) {
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRoundedRect(rect, radius, radius);
        painter.restore();
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
    const QImage& shape = shapeOf({radius, shapeWidth, shapeHeight, colour.rgba()});
    for (const Cut& row : rows) {
        for (const Cut& column : columns) {
            painter.drawImage(QPoint(area.x() + column.at, area.y() + row.at), shape,
                              QRect(column.from, row.from, column.length, row.length));
        }
    }
    // Between the corners the shape covers every pixel whole.
    if (columns.size() > 1) {
        painter.fillRect(
            QRect(area.x() + corner, area.y(), area.width() - 2 * corner, area.height()), colour);
    }
    if (rows.size() > 1) {
        for (const Cut& column : columns) {
            painter.fillRect(QRect(area.x() + column.at, area.y() + corner, column.length,
                                   area.height() - 2 * corner),
                             colour);
        }
    }
}

}  // namespace velmora
