// Layout and drawing of a labelled switch.
#include "ui/widgets/LabelledSwitch.hpp"

#include <QPainter>
#include <cmath>

#include "ui/widgets/Switch.hpp"

namespace velmora {

LabelledSwitch::LabelledSwitch(const QString& label, DesignFont font, qreal scale, QWidget* parent)
    : StateButton(parent), label_(label), font_(std::move(font)), scale_(scale) {
    setFocusShape(FocusShape::own);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(label_);
}

qreal LabelledSwitch::baseline() const {
    return (sizeHint().height() - font_.lineSpacing()) / 2 + font_.ascent();
}

QSize LabelledSwitch::sizeHint() const {
    const qreal width = font_.width(label_) + labelGap + Switch::naturalSize.width();
    const qreal height = std::max<qreal>(Switch::naturalSize.height(), font_.lineSpacing());
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

void LabelledSwitch::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The unscaled pair laid out at the widget's size, then shrunk about the widget's centre.
    const QPointF centre = QRectF(rect()).center();
    painter.translate(centre);
    painter.scale(scale_, scale_);
    painter.translate(-centre);
    const qreal middle = height() / 2.0;
    font_.draw(painter, QPointF(0, middle - font_.lineSpacing() / 2), label_,
               palette().color(QPalette::WindowText));
    const qreal trackWidth = Switch::naturalSize.width();
    Switch::paintTrack(painter, QPointF(width() - trackWidth / 2.0, middle), 1, isOn(), hasFocus());
}

}  // namespace velmora
