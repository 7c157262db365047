// Tool tips and menus drawn in the theme's colours and radii over Fusion; everything else is
// Fusion's with the light palette.
#include "ui/look/AppStyle.hpp"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolTip>

#include "ui/look/Fonts.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr const char* kBaseStyle = "Fusion";
constexpr const char* kDestructiveProperty = "velmoraDestructive";
// The desktop's red for actions that destroy something.
constexpr QRgb kDestructiveRed = qRgb(0xD7, 0x37, 0x2C);
constexpr qreal kOutlineWidth = 1;
// Room between a tool tip's edge and its text.
constexpr int kTipFrameWidth = 6;
// Room between a menu's edge and its items, so the rounded corners cut no item.
constexpr int kMenuMargin = 4;
// A chosen menu item's highlight sits this far inside the panel's sides, rounded like a chip.
constexpr qreal kHighlightInset = 4;
constexpr qreal kHighlightRadius = 5;
// A menu separator's line keeps this far from the panel's sides.
constexpr int kSeparatorInset = 10;

QRegion roundedRegion(const QRect& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(rect), radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}

// Paper with a hairline edge, rounded: the panel of a tool tip or a menu.
void paintPanel(QPainter& painter, const QRect& rect, qreal radius, bool fill, bool edge) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF inner = QRectF(rect).adjusted(kOutlineWidth / 2, kOutlineWidth / 2,
                                               -kOutlineWidth / 2, -kOutlineWidth / 2);
    painter.setPen(edge ? QPen(Theme::hairline(), kOutlineWidth) : QPen(Qt::NoPen));
    painter.setBrush(fill ? QBrush(Theme::paper()) : QBrush(Qt::NoBrush));
    painter.drawRoundedRect(inner, radius, radius);
    painter.restore();
}

const QAction* actionOf(const QStyleOption& option, const QWidget* widget) {
    const auto* menu = qobject_cast<const QMenu*>(widget);
    return menu != nullptr ? menu->actionAt(option.rect.center()) : nullptr;
}

}  // namespace

AppStyle::AppStyle() : QProxyStyle(QStyleFactory::create(QString::fromLatin1(kBaseStyle))) {}

void AppStyle::install() {
    QApplication::setStyle(new AppStyle);
    QApplication::setPalette(Theme::lightPalette());
    QPalette tips = Theme::lightPalette();
    tips.setColor(QPalette::ToolTipBase, Theme::paper());
    tips.setColor(QPalette::ToolTipText, Theme::ink());
    QToolTip::setPalette(tips);
    QToolTip::setFont(DesignFont::inter(tipFontSize).approximate());
    QApplication::setFont(DesignFont::inter(menuFontSize).approximate(), "QMenu");
}

QColor AppStyle::destructive() {
    return QColor::fromRgb(kDestructiveRed);
}

int AppStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                          const QWidget* widget) const {
    switch (metric) {
        case PM_ToolTipLabelFrameWidth:
            return kTipFrameWidth;
        case PM_MenuPanelWidth:
            return static_cast<int>(kOutlineWidth);
        case PM_MenuHMargin:
        case PM_MenuVMargin:
            return kMenuMargin;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int AppStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                        QStyleHintReturn* returnData) const {
    if ((hint == SH_ToolTip_Mask || hint == SH_Menu_Mask) && option != nullptr) {
        // Top-level windows cannot be see-through everywhere (no compositor, say): the corners
        // are cut off instead.
        if (auto* mask = qstyleoption_cast<QStyleHintReturnMask*>(returnData)) {
            mask->region =
                roundedRegion(option->rect, hint == SH_ToolTip_Mask ? tipRadius : menuRadius);
            return 1;
        }
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void AppStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                             QPainter* painter, const QWidget* widget) const {
    switch (element) {
        case PE_PanelTipLabel:
            paintPanel(*painter, option->rect, tipRadius, true, true);
            return;
        case PE_PanelMenu:
            paintPanel(*painter, option->rect, menuRadius, true, false);
            return;
        case PE_FrameMenu:
            // Drawn over the items, so an item's highlight never covers the edge.
            paintPanel(*painter, option->rect, menuRadius, false, true);
            return;
        default:
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void AppStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                           const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || item == nullptr) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        painter->save();
        painter->setPen(QPen(Theme::hairline(), kOutlineWidth));
        const int middle = item->rect.center().y();
        painter->drawLine(item->rect.left() + kSeparatorInset, middle,
                          item->rect.right() - kSeparatorInset, middle);
        painter->restore();
        return;
    }
    const QAction* action = actionOf(*option, widget);
    const bool destroys = action != nullptr && isDestructive(*action);
    const bool enabled = (item->state & State_Enabled) != 0;
    const bool chosen = (item->state & State_Selected) != 0 && enabled;
    QStyleOptionMenuItem shown(*item);
    QColor text = destroys ? destructive() : Theme::ink();
    if (chosen) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(destroys ? destructive() : Theme::accent());
        painter->drawRoundedRect(
            QRectF(item->rect).adjusted(kHighlightInset, 0, -kHighlightInset, 0), kHighlightRadius,
            kHighlightRadius);
        painter->restore();
        shown.state &= ~State_Selected;
        text = Theme::card();
    }
    if (enabled) {
        for (QPalette::ColorRole role :
             {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
            shown.palette.setColor(role, text);
        }
    }
    QProxyStyle::drawControl(element, &shown, painter, widget);
}

void markDestructive(QAction& action) {
    action.setProperty(kDestructiveProperty, true);
}

bool isDestructive(const QAction& action) {
    return action.property(kDestructiveProperty).toBool();
}

}  // namespace velmora
