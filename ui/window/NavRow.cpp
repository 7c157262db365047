// Drawing and action of a sidebar row.
#include "ui/window/NavRow.hpp"

#include <QPainter>
#include <cmath>

#include "ui/look/Fonts.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"
#include "ui/widgets/Accessibility.hpp"
#include "ui/widgets/Text.hpp"
#include "ui/window/MainWindow.hpp"

namespace velmora {

namespace {

constexpr qreal kPaddingV = 6;
constexpr qreal kPaddingH = 10;
constexpr qreal kSpacing = 9;
constexpr qreal kSymbolSize = 12;
constexpr qreal kSymbolFrame = 17;
constexpr qreal kTitleSize = 12.5;
constexpr qreal kRadius = 9;
constexpr qreal kBadgeSize = 10;
constexpr qreal kBadgePaddingH = 6;
constexpr qreal kBadgePaddingV = 1.5;
constexpr qreal kBadgeFillOpacity = 0.07;

const DesignFont& titleFont(bool highlighted) {
    static const DesignFont regular = DesignFont::inter(kTitleSize);
    static const DesignFont semibold = DesignFont::inter(kTitleSize, FontWeight::semibold);
    return highlighted ? semibold : regular;
}

const DesignFont& badgeFont() {
    static const DesignFont font = DesignFont::inter(kBadgeSize, FontWeight::semibold);
    return font;
}

}  // namespace

namespace navNames {

QString row(std::string_view item) {
    return QStringLiteral("nav.") + toQString(item);
}

}  // namespace navNames

NavRow::NavRow(MainWindow& window, NavItem item, QWidget* parent)
    : PaintedButton(parent), item_(std::move(item)) {
    setFocusShape(FocusShape::rounded, kRadius);
    setObjectName(navNames::row(item_.name()));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    // The sidebar reads as tabs: the row of the page on screen is the selected one.
    accessibility::describe(*this, QAccessible::PageTab, toQString(item_.title()));
    connect(this, &QAbstractButton::clicked, this, [this, &window] {
        window.change([item = item_](WindowState& state) { state.chooseRow(item); });
    });
}

void NavRow::setHighlighted(bool highlighted) {
    if (highlighted != highlighted_) {
        highlighted_ = highlighted;
        accessibility::setSelected(*this, highlighted);
        update();
    }
}

std::optional<int> NavRow::shownBadge() const {
    return badge_ && *badge_ >= 1 ? badge_ : std::nullopt;
}

void NavRow::setBadge(std::optional<int> count) {
    if (count == badge_) {
        return;
    }
    badge_ = count;
    const std::optional<int> shown = shownBadge();
    setAccessibleDescription(shown ? QString::number(*shown) : QString());
    update();
}

QSize NavRow::sizeHint() const {
    const qreal height = 2 * kPaddingV + titleFont(true).lineSpacing();
    const qreal width =
        2 * kPaddingH + kSymbolFrame + kSpacing + titleFont(true).width(toQString(item_.title()));
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

QSize NavRow::minimumSizeHint() const {
    return {static_cast<int>(std::ceil(2 * kPaddingH + kSymbolFrame)), sizeHint().height()};
}

SymbolLook NavRow::symbol() const {
    return {item_.symbol(), kSymbolSize, highlighted_ ? Theme::ink() : Theme::secondary()};
}

void NavRow::showEvent(QShowEvent* event) {
    PaintedButton::showEvent(event);
    Symbols::prepare(symbol(), devicePixelRatioF());
}

void NavRow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(rect());
    if (highlighted_) {
        fillRoundedRect(painter, area, kRadius, Theme::card());
    }
    const SymbolLook look = symbol();
    const qreal middle = area.height() / 2;
    Symbols::draw(painter, QPointF(kPaddingH + kSymbolFrame / 2, middle), look);

    qreal right = area.width() - kPaddingH;
    if (const std::optional<int> badge = shownBadge()) {
        const QString digits = QString::number(*badge);
        const qreal textWidth = badgeFont().width(digits);
        const QRectF capsule(right - textWidth - 2 * kBadgePaddingH,
                             middle - badgeFont().lineSpacing() / 2 - kBadgePaddingV,
                             textWidth + 2 * kBadgePaddingH,
                             badgeFont().lineSpacing() + 2 * kBadgePaddingV);
        fillRoundedRect(painter, capsule, capsule.height() / 2,
                        withOpacity(Theme::ink(), kBadgeFillOpacity));
        badgeFont().draw(painter,
                         QPointF(capsule.left() + kBadgePaddingH, capsule.top() + kBadgePaddingV),
                         digits, Theme::secondary());
        right = capsule.left();
    }
    const qreal titleX = kPaddingH + kSymbolFrame + kSpacing;
    const DesignFont& font = titleFont(highlighted_);
    font.draw(painter, QPointF(titleX, middle - font.lineSpacing() / 2),
              font.elided(toQString(item_.title()), right - titleX), look.colour);
}

}  // namespace velmora
