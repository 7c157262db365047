// Plain fills of whole device pixels that stay on the painting thread.
//
// Qt 6.4's raster engine blends a translucent fill of 96 spans or more (a span is one row of a
// plain rectangle) by handing it to its thread pool in pieces and waiting for them. For the fills
// a view makes (a scroll bar's thumb, the middle of a rounded surface, a sheet's dimming) waking
// the pool costs far more than the blending: a 6 × 300 thumb took 100 µs instead of 7. The same
// fill done in bands short enough to stay on the calling thread shows the same pixels.
//
//     fillFlat(painter, thumb, translucentInk);
#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace velmora {

// The most rows one band of fillFlat() fills: a band stays under Qt's 96 spans even where the
// clip cuts every row in two.
inline constexpr int flatFillBandRows = 32;

// The whole factor, 1 or more, by which the painter's device transform scales what it draws, the
// same both ways (a screen's pixel ratio of 1 or 2); 0 when it rotates, shears or scales by any
// other factor.
int wholeDeviceScale(const QPainter& painter);

// Fills `rect` with `colour` as QPainter::fillRect() does. Where the painter only moves by whole
// pixels or scales by a whole factor, and the fill blends (a translucent colour, an opacity, a
// composition mode other than plain copying), it is filled in bands of whole device rows.
void fillFlat(QPainter& painter, const QRect& rect, const QColor& colour);

}  // namespace velmora
