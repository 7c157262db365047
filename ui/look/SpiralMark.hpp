// The logo's spiral: an Archimedean spiral from the centre outwards, as a path in a rectangle.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <vector>

namespace velmora {

struct SpiralMark {
    static constexpr int segments = 260;

    double wind = 0;   // half-turns wound beyond `turns`, shrinking the spiral by a tenth per unit
    double turns = 0;  // full turns

    // In widget coordinates (y downward): starts at the centre pointing up and winds clockwise
    // on screen for a positive sweep. The path is open; stroke it, never fill it.
    QPainterPath path(const QRectF& rect) const;
    // The segments + 1 points the path runs through, centre first.
    std::vector<QPointF> points(const QRectF& rect) const;
};

}  // namespace velmora
