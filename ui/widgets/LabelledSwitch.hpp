// A switch with its label before it, the pair drawn smaller than its natural size about its
// centre (the design scales some toggles as a whole, label included). Like Switch it shows the
// state it is given and never flips itself: a click anywhere on it emits clicked(), and the owner
// decides. Its size hint is the unscaled pair, as the design's scaling is visual only.
// Accessibility tools see a checkable button named by the label.
//
//     auto* advanced = new LabelledSwitch(QStringLiteral("Advanced"), DesignFont::inter(12), 0.85);
//     connect(advanced, &LabelledSwitch::clicked, this, [this] { flipAdvanced(); });
//     advanced->setOn(state.showAdvanced);
#pragma once

#include "ui/look/Fonts.hpp"
#include "ui/widgets/StateButton.hpp"

namespace velmora {

class LabelledSwitch : public StateButton {
    Q_OBJECT

  public:
    // The platform's gap between a toggle's label and its switch.
    static constexpr qreal labelGap = 8;

    LabelledSwitch(const QString& label, DesignFont font, qreal scale, QWidget* parent = nullptr);

    const QString& label() const { return label_; }
    // Where the label's baseline lies in the unscaled pair, from the widget's top: the point a
    // row aligns on.
    qreal baseline() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString label_;
    DesignFont font_;
    qreal scale_;
};

}  // namespace velmora
