// The base of every button that paints its own look (rows, cards, apply pills, stars, tiles);
// plain and menu buttons are tool buttons drawn by the style instead. What all of them share
// comes from here rather than from each paintEvent: the focus ring over the look while the button
// has the keyboard focus, and a repaint when the focus comes or goes.
//
//     class StarButton : public PaintedButton { ... };
//     StarButton::StarButton() { setFocusShape(FocusShape::round); }
#pragma once

#include <QAbstractButton>

namespace velmora {

class PaintedButton : public QAbstractButton {
    Q_OBJECT

  public:
    // The outline the ring follows: the button's rectangle with rounded corners, a capsule (the
    // ends rounded by half the height), a circle (the largest one centred), or none because the
    // button draws a ring of its own (the switch rings its track).
    enum class FocusShape { rounded, capsule, round, own };

    explicit PaintedButton(QWidget* parent = nullptr);

    // The rectangle the ring follows, in the button's coordinates.
    QRectF focusFrame() const;

  protected:
    // `radius` applies to FocusShape::rounded; `inset` takes the ring off the button's edges
    // (a card whose surface is smaller than the button).
    void setFocusShape(FocusShape shape, qreal radius = 0, qreal inset = 0);

    bool event(QEvent* event) override;

  private:
    FocusShape shape_ = FocusShape::rounded;
    qreal radius_;
    qreal inset_ = 0;
};

}  // namespace velmora
