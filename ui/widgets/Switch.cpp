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
    painter.translate(centre);
    painter.scale(scale, scale);
    const QRectF track(-naturalSize.width() / 2.0, -naturalSize.height() / 2.0, naturalSize.width(),
                       naturalSize.height());
    const qreal radius = track.height() / 2;

    fillRoundedRect(painter, track, radius,
                    on ? Theme::accent() : withOpacity(Theme::ink(), kOffTrackOpacity));

    const qreal knobSide = track.height() - 2 * kKnobInset;
    const qreal knobX = on ? track.right() - kKnobInset - knobSide : track.left() + kKnobInset;
    painter.setPen(QPen(withOpacity(Theme::ink(), kKnobOutlineOpacity), kKnobOutlineWidth));
    painter.setBrush(Theme::card());
    painter.drawEllipse(QRectF(knobX, track.top() + kKnobInset, knobSide, knobSide));

    if (focused) {
        focus::paintRing(painter, track, radius);
    }
    painter.restore();
}

}  // namespace velmora
