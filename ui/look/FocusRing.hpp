// The focus ring every focusable painted control, and the style's plain buttons, draw while it
// has the keyboard focus: a soft accent outline along the control's own shape, so a keyboard
// user sees where Tab landed.
#pragma once

#include <QRectF>

class QPainter;

namespace velmora::focus {

// The ring's stroke; it is drawn inside `shape`, which is clipped to the control.
constexpr qreal ringWidth = 2;
// A button with no bezel is as large as its text, so its ring is drawn around it instead, this
// far out on every side (the stroke and two pixels clear of the text), rounded by `plainRadius`.
constexpr int ringRoom = 4;
constexpr qreal plainRadius = 6;

// Strokes the ring along `shape`, rounded by `radius` (a capsule: half the height).
void paintRing(QPainter& painter, const QRectF& shape, qreal radius);

}  // namespace velmora::focus
