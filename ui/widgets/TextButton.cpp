// Drawing of a text button, with or without its capsule.
#include "ui/widgets/TextButton.hpp"

#include <QEvent>
#include <QPainter>
#include <cmath>

namespace velmora {

TextButton::TextButton(DesignFont font, QColor colour, QWidget* parent)
    : PaintedButton(parent), font_(std::move(font)), colour_(std::move(colour)) {
    setFocusShape(FocusShape::capsule);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
}

void TextButton::setLabel(const QString& text) {
    if (text == label_) {
        return;
    }
    label_ = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void TextButton::setCapsule(QColor fill, QColor disabledFill, qreal paddingV, qreal paddingH) {
    capsule_ = Capsule{std::move(fill), std::move(disabledFill), paddingV, paddingH};
    updateGeometry();
    update();
}

std::optional<QColor> TextButton::shownFill() const {
    if (!capsule_) {
        return std::nullopt;
    }
    return isEnabled() ? capsule_->fill : capsule_->disabledFill;
}

QSize TextButton::sizeHint() const {
    const qreal padV = capsule_ ? capsule_->paddingV : 0;
    const qreal padH = capsule_ ? capsule_->paddingH : 0;
    return {static_cast<int>(std::ceil(font_.width(label_) + 2 * padH)),
            static_cast<int>(std::ceil(font_.lineSpacing() + 2 * padV))};
}

void TextButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
    QAbstractButton::changeEvent(event);
}

void TextButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (const std::optional<QColor> fill = shownFill()) {
        const QRectF capsule(rect());
        const qreal radius = capsule.height() / 2;
        painter.setPen(Qt::NoPen);
        painter.setBrush(*fill);
        painter.drawRoundedRect(capsule, radius, radius);
    }
    const qreal x = (width() - font_.width(label_)) / 2;
    font_.draw(painter, QPointF(x, (height() - font_.lineSpacing()) / 2), label_, colour_);
}

}  // namespace velmora
