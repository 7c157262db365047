// Painting of the switch.
#include "ui/widgets/Switch.hpp"

#include <QPainter>

#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

// The off track is a light shade of ink, as the platform's own switch is a light grey.
constexpr qreal kOffTrackOpacity = 0.12;
constexpr qreal kKnobInset = 2;
constexpr qreal kKnobOutlineOpacity = 0.14;
constexpr qreal kKnobOutlineWidth = 0.5;
constexpr qreal kFocusOpacity = 0.35;
constexpr qreal kFocusWidth = 2;

}  // namespace

Switch::Switch(QWidget* parent) : StateButton(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Switch::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    painter.translate(centre);
    painter.scale(drawnScale, drawnScale);
    const QRectF track(-naturalSize.width() / 2.0, -naturalSize.height() / 2.0, naturalSize.width(),
                       naturalSize.height());
    const qreal radius = track.height() / 2;

    painter.setPen(Qt::NoPen);
    painter.setBrush(isOn() ? Theme::accent() : withOpacity(Theme::ink(), kOffTrackOpacity));
    painter.drawRoundedRect(track, radius, radius);

    const qreal knobSide = track.height() - 2 * kKnobInset;
    const qreal knobX = isOn() ? track.right() - kKnobInset - knobSide : track.left() + kKnobInset;
    painter.setPen(QPen(withOpacity(Theme::ink(), kKnobOutlineOpacity), kKnobOutlineWidth));
    painter.setBrush(Theme::card());
    painter.drawEllipse(QRectF(knobX, track.top() + kKnobInset, knobSide, knobSide));

    if (hasFocus()) {
        painter.setPen(QPen(withOpacity(Theme::accent(), kFocusOpacity), kFocusWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track, radius, radius);
    }
}

}  // namespace velmora
