// Painting of the switch.
#include "ui/widgets/Switch.hpp"

#include <QPainter>

#include "ui/look/FocusRing.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

// The off track is a light shade of ink, as the platform's own switch is a light grey.
constexpr qreal kOffTrackOpacity = 0.12;
constexpr qreal kKnobInset = 2;
constexpr qreal kKnobOutlineOpacity = 0.14;
constexpr qreal kKnobOutlineWidth = 0.5;

}  // namespace

Switch::Switch(QWidget* parent) : StateButton(parent) {
    setFocusShape(FocusShape::own);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Switch::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintTrack(painter, QRectF(rect()).center(), drawnScale, isOn(), hasFocus());
}

void Switch::paintTrack(QPainter& painter, const QPointF& centre, qreal scale, bool on,
                        bool focused) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // The track and the knob are placed at their drawn size rather than through a scaled
    // painter: unscaled, they come from pictures of them kept instead of being rasterised anew.
    const QSizeF drawn = QSizeF(naturalSize) * scale;
    const QRectF track(centre.x() - drawn.width() / 2, centre.y() - drawn.height() / 2,
                       drawn.width(), drawn.height());
    fillRoundedRect(painter, track, track.height() / 2,
                    on ? Theme::accent() : withOpacity(Theme::ink(), kOffTrackOpacity));

    const qreal inset = kKnobInset * scale;
    const qreal knobSide = track.height() - 2 * inset;
    const qreal knobX = on ? track.right() - inset - knobSide : track.left() + inset;
    drawEllipseShape(
        painter, QRectF(knobX, track.top() + inset, knobSide, knobSide),
        QPen(withOpacity(Theme::ink(), kKnobOutlineOpacity), kKnobOutlineWidth * scale),
        Theme::card());

    if (focused) {
        painter.translate(centre);
        painter.scale(scale, scale);
        const QRectF natural(-naturalSize.width() / 2.0, -naturalSize.height() / 2.0,
                             naturalSize.width(), naturalSize.height());
        focus::paintRing(painter, natural, natural.height() / 2);
    }
    painter.restore();
}

}  // namespace velmora
