// Drawing of the focus ring.
#include "ui/look/FocusRing.hpp"

#include <QPainter>
#include <algorithm>

#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"

namespace velmora::focus {

namespace {

// Strong enough to read on paper, cards and tints, light enough not to look like a selection.
constexpr qreal kRingOpacity = 0.55;

}  // namespace

void paintRing(QPainter& painter, const QRectF& shape, qreal radius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // The stroke's centre line half a width inside, so all of it stays on the control.
    const qreal half = ringWidth / 2;
    const QRectF inside = shape.adjusted(half, half, -half, -half);
    const qreal shown = std::clamp(radius - half, 0.0, inside.height() / 2);
    drawRoundedShape(painter, inside, shown,
                     QPen(withOpacity(Theme::accent(), kRingOpacity), ringWidth), Qt::transparent);
    painter.restore();
}

}  // namespace velmora::focus
