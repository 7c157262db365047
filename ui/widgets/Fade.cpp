// The eased progress behind hover and state animations.
#include "ui/widgets/Fade.hpp"

#include <QWidget>

namespace velmora {

Fade::Fade(QWidget& widget, std::chrono::milliseconds duration, QEasingCurve::Type curve)
    : QObject(&widget), widget_(widget) {
    animation_.setDuration(static_cast<int>(duration.count()));
    animation_.setEasingCurve(curve);
    connect(&animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& now) {
        value_ = now.toReal();
        widget_.update();
        if (onStep) {
            onStep();
        }
    });
}

void Fade::setTarget(bool on) {
    if (on == target_) {
        return;
    }
    target_ = on;
    animation_.stop();
    const qreal end = on ? 1.0 : 0.0;
    if (!widget_.isVisible()) {
        value_ = end;
        widget_.update();
        if (onStep) {
            onStep();
        }
        return;
    }
    animation_.setStartValue(value_);
    animation_.setEndValue(end);
    animation_.start();
}

}  // namespace velmora
