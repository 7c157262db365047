// Rounded rectangles and ellipses drawn from pictures of them kept: Qt rasterises the whole outline
// of a rounded shape at every paint, curves and all, which made the rounded surfaces, capsules,
// knobs and outlines a fifth of a page's paint.
#pragma once

#include <QColor>
#include <QPen>
#include <QRectF>

class QPainter;

namespace velmora {

// Fills `rect` rounded by `radius` in `colour`, with no outline, as QPainter::drawRoundedRect()
// does with the painter antialiasing. Where the rectangle lies on whole device pixels, only its
// corners differ from a plain fill: they come from a small picture of the shape drawn once, and
// the rest is filled flat. Off whole pixels a small shape is drawn as drawRoundedShape() does,
// and a large one from the corners of a small picture of it at the same place within a pixel,
// its edges' partly covered pixels filled a line at a time. Under a translucent painter, or one
// that rotates or shears, Qt draws as before. Where the painter scales up (a screen's pixel ratio
// of 1.25, 1.5 or 2) all this holds in device pixels, where a corner's edge may differ from Qt's
// by a few levels in 255.
void fillRoundedRect(QPainter& painter, const QRectF& rect, qreal radius, const QColor& colour);

// Draws `rect` rounded by `radius`, filled with `fill` and outlined with `pen`, as
// QPainter::drawRoundedRect() does with the painter antialiasing. A small shape (a pill, a chip,
// the search field's capsule) comes whole from a picture of it drawn once at the same place
// within a pixel, in device pixels where the painter scales up; anything else Qt
// draws as before.
void drawRoundedShape(QPainter& painter, const QRectF& rect, qreal radius, const QPen& pen,
                      const QColor& fill);

// Draws the ellipse in `rect`, filled with `fill` and outlined with `pen`, as
// QPainter::drawEllipse() does with the painter antialiasing: a small one (a switch's knob, a dot)
// from a picture of it drawn once, as drawRoundedShape() does.
void drawEllipseShape(QPainter& painter, const QRectF& rect, const QPen& pen, const QColor& fill);

}  // namespace velmora
