// The card surface every card stands on: a rounded rectangle in Theme::card with a soft shadow in
// Theme::shadow (by default blurred 3 and moved 1.5 down). A shadow falls outside its widget, so
// the parent paints it before its children paint: put cards directly in a CardCanvas (its own
// layout or children). A card outside a canvas simply has no shadow.
//
//     auto* canvas = new CardCanvas;                 // the page, or the grid holding the cards
//     auto* grid = new QGridLayout(canvas);
//     grid->addWidget(new Card(Card::listRadius), 0, 0);
#pragma once

#include <QRectF>
#include <QWidget>

class QPainter;

namespace velmora {

class SurfaceMiddle;

// How a card's shadow looks now; a hovered card may return a larger one.
struct CardShadow {
    qreal radius;   // corner radius of the card
    qreal blur;     // how far the shadow spreads around the card
    qreal offsetY;  // how far it is moved down
};

// A widget that stands on the card surface implements this, and the canvas it sits on paints its
// shadow. When the shadow changes, call CardCanvas::shadowChanged(*this, shadowBefore).
class ShadowCaster {
  public:
    virtual ~ShadowCaster() = default;
    virtual CardShadow cardShadow() const = 0;
    // Whether the shadow is passing between two looks (a frame of a hover): its picture is then
    // drawn for the frame alone, not kept as the looks at rest are.
    virtual bool shadowPassing() const { return false; }
};

// The surface alone, and a soft shadow of a rounded rectangle.
void paintCardSurface(QPainter& painter, const QRectF& rect, qreal radius);
void paintSoftShadow(QPainter& painter, const QRectF& rect, const CardShadow& shadow);

// A plain card: the surface with its shadow, holding whatever layout is given to it. The opaque
// middle of its surface is a child widget of its own, under all the others, so that what lies
// beneath the card is not painted there first.
class Card : public QWidget, public ShadowCaster {
    Q_OBJECT

  public:
    static constexpr qreal listRadius = 14;  // list and setting cards
    static constexpr qreal gridRadius = 15;  // recipe cards in a grid
    static constexpr qreal restingBlur = 3;
    static constexpr qreal restingOffsetY = 1.5;

    explicit Card(qreal radius = listRadius, QWidget* parent = nullptr);

    CardShadow cardShadow() const override { return {radius_, restingBlur, restingOffsetY}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    qreal radius_;
    SurfaceMiddle* middle_;
};

// Paints the shadows of its direct children that cast one, under them.
class CardCanvas : public QWidget {
    Q_OBJECT

  public:
    explicit CardCanvas(QWidget* parent = nullptr);

    // Repaints the canvas around `card` after its shadow changed from `before` (a hover ended).
    static void shadowChanged(QWidget& card, const CardShadow& before);
    // The area a shadow can touch around `rect`.
    static QRect shadowBounds(const QRect& rect, const CardShadow& shadow);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Cards that move, resize, show or hide take their shadow with them.
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace velmora
