// The stepper's label and its painted arrow pair.
#include "ui/widgets/Stepper.hpp"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/look/RingAround.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/PaintedButton.hpp"
#include "ui/widgets/TextLabel.hpp"

namespace velmora {

namespace {

// Each half is drawn this small, as the desktop's steppers are...
constexpr QSizeF kArrowSize{13, 11};
// ...but takes clicks over a larger square, reaching past its drawn half away from the other one.
constexpr QSize kArrowHitArea{17, 16};
constexpr qreal kArrowHalfWidth = 3;
constexpr qreal kArrowHeight = 3;
constexpr qreal kCornerRadius = 4;
constexpr int kLabelSpacing = 6;
constexpr qreal kDefaultFontSize = 12.5;

enum class Direction { up, down };

// One half of the pair: a small triangle on the card colour, outlined by a hairline, drawn
// against the other half.
class ArrowButton : public PaintedButton {
  public:
    ArrowButton(Direction direction, QWidget* parent) : PaintedButton(parent), dir_(direction) {
        setFixedSize(kArrowHitArea);
        setAutoRepeat(true);
        setFocusPolicy(Qt::NoFocus);
        setAccessibleName(direction == Direction::up ? QStringLiteral("Increment")
                                                     : QStringLiteral("Decrement"));
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal left = (width() - kArrowSize.width()) / 2;
        const qreal top = dir_ == Direction::up ? height() - kArrowSize.height() : 0;
        const QRectF box = QRectF(QPointF(left, top), kArrowSize).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(Theme::hairline(), 1));
        painter.setBrush(isDown() ? Theme::paper() : Theme::card());
        painter.drawRoundedRect(box, kCornerRadius, kCornerRadius);
        const QPointF centre = box.center();
        const qreal tip = dir_ == Direction::up ? -kArrowHeight / 2 : kArrowHeight / 2;
        QPainterPath arrow;
        arrow.moveTo(centre.x() - kArrowHalfWidth, centre.y() - tip);
        arrow.lineTo(centre.x() + kArrowHalfWidth, centre.y() - tip);
        arrow.lineTo(centre.x(), centre.y() + tip);
        arrow.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(isEnabled() ? Theme::ink() : Theme::faint());
        painter.drawPath(arrow);
    }

  private:
    Direction dir_;
};

}  // namespace

Stepper::Stepper(int min, int max, int step, QWidget* parent)
    : QWidget(parent),
      min_(min),
      max_(std::max(min, max)),
      step_(std::max(1, step)),
      value_(min_),
      format_([](int value) { return QString::number(value); }),
      label_(new TextLabel(DesignFont::inter(kDefaultFontSize), Theme::ink(), this)),
      up_(new ArrowButton(Direction::up, this)),
      down_(new ArrowButton(Direction::down, this)) {
    // The stepper reads its value as its name: the label is not read a second time inside it.
    accessibility::hide(*label_);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kLabelSpacing);
    row->addWidget(label_);
    auto* arrows = new QVBoxLayout;
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    row->addLayout(arrows);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(up_, &QAbstractButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QAbstractButton::clicked, this, [this] { stepBy(-1); });
    // The arrows are too small to be stops of their own: the pair is one stop, stepped with the
    // arrow keys, ringed around as the plain buttons are.
    setFocusPolicy(Qt::TabFocus);
    showValue();
}

// The ring lies over the window, which outlives the stepper.
Stepper::~Stepper() {
    delete ring_;
}

void Stepper::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() != Qt::NoModifier && event->modifiers() != Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Up:
            stepBy(1);
            break;
        case Qt::Key_Down:
            stepBy(-1);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void Stepper::focusInEvent(QFocusEvent* event) {
    if (!ring_) {
        ring_ = new RingAround(this);
    }
    ring_->follow(this);
    QWidget::focusInEvent(event);
}

void Stepper::focusOutEvent(QFocusEvent* event) {
    if (ring_) {
        ring_->follow(nullptr);
    }
    QWidget::focusOutEvent(event);
}

void Stepper::setValue(int value) {
    value_ = std::clamp(value, min_, max_);
    showValue();
}

void Stepper::setFormat(Format format) {
    format_ = std::move(format);
    showValue();
}

void Stepper::setDesignFont(const DesignFont& font) {
    label_->setDesignFont(font);
    showValue();
}

void Stepper::stepBy(int steps) {
    const int next = std::clamp(value_ + steps * step_, min_, max_);
    if (next == value_) {
        return;
    }
    value_ = next;
    showValue();
    emit valueChanged(value_);
}

void Stepper::showValue() {
    // As wide as the widest end of the range, so stepping never shifts the arrows.
    const DesignFont& font = label_->designFont();
    const qreal widest = std::max(
        {font.width(format_(min_)), font.width(format_(max_)), font.width(format_(value_))});
    label_->setFixedWidth(static_cast<int>(std::ceil(widest)));
    label_->setText(format_(value_));
    accessibility::describe(*this, QAccessible::SpinBox, format_(value_));
    up_->setEnabled(value_ < max_);
    down_->setEnabled(value_ > min_);
}

}  // namespace velmora
