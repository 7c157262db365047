// Tool tips, menus and the plain tool buttons drawn in the theme's colours and radii over Fusion;
// everything else is Fusion's with the light palette.
#include "ui/look/AppStyle.hpp"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextLayout>
#include <QTextOption>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/look/FocusRing.hpp"
#include "ui/look/Fonts.hpp"
#include "ui/look/RingAround.hpp"
#include "ui/look/RoundedShapes.hpp"
#include "ui/look/Symbols.hpp"
#include "ui/look/Theme.hpp"

namespace velmora {

namespace {

constexpr const char* kBaseStyle = "Fusion";
constexpr const char* kDestructiveProperty = "velmoraDestructive";
// Set on a tool button that has the plain look: the gap between its icon and its text.
constexpr const char* kButtonSpacingProperty = "velmoraButtonSpacing";
// And the room inside the outline of one that opens a menu.
constexpr const char* kButtonPaddingProperty = "velmoraButtonPadding";
// The up-down chevrons at the end of a button that opens a menu, and their size.
constexpr const char* kMenuChevron = "chevron.up.chevron.down";
constexpr qreal kMenuChevronSize = 8;
// Qt's points are 1/72 inch.
constexpr qreal kPointsPerInch = 72.0;
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

// A button's text as shown: "&&" is one "&", a lone "&" marks a mnemonic and is not shown.
QString withoutMnemonics(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

qreal naturalWidth(const QString& text, const QFont& font, const QTextOption& option) {
    QTextLayout layout(text, font);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line.isValid() ? line.naturalTextWidth() : 0;
}

// Qt draws a font at a whole pixel size (12.5 at 13) although the font keeps its fractional
// point size: the text is drawn with the font at the larger pixel size the views' own texts of
// that size use, through a painter scaled back down, so that it shares their engine. Gives that
// font and the factor.
std::pair<QFont, qreal> drawnFont(const QFont& font, qreal logicalDpiY) {
    const qreal pixels =
        font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * logicalDpiY / kPointsPerInch;
    const int drawnPixels = DesignFont::drawnPixels(font.family(), pixels);
    const qreal factor = pixels > 0 ? drawnPixels / pixels : 1;
    QFont drawn = font;
    drawn.setPixelSize(drawnPixels);
    if (font.letterSpacingType() == QFont::AbsoluteSpacing) {
        drawn.setLetterSpacing(QFont::AbsoluteSpacing, font.letterSpacing() * factor);
    }
    return {drawn, factor};
}

// The look a tool button was given: the gap between its parts and, for one that opens a menu,
// the room between its outline and its contents.
struct ButtonLook {
    qreal spacing = 0;
    qreal padding = 0;
};

// An auto-raised button without a menu has no bezel to lay its focus ring along.
bool ringsAround(const QStyleOptionToolButton& option) {
    return (option.state & QStyle::State_AutoRaise) != 0 &&
           (option.features & QStyleOptionToolButton::HasMenu) == 0;
}

// A plain tool button: the capsule unless auto-raised, the icon and the text centred together,
// the focus ring over them. One that opens a menu is outlined, starts its contents `padding`
// in, elides its text to the room left and ends with the up-down chevrons.
void paintButton(QPainter& painter, const QStyleOptionToolButton& option, const ButtonLook& look,
                 qreal logicalDpiY) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const bool opensMenu = (option.features & QStyleOptionToolButton::HasMenu) != 0;
    const QRectF frame(option.rect);
    const qreal radius = frame.height() / 2;
    if (opensMenu) {
        const qreal half = kOutlineWidth / 2;
        const QRectF capsule = frame.adjusted(half, half, -half, -half);
        drawRoundedShape(painter, capsule, capsule.height() / 2,
                         QPen(Theme::hairline(), kOutlineWidth),
                         option.palette.color(QPalette::Button));
    } else if ((option.state & QStyle::State_AutoRaise) == 0) {
        fillRoundedRect(painter, frame, radius, option.palette.color(QPalette::Button));
    }
    const bool hasIcon = !option.icon.isNull() && option.toolButtonStyle != Qt::ToolButtonTextOnly;
    const bool hasText = !option.text.isEmpty() && option.toolButtonStyle != Qt::ToolButtonIconOnly;
    QString text = hasText ? withoutMnemonics(option.text) : QString();
    // At the font's own fractional advances, as the design measures: whole-pixel advances would
    // make a text wider than the button sized for it.
    QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
    layout.setWrapMode(QTextOption::NoWrap);
    layout.setUseDesignMetrics(true);
    const qreal iconWidth = hasIcon ? option.iconSize.width() : 0;
    const auto [font, factor] = drawnFont(option.font, logicalDpiY);
    qreal textWidth = hasText ? naturalWidth(text, font, layout) / factor : 0;
    const qreal gap = hasIcon && hasText ? look.spacing : 0;
    const qreal chevron = Symbols::boxSide(kMenuChevronSize);
    qreal x = frame.left() + (frame.width() - iconWidth - gap - textWidth) / 2;
    if (opensMenu) {
        x = frame.left() + look.padding;
        const qreal room =
            frame.width() - 2 * look.padding - iconWidth - gap - look.spacing - chevron;
        if (hasText && textWidth > room) {
            text = QFontMetricsF(font).elidedText(text, Qt::ElideRight, room * factor);
            textWidth = naturalWidth(text, font, layout) / factor;
        }
    }
    if (hasIcon) {
        const qreal ratio =
            painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
        const QPixmap pixmap = option.icon.pixmap(option.iconSize, ratio, QIcon::Normal);
        // On whole pixels: a symbol's thin strokes smear at a fractional position.
        const QPointF topLeft(std::round(x),
                              std::round(frame.center().y() - option.iconSize.height() / 2.0));
        painter.drawPixmap(topLeft, pixmap);
        x += iconWidth + gap;
    }
    if (hasText) {
        painter.save();
        painter.translate(x, frame.top());
        painter.scale(1.0 / factor, 1.0 / factor);
        painter.setFont(font);
        painter.setPen(option.palette.color(QPalette::ButtonText));
        painter.drawText(QRectF(0, 0, textWidth * factor, frame.height() * factor), text, layout);
        painter.restore();
    }
    if (opensMenu) {
        Symbols::draw(painter,
                      QPointF(frame.right() + 1 - look.padding - chevron / 2, frame.center().y()),
                      kMenuChevronSize, kMenuChevron, Theme::faint());
    }
    // An auto-raised button's ring is the focus frame's, around it.
    if ((option.state & QStyle::State_HasFocus) != 0 && !ringsAround(option)) {
        focus::paintRing(painter, frame, radius);
    }
    painter.restore();
}

ButtonLook lookOf(const QWidget* widget) {
    const QVariant spacing =
        widget != nullptr ? widget->property(kButtonSpacingProperty) : QVariant();
    if (!spacing.isValid()) {
        return {};
    }
    return {spacing.toReal(), widget->property(kButtonPaddingProperty).toReal()};
}

bool hasButtonLook(const QWidget* widget) {
    return widget != nullptr && widget->property(kButtonSpacingProperty).isValid();
}

bool ringsAround(const QObject* object) {
    const auto* button = qobject_cast<const QToolButton*>(object);
    return button != nullptr && hasButtonLook(button) && button->autoRaise() &&
           button->menu() == nullptr;
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
    // Every widget's text is Inter; as the default too, the desktop's own font (and its shaping
    // tables) is never loaded for a widget that measures with the default before it gets its own.
    QApplication::setFont(DesignFont::inter(menuFontSize).approximate());
    QApplication::setFont(DesignFont::inter(menuFontSize).approximate(), "QMenu");
}

void AppStyle::useButtonLook(QToolButton& button, qreal spacing, qreal padding) {
    button.setProperty(kButtonSpacingProperty, spacing);
    button.setProperty(kButtonPaddingProperty, padding);
    button.update();
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
        case PM_FocusFrameHMargin:
        case PM_FocusFrameVMargin:
            return focus::ringRoom;
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
    if (hint == SH_FocusFrame_AboveWidget) {
        return 1;
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
    if (element == CE_FocusFrame) {
        focus::paintRing(*painter, option->rect, focus::plainRadius);
        return;
    }
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

void AppStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                  QPainter* painter, const QWidget* widget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionToolButton*>(option);
    if (control != CC_ToolButton || button == nullptr || !hasButtonLook(widget)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    paintButton(*painter, *button, lookOf(widget), widget->logicalDpiY());
}

QRect AppStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                               SubControl part, const QWidget* widget) const {
    if (control == CC_ToolButton && hasButtonLook(widget)) {
        // The whole button is one press that opens its menu: no separate arrow part, whose
        // press would open the menu in a loop of its own.
        return part == SC_ToolButtonMenu ? QRect() : option->rect;
    }
    return QProxyStyle::subControlRect(control, option, part, widget);
}

void AppStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    // Whether a button rings around is known only once it has its look and bezel: at the focus.
    if (qobject_cast<QToolButton*>(widget) != nullptr) {
        widget->installEventFilter(this);
    }
}

void AppStyle::unpolish(QWidget* widget) {
    widget->removeEventFilter(this);
    QProxyStyle::unpolish(widget);
}

bool AppStyle::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && ringsAround(watched)) {
        auto* button = static_cast<QToolButton*>(watched);
        if (!ringAround_) {
            ringAround_ = new RingAround(button->window());
        }
        ringAround_->follow(button);
    } else if (event->type() == QEvent::FocusOut && ringAround_ &&
               ringAround_->target() == watched) {
        ringAround_->follow(nullptr);
    }
    return QProxyStyle::eventFilter(watched, event);
}

void markDestructive(QAction& action) {
    action.setProperty(kDestructiveProperty, true);
}

bool isDestructive(const QAction& action) {
    return action.property(kDestructiveProperty).toBool();
}

}  // namespace velmora
