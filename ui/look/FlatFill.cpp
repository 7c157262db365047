// Banded fills of whole device rows.
#include "ui/look/FlatFill.hpp"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

constexpr int kOpaque = 255;

bool isWhole(qreal value) {
    return value == std::floor(value);
}

// Whether Qt copies the colour instead of blending it: then it fills on this thread anyway.
bool copies(const QPainter& painter, const QColor& colour) {
    return colour.alpha() == kOpaque && painter.opacity() == 1.0 &&
           (painter.compositionMode() == QPainter::CompositionMode_SourceOver ||
            painter.compositionMode() == QPainter::CompositionMode_Source);
}

}  // namespace

int wholeDeviceScale(const QPainter& painter) {
    const QTransform& device = painter.deviceTransform();
    if (device.type() > QTransform::TxScale || device.m11() != device.m22() ||
        !isWhole(device.m11()) || device.m11() < 1) {
        return 0;
    }
    return static_cast<int>(device.m11());
}

void fillFlat(QPainter& painter, const QRect& rect, const QColor& colour) {
    // A band's edge must fall between device pixels.
    const QTransform& device = painter.deviceTransform();
    const int scale = isWhole(device.dx()) && isWhole(device.dy()) ? wholeDeviceScale(painter) : 0;
    const int bandRows = scale > 0 ? std::max(1, flatFillBandRows / scale) : 0;
    if (bandRows == 0 || rect.height() <= bandRows || copies(painter, colour)) {
        painter.fillRect(rect, colour);
        return;
    }
    for (int top = rect.top(); top <= rect.bottom(); top += bandRows) {
        const int rows = std::min(bandRows, rect.bottom() + 1 - top);
        painter.fillRect(QRect(rect.left(), top, rect.width(), rows), colour);
    }
}

}  // namespace velmora
