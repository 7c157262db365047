// Placing and drawing the focus ring laid over a control's window.
#include "ui/look/RingAround.hpp"

#include <QEvent>
#include <QPainter>

#include "ui/look/FocusRing.hpp"

namespace velmora {

RingAround::RingAround(QWidget* parent) : QFocusFrame(parent) {}

void RingAround::follow(QWidget* target) {
    for (const QPointer<QWidget>& watched : watched_) {
        if (watched) {
            watched->removeEventFilter(this);
        }
    }
    watched_.clear();
    target_ = target;
    if (target == nullptr || target->isWindow()) {
        target_ = nullptr;
        hide();
        return;
    }
    QWidget* window = target->window();
    if (parentWidget() != window) {
        setParent(window);
    }
    for (QWidget* step = target; step != nullptr && step != window; step = step->parentWidget()) {
        step->installEventFilter(this);
        watched_.emplace_back(step);
    }
    place();
}

bool RingAround::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        case QEvent::ParentChange:
            follow(target_);
            break;
        default:
            break;
    }
    (void)watched;
    return false;
}

void RingAround::place() {
    QWidget* window = parentWidget();
    if (!target_ || window == nullptr || !target_->isVisible()) {
        hide();
        return;
    }
    const QRect whole(target_->mapTo(window, QPoint(0, 0)), target_->size());
    QRect seen = whole;
    for (QWidget* step = target_->parentWidget(); step != nullptr && step != window;
         step = step->parentWidget()) {
        seen &= QRect(step->mapTo(window, QPoint(0, 0)), step->size());
    }
    if (seen.isEmpty()) {
        hide();
        return;
    }
    // Round every side the control shows whole; cut with it where an edge cuts it.
    constexpr int room = focus::ringRoom;
    const QRect ringed = seen.adjusted(
        seen.left() == whole.left() ? -room : 0, seen.top() == whole.top() ? -room : 0,
        seen.right() == whole.right() ? room : 0, seen.bottom() == whole.bottom() ? room : 0);
    const QRect frame = whole.adjusted(-room, -room, room, room);
    shown_ = ringed.translated(-frame.topLeft());
    setGeometry(frame);
    raise();
    show();
    update();
}

void RingAround::paintEvent(QPaintEvent* /*event*/) {
    if (!target_) {
        return;
    }
    QPainter painter(this);
    painter.setClipRect(shown_);
    focus::paintRing(painter, rect(), focus::plainRadius);
}

}  // namespace velmora
