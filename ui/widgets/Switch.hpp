// The design's on/off switch, painted: a capsule track in the accent colour when on, a white knob.
// It shows the state it is given and never flips itself: a click (or Space) emits clicked(), the
// owner re-reads the model and asks it to change, and the switch shows the model's answer at the
// next sync. Its size hint is the unscaled switch; it is drawn at 0.82 of that about its centre,
// as the design scales it. Accessibility tools see a checkable button, on or off, named by its
// owner (setAccessibleName with the row's title).
//
//     auto* toggle = new Switch;
//     connect(toggle, &Switch::clicked, this, [this] { model.toggleTweak(tweak); });
//     toggle->setOn(now.isOn(tweak));
#pragma once

#include "ui/widgets/StateButton.hpp"

class QPainter;

namespace velmora {

class Switch : public StateButton {
    Q_OBJECT

  public:
    static constexpr QSize naturalSize{38, 22};
    static constexpr qreal drawnScale = 0.82;

    explicit Switch(QWidget* parent = nullptr);

    QSize sizeHint() const override { return naturalSize; }

    // Paints the track and knob at natural size × `scale` about `centre`, as every switch of the
    // design is drawn (LabelledSwitch draws its own through it).
    static void paintTrack(QPainter& painter, const QPointF& centre, qreal scale, bool on,
                           bool focused);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace velmora
