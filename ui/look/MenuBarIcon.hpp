// The status item's image: a spiral drawn in code at whatever size the tray asks for.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPainterPath>
#include <QRectF>

namespace velmora {

class MenuBarIcon {
  public:
    static constexpr int pointSize = 18;
    static constexpr int segments = 200;

    // Built on first use and kept for the process; every call returns the same icon. It is a
    // mask icon: only its alpha counts where the platform tints status icons itself.
    static const QIcon& shared();

    // The spiral inside `rect`, in Qt's coordinates (y downward). It looks as the status image
    // does on screen: from the centre, starting straight down, winding anticlockwise.
    static QPainterPath path(const QRectF& rect);
    // Stroke width for a rectangle whose shorter side is `side`: 1.4 at the 18-point size,
    // growing with the side so larger tray sizes look the same, never below one pixel.
    static qreal lineWidth(qreal side);
    // Strokes the spiral into `rect` in `colour`.
    static void paint(QPainter& painter, const QRectF& rect, const QColor& colour);
};

}  // namespace velmora
