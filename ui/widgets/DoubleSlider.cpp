// Double mapping, the groove jump and the commit rule of the slider.
#include "ui/widgets/DoubleSlider.hpp"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <cmath>

#include "ui/look/Theme.hpp"
#include "ui/sync/InteractionHold.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

// Positions a slider offers at most; a finer step is treated as continuous at this resolution.
constexpr int kMaximumPositions = 10000;
// The design's small control size.
constexpr int kSmallHeight = 16;
// Its look: a thin rounded track, accent up to the knob and a faint ink beyond it, and a round
// white knob edged in a faint ink, with a ring around it while it has the keyboard.
constexpr qreal kTrackHeight = 4;
constexpr qreal kRestOpacity = 0.12;
constexpr qreal kKnobDiameter = 12;
constexpr qreal kKnobEdgeOpacity = 0.2;
constexpr qreal kKnobShadowOpacity = 0.08;
constexpr qreal kKnobShadowDrop = 0.75;
constexpr qreal kFocusRingWidth = 2;
constexpr qreal kFocusRingOpacity = 0.45;

int positionsFor(double min, double max, double step) {
    const double span = std::max(0.0, max - min);
    if (!(step > 0) || span / step > kMaximumPositions) {
        return span > 0 ? kMaximumPositions : 0;
    }
    return static_cast<int>(std::lround(span / step));
}

// Qt's own slider interface reads the knob's position (step 8 of a Dock size that shows 48px).
class DoubleSliderFace : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit DoubleSliderFace(DoubleSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Value ? slider().valueText() : QAccessibleWidget::text(type);
    }
    QVariant currentValue() const override { return slider().doubleValue(); }
    void setCurrentValue(const QVariant& value) override {
        if (slider().isEnabled()) {
            slider().moveTo(value.toDouble());
        }
    }
    QVariant maximumValue() const override { return slider().maximumValue(); }
    QVariant minimumValue() const override { return slider().minimumValue(); }
    QVariant minimumStepSize() const override { return slider().step(); }

  private:
    DoubleSlider& slider() const { return *static_cast<DoubleSlider*>(widget()); }
};

QAccessibleInterface* sliderFace(const QString& /*className*/, QObject* object) {
    auto* slider = qobject_cast<DoubleSlider*>(object);
    return slider == nullptr ? nullptr : new DoubleSliderFace(slider);
}

}  // namespace

DoubleSlider::DoubleSlider(double min, double max, double step, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), min_(min), max_(std::max(min, max)), step_(step) {
    accessibility::installOnce(sliderFace);
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
    moveTo(value);
}

void DoubleSlider::moveTo(double value) {
    if (!std::isfinite(value) || step_ <= 0) {
        setValue(minimum());
        return;
    }
    const double clamped = std::clamp(value, min_, max_);
    setValue(static_cast<int>(std::lround((clamped - min_) / step_)));
}

void DoubleSlider::setValueText(std::function<QString(double)> text) {
    valueText_ = std::move(text);
}

QString DoubleSlider::valueText() const {
    return valueText_ ? valueText_(doubleValue()) : QString::number(doubleValue());
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
        // The knob lands on the nearest step, which on a coarse slider can lie beside the
        // pointer; pressed there, QSlider would see a groove press at the knob's own value, take
        // no step and never hold the knob, so the release would commit nothing. Such a press
        // goes to the knob's nearest point instead, where a drag from it keeps its offset.
        initStyleOption(&option);
        const QRect knob =
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
        const QPoint at = event->position().toPoint();
        if (!knob.contains(at)) {
            const QPointF onKnob(std::clamp(at.x(), knob.left(), knob.right()), knob.center().y());
            QMouseEvent press(event->type(), onKnob, mapToGlobal(onKnob), event->button(),
                              event->buttons(), event->modifiers(), event->pointingDevice());
            QSlider::mousePressEvent(&press);
            event->setAccepted(press.isAccepted());
            return;
        }
    }
    QSlider::mousePressEvent(event);
}

void DoubleSlider::paintEvent(QPaintEvent* /*event*/) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    // Drawn where the style places the groove and the knob, so clicks land where they look.
    const QRectF groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRectF handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const qreal middle = QRectF(rect()).center().y();
    const QPointF knob(handle.center().x(), middle);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF track(groove.left(), middle - kTrackHeight / 2, groove.width(), kTrackHeight);
    const qreal round = kTrackHeight / 2;
    painter.setBrush(withOpacity(Theme::ink(), kRestOpacity));
    painter.drawRoundedRect(track, round, round);
    painter.setBrush(isEnabled() ? Theme::accent() : Theme::faint());
    painter.drawRoundedRect(QRectF(track.topLeft(), QPointF(knob.x(), track.bottom())), round,
                            round);

    const qreal radius = kKnobDiameter / 2;
    if (hasFocus()) {
        painter.setPen(QPen(withOpacity(Theme::accent(), kFocusRingOpacity), kFocusRingWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(knob, radius + kFocusRingWidth / 2, radius + kFocusRingWidth / 2);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(withOpacity(Theme::ink(), kKnobShadowOpacity));
    painter.drawEllipse(knob + QPointF(0, kKnobShadowDrop), radius, radius);
    painter.setPen(QPen(withOpacity(Theme::ink(), kKnobEdgeOpacity), 1));
    painter.setBrush(isSliderDown() ? Theme::paper() : Theme::card());
    painter.drawEllipse(knob, radius - 0.5, radius - 0.5);
}

void DoubleSlider::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QSlider::wheelEvent(event);
}

}  // namespace velmora
