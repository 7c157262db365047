// Drawing of a symbol-and-text button.
#include "ui/widgets/LabelButton.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/Symbols.hpp"

namespace velmora {

LabelButton::LabelButton(std::string symbol, qreal symbolSize, DesignFont font, qreal spacing,
                         QColor colour, QWidget* parent)
    : PaintedButton(parent),
      symbol_(std::move(symbol)),
      symbolSize_(symbolSize),
      font_(std::move(font)),
      spacing_(spacing),
      colour_(std::move(colour)) {
    setFocusShape(FocusShape::capsule);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

void LabelButton::setLabel(const QString& text) {
    if (text == label_) {
        return;
    }
    label_ = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void LabelButton::setPadding(qreal padding) {
    padding_ = padding;
    updateGeometry();
    update();
}

void LabelButton::setSymbolWeight(FontWeight weight) {
    symbolWeight_ = weight;
    update();
}

QSize LabelButton::sizeHint() const {
    const qreal side = Symbols::boxSide(symbolSize_);
    const qreal width =
        2 * padding_ + side + (label_.isEmpty() ? 0 : spacing_ + font_.width(label_));
    const qreal height =
        2 * padding_ + (label_.isEmpty() ? side : std::max(side, font_.lineSpacing()));
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

void LabelButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = Symbols::boxSide(symbolSize_);
    const qreal middle = height() / 2.0;
    Symbols::draw(painter, QPointF(padding_ + side / 2, middle), symbolSize_, symbol_, colour_,
                  symbolWeight_);
    if (!label_.isEmpty()) {
        font_.draw(painter, QPointF(padding_ + side + spacing_, middle - font_.lineSpacing() / 2),
                   label_, colour_);
    }
}

}  // namespace velmora
