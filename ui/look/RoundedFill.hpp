// Rounded rectangles filled from their corners drawn once.
#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace velmora {

// Fills `rect` rounded by `radius` in `colour`, with no outline, as QPainter::drawRoundedRect()
// does with the painter antialiasing. Qt rasterises the whole outline at every paint, curves and
// all, which made the rounded surfaces (cards, tiles, capsules) a sixth of a page's paint. Where
// the rectangle lies on whole device pixels, only its corners differ from a plain fill: they
// come from a small picture of the shape drawn once, and the rest is filled flat. Anywhere else
// (a fractional or scaled rectangle, a translucent painter), Qt draws it as before.
void fillRoundedRect(QPainter& painter, const QRectF& rect, qreal radius, const QColor& colour);

}  // namespace velmora
