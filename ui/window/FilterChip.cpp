// FilterChip: Inter 11.5, semibold when chosen, padded 5 by 11 on a capsule.
#include "ui/window/FilterChip.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/Fonts.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr qreal kTextSize = 11.5;
constexpr qreal kPaddingV = 5;
constexpr qreal kPaddingH = 11;
constexpr qreal kOutlineWidth = 1;

const DesignFont& fontFor(bool selected) {
    return DesignFont::inter(kTextSize, selected ? FontWeight::semibold : FontWeight::regular);
}

}  // namespace

FilterChip::FilterChip(const QString& label, QWidget* parent) : StateButton(parent), label_(label) {
    setFocusShape(FocusShape::capsule);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(label_);
}

void FilterChip::setSelected(bool selected) {
    if (selected != isOn()) {
        setOn(selected);
        // The semibold label is wider.
        updateGeometry();
    }
}

QSize FilterChip::sizeHint() const {
    const DesignFont& font = fontFor(isSelected());
    return {static_cast<int>(std::ceil(font.width(label_) + 2 * kPaddingH)),
            static_cast<int>(std::ceil(font.lineSpacing() + 2 * kPaddingV))};
}

void FilterChip::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool selected = isSelected();
    QRectF capsule(rect());
    QPen outline(Qt::NoPen);
    if (!selected) {
        const qreal inset = kOutlineWidth / 2;
        capsule.adjust(inset, inset, -inset, -inset);
        outline = QPen(Theme::hairline(), kOutlineWidth);
    }
    drawRoundedShape(painter, capsule, capsule.height() / 2, outline,
                     selected ? Theme::ink() : Theme::card());
    const DesignFont& font = fontFor(selected);
    font.draw(painter,
              QPointF((width() - font.width(label_)) / 2, (height() - font.lineSpacing()) / 2),
              label_, selected ? Theme::paper() : Theme::secondary());
}

}  // namespace velmora
