// Drawing of the hairline.
#include "ui/widgets/Hairline.hpp"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

constexpr int kThickness = 1;
// Room for a ratio's rounding in floating point (2 read as 1.9999…).
constexpr qreal kSlack = 1e-6;

}  // namespace

void paintHairline(QPainter& painter, const QRect& line, const QColor& colour, LineSide side) {
    const QTransform toDevice = painter.deviceTransform();
    if (toDevice.type() > QTransform::TxScale) {
        painter.fillRect(line, colour);
        return;
    }
    const QRectF onDevice = toDevice.mapRect(QRectF(line));
    const bool across = line.width() >= line.height();
    const qreal points = across ? line.height() : line.width();
    const qreal ratio = across ? toDevice.m22() : toDevice.m11();
    // No more pixels than the line's widget surely covers: Qt clips a widget to the pixels its
    // rounded edges enclose, which for a point at 1.5 is one pixel or two as its place falls.
    const int thickness = std::max(1, static_cast<int>(std::floor(points * ratio + kSlack)));
    const auto from = [&](qreal leading, qreal trailing) {
        return side == LineSide::leading ? static_cast<int>(std::lround(leading))
                                         : static_cast<int>(std::lround(trailing)) - thickness;
    };
    const int left = static_cast<int>(std::lround(onDevice.left()));
    const int right = static_cast<int>(std::lround(onDevice.right()));
    const int top = static_cast<int>(std::lround(onDevice.top()));
    const int bottom = static_cast<int>(std::lround(onDevice.bottom()));
    const QRect pixels =
        across ? QRect(left, from(onDevice.top(), onDevice.bottom()), right - left, thickness)
               : QRect(from(onDevice.left(), onDevice.right()), top, thickness, bottom - top);
    painter.save();
    // Whole device pixels, one for one, whatever the screen's ratio.
    painter.setWorldTransform(painter.deviceTransform().inverted() * painter.worldTransform());
    painter.fillRect(pixels, colour);
    painter.restore();
}

Hairline::Hairline(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kThickness);
    accessibility::hide(*this);
}

void Hairline::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintHairline(painter, rect(), Theme::hairline());
}

}  // namespace velmora
