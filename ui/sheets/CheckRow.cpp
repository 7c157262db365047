// CheckRow: padded 5 above and below, items spaced 10; the check mark at 16.
#include "ui/sheets/CheckRow.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/Fonts.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr qreal kCheckSize = 16;
constexpr qreal kOffOpacity = 0.5;
constexpr qreal kRowPaddingV = 5;
// Wide enough for the tile, a few letters and the check mark.
constexpr qreal kMinimumTitle = 40;

const DesignFont& titleFont() {
    return DesignFont::inter(CheckRow::titleSize);
}

int ceilToInt(qreal value) {
    return static_cast<int>(std::ceil(value));
}

}  // namespace

CheckMark::CheckMark(QWidget* parent) : StateButton(parent) {
    setFocusShape(FocusShape::round);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(sizeHint());
}

qreal CheckMark::side() {
    return Symbols::boxSide(kCheckSize);
}

QSize CheckMark::sizeHint() const {
    return {ceilToInt(side()), ceilToInt(side())};
}

void CheckMark::paint(QPainter& painter, const QPointF& centre, bool on) {
    Symbols::draw(painter, centre, kCheckSize, on ? "checkmark.circle.fill" : "circle",
                  on ? Theme::accent() : withOpacity(Theme::faint(), kOffOpacity));
}

void CheckMark::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, QRectF(rect()).center(), isOn());
}

CheckRow::CheckRow(std::string symbol, QString title, int tintIndex, QWidget* parent)
    : StateButton(parent),
      symbol_(std::move(symbol)),
      title_(std::move(title)),
      tintIndex_(tintIndex) {
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(title_);
}

QSize CheckRow::sizeHint() const {
    const qreal height =
        std::max({tileSide, titleFont().lineSpacing(), CheckMark::side()}) + 2 * kRowPaddingV;
    const qreal width = tileSide + spacing + titleFont().width(title_) + spacing + minimumSpacer +
                        CheckMark::side();
    return {ceilToInt(width), ceilToInt(height)};
}

QSize CheckRow::minimumSizeHint() const {
    const qreal width =
        tileSide + spacing + kMinimumTitle + spacing + minimumSpacer + CheckMark::side();
    return {ceilToInt(width), sizeHint().height()};
}

void CheckRow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal middle = height() / 2.0;
    const QRectF tile(0, middle - tileSide / 2, tileSide, tileSide);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::tint(tintIndex_));
    painter.drawRoundedRect(tile, tileRadius, tileRadius);
    Symbols::draw(painter, tile.center(), tileSymbolSize, symbol_,
                  withOpacity(Theme::ink(), tileSymbolOpacity));

    const qreal check = CheckMark::side();
    const qreal x = tileSide + spacing;
    const qreal room = width() - x - spacing - minimumSpacer - check;
    titleFont().draw(painter, QPointF(x, middle - titleFont().lineSpacing() / 2),
                     titleFont().elided(title_, room), Theme::ink());
    CheckMark::paint(painter, QPointF(width() - check / 2, middle), isOn());
}

}  // namespace velmora
