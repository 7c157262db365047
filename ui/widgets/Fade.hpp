// A progress from 0 to 1 that eases toward its target over a fixed time and repaints its widget
// at each step, for the design's short hover and state animations. A widget that is not on screen
// jumps straight to the target (there is nothing to watch, and tests and first paints see the
// final look).
//
//     Fade hover_{*this, std::chrono::milliseconds(140), QEasingCurve::OutQuad};
//     void enterEvent(QEnterEvent*) override { hover_.setTarget(true); }
//     ... mix(Theme::faint(), Theme::secondary(), hover_.value()) in paintEvent
#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QVariantAnimation>
#include <chrono>
#include <functional>

class QWidget;

namespace velmora {

class Fade : public QObject {
    Q_OBJECT

  public:
    Fade(QWidget& widget, std::chrono::milliseconds duration, QEasingCurve::Type curve);

    qreal value() const { return value_; }
    bool target() const { return target_; }
    bool isRunning() const { return animation_.state() == QAbstractAnimation::Running; }
    void setTarget(bool on);
    // Called after each step, after the widget was asked to repaint (a card moves its shadow).
    std::function<void()> onStep;

  private:
    QWidget& widget_;
    QVariantAnimation animation_;
    qreal value_ = 0;
    bool target_ = false;
};

}  // namespace velmora
