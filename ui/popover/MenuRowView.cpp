// Painting of a panel row: padded 15 by 6, spacing 10, ink at 0.05 under the pointer.
#include "ui/popover/MenuRowView.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/Fonts.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Logomark.hpp"
#include "ui/widgets/Text.hpp"

namespace velmora {

namespace menuNames {

QString row(std::string_view id) {
    return QStringLiteral("menu.row.") + toQString(id);
}

}  // namespace menuNames

namespace {

constexpr qreal kPaddingH = 15;
constexpr qreal kPaddingV = 6;
constexpr qreal kSpacing = 10;
constexpr qreal kHoverOpacity = 0.05;
constexpr qreal kNaturalWidth = 326;

constexpr qreal kTitleSize = 12.5;
constexpr qreal kLogoSize = 15;
constexpr qreal kAppliedWind = 1;
constexpr qreal kAppliedSymbolSize = 10.5;
constexpr qreal kApplySize = 11;
constexpr qreal kRestingApplyOpacity = 0.55;
constexpr qreal kCircleSize = 13;
constexpr qreal kCircleFrame = 15;
constexpr qreal kStateSize = 9.5;

const DesignFont& recipeTitleFont() {
    return DesignFont::inter(kTitleSize, FontWeight::medium);
}

const DesignFont& tweakTitleFont() {
    return DesignFont::inter(kTitleSize);
}

const DesignFont& applyFont() {
    return DesignFont::inter(kApplySize, FontWeight::semibold);
}

const DesignFont& stateFont() {
    return DesignFont::monospaced(kStateSize);
}

qreal contentHeight() {
    return std::max({recipeTitleFont().lineSpacing(), kLogoSize, Symbols::boxSide(kCircleSize)});
}

}  // namespace

MenuRowView::MenuRowView(MenuRow row, QWidget* parent) : PaintedButton(parent) {
    setAttribute(Qt::WA_Hover);
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (row_.action) {
            row_.action();
        }
    });
    setRow(std::move(row));
}

void MenuRowView::setRow(MenuRow row) {
    const bool changed = row.title != row_.title || row.on != row_.on || row.kind != row_.kind;
    row_ = std::move(row);
    setObjectName(menuNames::row(row_.id));
    setAccessibleName(toQString(row_.title));
    // The state word the row shows ("On", "Off", "Apply"); an applied recipe shows its check.
    setAccessibleDescription(stateText());
    setChecked(row_.on);
    if (changed) {
        update();
    }
}

QString MenuRowView::stateText() const {
    if (row_.kind != MenuRow::Kind::recipe) {
        return row_.on ? QStringLiteral("On") : QStringLiteral("Off");
    }
    return row_.on ? QString() : QStringLiteral("Apply");
}

QSize MenuRowView::sizeHint() const {
    return {static_cast<int>(kNaturalWidth),
            static_cast<int>(std::ceil(contentHeight() + 2 * kPaddingV))};
}

QSize MenuRowView::minimumSizeHint() const {
    return {static_cast<int>(2 * kPaddingH), sizeHint().height()};
}

void MenuRowView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool hovered = underMouse();
    if (hovered) {
        painter.fillRect(rect(), withOpacity(Theme::ink(), kHoverOpacity));
    }
    const qreal middle = QRectF(rect()).center().y();
    const bool recipe = row_.kind == MenuRow::Kind::recipe;

    // Leading mark.
    qreal x = kPaddingH;
    if (recipe) {
        Logomark::paint(painter, QPointF(x + kLogoSize / 2, middle), kLogoSize,
                        row_.on ? kAppliedWind : 0);
        x += kLogoSize + kSpacing;
    } else {
        Symbols::draw(painter, QPointF(x + kCircleFrame / 2, middle), kCircleSize,
                      row_.on ? "circle.inset.filled" : "circle",
                      row_.on ? Theme::accent() : Theme::faint());
        x += kCircleFrame + kSpacing;
    }

    // Trailing state, right-aligned.
    qreal right = width() - kPaddingH;
    const QString state = stateText();
    if (recipe && row_.on) {
        const qreal side = Symbols::boxSide(kAppliedSymbolSize);
        Symbols::draw(painter, QPointF(right - side / 2, middle), kAppliedSymbolSize,
                      hovered ? "arrow.uturn.backward" : "checkmark", Theme::accent(),
                      FontWeight::bold);
        right -= side;
    } else if (recipe) {
        const qreal width = applyFont().width(state);
        applyFont().draw(painter, QPointF(right - width, middle - applyFont().lineSpacing() / 2),
                         state, withOpacity(Theme::ink(), hovered ? 1 : kRestingApplyOpacity));
        right -= width;
    } else {
        const qreal width = stateFont().width(state);
        stateFont().draw(painter, QPointF(right - width, middle - stateFont().lineSpacing() / 2),
                         state, Theme::faint());
        right -= width;
    }

    // The title, on one line, in what is left.
    const DesignFont& font = recipe ? recipeTitleFont() : tweakTitleFont();
    const QString title = font.elided(toQString(row_.title), right - kSpacing - x);
    font.draw(painter, QPointF(x, middle - font.lineSpacing() / 2), title, Theme::ink());
}

}  // namespace velmora
