// The layers a card's surface is painted in, so that Qt paints nothing twice under a card.
//
// Qt paints nothing of what an opaque widget covers: neither the window's paper nor the canvas
// under a card, nor the card's own surface there. A card's surface is not opaque as a whole (its
// corners are round), so its middle is a child of its own, under everything the card holds, that
// fills the card's colour; the card paints the rest of its surface around it. A card that paints
// its contents itself paints them in a content layer above the middle.
//
//     middle_ = new SurfaceMiddle(*this);                      // first child, or lower() it
//     middle_->fit(rect(), radius, SurfaceMiddle::kEdgeInset); // in resizeEvent
#pragma once

#include <QWidget>
#include <functional>

namespace velmora {

class SurfaceMiddle : public QWidget {
  public:
    // Clear of the edge by two points: at a fractional pixel ratio the edge falls inside a pixel
    // the surface covers only in part, and Qt rounds a child's place on the screen to whole
    // pixels, which may take the middle most of a pixel further out.
    static constexpr int kEdgeInset = 2;

    explicit SurfaceMiddle(QWidget& card);

    // Covers `card` clear of its rounded corners and `sideInset` in from its sides; never hidden,
    // only emptied where the card is too short, as showing a widget again lays out its parent
    // once more.
    void fit(const QRect& card, qreal radius, int sideInset);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// A transparent layer over the middle that paints what `paint` draws, in the card's coordinates;
// it takes no mouse events or focus, and screen readers do not see it.
class ContentLayer : public QWidget {
  public:
    ContentLayer(QWidget& card, std::function<void(QPainter&)> paint);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::function<void(QPainter&)> paint_;
};

}  // namespace velmora
