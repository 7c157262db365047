// StarButton: the symbol at 11.5, padded 4, the whole padded square clickable.
#include "ui/components/StarButton.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

constexpr qreal kSymbolSize = 11.5;
constexpr qreal kPadding = 4;

}  // namespace

StarButton::StarButton(bool isOn, std::function<void()> action, QWidget* parent)
    : PaintedButton(parent), on_(isOn) {
    setFocusShape(FocusShape::round);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::clicked, this, [action = std::move(action)] { action(); });
    describe();
}

void StarButton::setOn(bool on) {
    if (on != on_) {
        on_ = on;
        describe();
        update();
    }
}

void StarButton::setSubject(const QString& title) {
    if (accessibleDescription() != title) {
        setAccessibleDescription(title);
    }
}

void StarButton::describe() {
    const QString what =
        on_ ? QStringLiteral("Unpin from Favorites") : QStringLiteral("Pin to Favorites");
    accessibility::nameByToolTip(*this, what);
}

QSize StarButton::sizeHint() const {
    const int side = static_cast<int>(std::ceil(Symbols::boxSide(kSymbolSize) + 2 * kPadding));
    return {side, side};
}

SymbolLook StarButton::symbol() const {
    const QColor colour = on_            ? Theme::accent()
                          : underMouse() ? Theme::secondary()
                                         : Theme::faint();
    return {on_ ? "star.fill" : "star", kSymbolSize, colour};
}

void StarButton::showEvent(QShowEvent* event) {
    PaintedButton::showEvent(event);
    Symbols::prepare(symbol(), devicePixelRatioF());
}

void StarButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    Symbols::draw(painter, QRectF(rect()).center(), symbol());
}

}  // namespace velmora
