// The focus ring of a control that is drawn around it rather than on it (a plain button with no
// bezel), laid over the control's window instead of over its parent or the viewport it scrolls
// in: a control that starts right at such an edge (the back button at the top of a recipe's
// page) keeps its whole ring. Where an edge cuts the control itself, the ring is cut there too.
//
//     ring->follow(button);   // on the button's focus in
//     ring->follow(nullptr);  // on its focus out
#pragma once

#include <QFocusFrame>
#include <QPointer>
#include <vector>

namespace velmora {

// A focus frame (so accessibility tools and the reading order pass over it, as over Qt's) that
// places and draws itself.
class RingAround : public QFocusFrame {
    Q_OBJECT

  public:
    explicit RingAround(QWidget* parent = nullptr);

    // Rings `target` from over its window; none hides the ring.
    void follow(QWidget* target);
    QWidget* target() const { return target_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void place();

    QPointer<QWidget> target_;
    // The target and the parents between it and its window: their moves move the ring.
    std::vector<QPointer<QWidget>> watched_;
    // The part of the ring shown, in the ring's own coordinates.
    QRect shown_;
};

}  // namespace velmora
