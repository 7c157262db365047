// The painted buttons' shared focus ring.
#include "ui/widgets/PaintedButton.hpp"

#include <QEvent>
#include <QPainter>
#include <algorithm>

#include "ui/look/FocusRing.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

// Rows and small controls: the platform's corner for a focused control.
constexpr qreal kDefaultRadius = 6;

}  // namespace

PaintedButton::PaintedButton(QWidget* parent) : QAbstractButton(parent), radius_(kDefaultRadius) {
    setFocusPolicy(Qt::TabFocus);
    // Most painted buttons show a state their owner sets after the click.
    accessibility::clickedByTools(*this);
}

void PaintedButton::setFocusShape(FocusShape shape, qreal radius, qreal inset) {
    shape_ = shape;
    radius_ = radius;
    inset_ = inset;
    update();
}

QRectF PaintedButton::focusFrame() const {
    QRectF frame = QRectF(rect()).adjusted(inset_, inset_, -inset_, -inset_);
    if (shape_ == FocusShape::round) {
        const qreal side = std::min(frame.width(), frame.height());
        frame = QRectF(frame.center().x() - side / 2, frame.center().y() - side / 2, side, side);
    }
    return frame;
}

bool PaintedButton::event(QEvent* event) {
    const bool handled = QAbstractButton::event(event);
    // After the look, so the ring lies over it.
    if (event->type() == QEvent::Paint && shape_ != FocusShape::own && hasFocus()) {
        const QRectF frame = focusFrame();
        const qreal radius = shape_ == FocusShape::rounded ? radius_ : frame.height() / 2;
        QPainter painter(this);
        focus::paintRing(painter, frame, radius);
    }
    return handled;
}

}  // namespace velmora
