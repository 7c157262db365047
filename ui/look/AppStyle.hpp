// The application's one look for what Qt draws itself: Fusion underneath, with tool tips and
// menus on the theme's paper in ink, edged with its hairline and rounded like the cards, a
// destructive menu item in red, and the light palette and Inter fonts set for the whole
// application; and the look of the application's plain tool buttons. Installed once at launch (and
// by the interface tests), before any window shows:
//
//     AppStyle::install();
//     markDestructive(*menu->addAction(QStringLiteral("Delete")));
//     AppStyle::useButtonLook(*button, 4);
#pragma once

#include <QColor>
#include <QPointer>
#include <QProxyStyle>

class QAction;
class QToolButton;

namespace velmora {

class RingAround;

class AppStyle : public QProxyStyle {
    Q_OBJECT

  public:
    // Corner radii of a tool tip and of a menu's panel.
    static constexpr int tipRadius = 6;
    static constexpr int menuRadius = 8;
    // Design sizes of the tool tip's and the menus' text.
    static constexpr qreal tipFontSize = 11.5;
    static constexpr qreal menuFontSize = 12.5;

    AppStyle();

    // The style, the light palette and the fonts of tool tips and menus, for the application.
    static void install();

    // Gives `button` the application's plain look: its icon and text in the palette's button-text
    // colour, `spacing` apart and centred together, the text as written in the button's own
    // font; no bezel while it is auto-raised (hovering changes nothing), otherwise a capsule
    // filled with the palette's button colour (the disabled group's while disabled); and the
    // focus ring while it has the keyboard focus: along the capsule, or around an auto-raised
    // button, clear of its text, over whatever lies beside it. A button with a menu is
    // outlined on the palette's button colour instead, its contents `padding` in from its ends,
    // its text elided to the room left, and the up-down chevrons at its end; the whole button
    // is one press, which the button answers by opening its menu.
    static void useButtonLook(QToolButton& button, qreal spacing, qreal padding = 0);

    // The red of an action that destroys something ("Delete"), as the desktop marks it.
    static QColor destructive();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget = nullptr) const override;
    void polish(QWidget* widget) override;
    void unpolish(QWidget* widget) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Follows the auto-raised button that has the keyboard focus, over its window, so a button
    // at its parent's or its viewport's edge keeps its whole ring.
    QPointer<RingAround> ringAround_;
};

// Shows `action` with the destructive look in any menu; put it last, after a separator.
void markDestructive(QAction& action);
bool isDestructive(const QAction& action);

}  // namespace velmora
