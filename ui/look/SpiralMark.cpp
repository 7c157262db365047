// Spiral geometry of the logo mark.
#include "ui/look/SpiralMark.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace velmora {

namespace {

constexpr double kRadiusOfHalfSide = 0.92;
constexpr double kShrinkPerWind = 0.1;

}  // namespace

std::vector<QPointF> SpiralMark::points(const QRectF& rect) const {
    const QPointF centre = rect.center();
    const double side = std::min(rect.width(), rect.height());
    const double outerRadius = (1.0 - kShrinkPerWind * wind) * side * 0.5 * kRadiusOfHalfSide;
    const double sweep = std::numbers::pi * wind + 2.0 * std::numbers::pi * turns;

    std::vector<QPointF> result;
    result.reserve(segments + 1);
    for (int i = 0; i <= segments; ++i) {
        const double t = static_cast<double>(i) / segments;
        const double radius = outerRadius * t;
        const double angle = sweep * t - std::numbers::pi / 2.0;
        // Qt's y axis already points down, as the mark's own coordinates do.
        result.emplace_back(centre.x() + radius * std::cos(angle),
                            centre.y() + radius * std::sin(angle));
    }
    return result;
}

QPainterPath SpiralMark::path(const QRectF& rect) const {
    const std::vector<QPointF> through = points(rect);
    QPainterPath spiral(through.front());
    for (std::size_t i = 1; i < through.size(); ++i) {
        spiral.lineTo(through[i]);
    }
    return spiral;
}

}  // namespace velmora
