// Drawing of a symbol, with its optional tile.
#include "ui/widgets/SymbolView.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

SymbolView::SymbolView(std::string symbol, qreal pointSize, QColor colour, QWidget* parent)
    : QWidget(parent), symbol_(std::move(symbol)), pointSize_(pointSize), colour_(colour) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(sizeHint());
    accessibility::hide(*this);
}

void SymbolView::setSymbol(const std::string& symbol) {
    if (symbol != symbol_) {
        symbol_ = symbol;
        update();
    }
}

void SymbolView::setColour(const QColor& colour) {
    if (colour != colour_) {
        colour_ = colour;
        update();
    }
}

void SymbolView::setTile(qreal side, qreal radius, const QColor& fill) {
    tile_ = Tile{side, radius, fill};
    setFixedSize(sizeHint());
    update();
}

void SymbolView::setTileFill(const QColor& fill) {
    if (tile_ && tile_->fill != fill) {
        tile_->fill = fill;
        update();
    }
}

QSize SymbolView::sizeHint() const {
    const qreal side = tile_ ? tile_->side : Symbols::boxSide(pointSize_);
    const int pixels = static_cast<int>(std::ceil(side));
    return {pixels, pixels};
}

void SymbolView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Symbols::prepare(symbol_, pointSize_, colour_, devicePixelRatioF());
}

void SymbolView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    if (tile_) {
        const QRectF box(centre.x() - tile_->side / 2, centre.y() - tile_->side / 2, tile_->side,
                         tile_->side);
        fillRoundedRect(painter, box, tile_->radius, tile_->fill);
    }
    Symbols::draw(painter, centre, pointSize_, symbol_, colour_);
}

}  // namespace velmora
