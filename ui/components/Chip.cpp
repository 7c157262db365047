// Chip: Inter 8 bold, tracking 0.5, padded 6 by 2, on the accent at 0.12.
#include "ui/components/Chip.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/Fonts.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"

namespace velmora {

namespace {

constexpr qreal kTextSize = 8;
constexpr qreal kTracking = 0.5;
constexpr qreal kPaddingH = 6;
constexpr qreal kPaddingV = 2;
constexpr qreal kFillOpacity = 0.12;

const DesignFont& chipFont() {
    return DesignFont::inter(kTextSize, FontWeight::bold, kTracking);
}

}  // namespace

Chip::Chip(QString text, QWidget* parent) : QWidget(parent), text_(std::move(text)) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    accessibility::describe(*this, QAccessible::StaticText, text_);
}

QSize Chip::sizeHint() const {
    return {static_cast<int>(std::ceil(chipFont().width(text_) + 2 * kPaddingH)),
            static_cast<int>(std::ceil(chipFont().lineSpacing() + 2 * kPaddingV))};
}

void Chip::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule(rect());
    fillRoundedRect(painter, capsule, capsule.height() / 2,
                    withOpacity(Theme::accent(), kFillOpacity));
    const QPointF topLeft((capsule.width() - chipFont().width(text_)) / 2,
                          (capsule.height() - chipFont().lineSpacing()) / 2);
    chipFont().draw(painter, topLeft, text_, Theme::accent());
}

}  // namespace velmora
