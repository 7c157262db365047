// Double mapping, the groove jump and the commit rule of the slider.
#include "ui/widgets/DoubleSlider.hpp"

#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <cmath>

#include "ui/look/Theme.hpp"
#include "ui/sync/InteractionHold.hpp"

namespace velmora {

namespace {

// Positions a slider offers at most; a finer step is treated as continuous at this resolution.
constexpr int kMaximumPositions = 10000;
// The design's small control size.
constexpr int kSmallHeight = 16;

int positionsFor(double min, double max, double step) {
    const double span = std::max(0.0, max - min);
    if (!(step > 0) || span / step > kMaximumPositions) {
        return span > 0 ? kMaximumPositions : 0;
    }
    return static_cast<int>(std::lround(span / step));
}

}  // namespace

DoubleSlider::DoubleSlider(double min, double max, double step, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), min_(min), max_(std::max(min, max)), step_(step) {
    const int positions = positionsFor(min_, max_, step_);
    if (positions > 0 && (step_ <= 0 || (max_ - min_) / step_ > kMaximumPositions)) {
        step_ = (max_ - min_) / positions;
    }
    setRange(0, positions);
    setSingleStep(1);
    setPageStep(std::max(1, positions / 10));
    // The wheel never gives it focus: only a click or Tab does.
    setFocusPolicy(Qt::StrongFocus);
    setFixedHeight(kSmallHeight);
    QPalette tinted = palette();
    tinted.setColor(QPalette::Highlight, Theme::accent());
    setPalette(tinted);

    connect(this, &QSlider::valueChanged, this, [this] {
        emit moved(doubleValue());
        // A drag commits at its release; keyboard steps and a focused wheel come without press
        // and release, so each commits at once.
        if (!isSliderDown() && !jumping_ && !signalsBlocked()) {
            emit committed(doubleValue());
        }
    });
    connect(this, &QSlider::sliderPressed, this,
            [this] { hold_ = std::make_unique<InteractionHold>(*this); });
    connect(this, &QSlider::sliderReleased, this, [this] {
        emit committed(doubleValue());
        hold_.reset();
    });
}

DoubleSlider::~DoubleSlider() = default;

double DoubleSlider::doubleValue() const {
    return std::min(max_, min_ + value() * step_);
}

void DoubleSlider::setDoubleValue(double value) {
    const QSignalBlocker blocker(this);
    if (!std::isfinite(value) || step_ <= 0) {
        setValue(minimum());
        return;
    }
    const double clamped = std::clamp(value, min_, max_);
    setValue(static_cast<int>(std::lround((clamped - min_) / step_)));
}

int DoubleSlider::positionAt(int x) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    return QStyle::sliderValueFromPosition(
        minimum(), maximum(), x - groove.x() - handle.width() / 2, span, option.upsideDown);
}

void DoubleSlider::mousePressEvent(QMouseEvent* event) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const bool onHandle =
        style()->hitTestComplexControl(QStyle::CC_Slider, &option, event->position().toPoint(),
                                       this) == QStyle::SC_SliderHandle;
    if (event->button() == Qt::LeftButton && !onHandle) {
        // Jump the knob under the pointer, then let the press start a drag from there: the
        // release commits once, as for a drag.
        jumping_ = true;
        setValue(positionAt(event->position().toPoint().x()));
        jumping_ = false;
    }
    QSlider::mousePressEvent(event);
}

void DoubleSlider::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QSlider::wheelEvent(event);
}

}  // namespace velmora
