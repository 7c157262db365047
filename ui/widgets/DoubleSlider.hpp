// A horizontal slider over doubles (min + i × step) that writes as often as a user means to and
// no more. `committed` comes once when a drag ends (pressing and releasing the knob without moving
// it too), once per keyboard step, and once for a press on the groove, which jumps the knob there
// and can go on as a drag. The wheel moves it only while it has keyboard focus; otherwise the
// wheel scrolls the page around it. setDoubleValue() never commits. While the knob is held it
// keeps an InteractionHold, so the list around it is not rebuilt mid-drag. Tools read its value
// as the number it stands for and as the text the view shows for it (setValueText), not as the
// knob's position.
//
//     auto* slider = new DoubleSlider(spec.min, spec.max, spec.step);
//     slider->setDoubleValue(current);
//     connect(slider, &DoubleSlider::moved, this, showValueText);
//     connect(slider, &DoubleSlider::committed, this, [this](double v) { model.setSliderValue(spec,
//     v); });
//     slider->setValueText([spec](double v) { return toQString(spec.display(v)); });
#pragma once

#include <QSlider>
#include <functional>
#include <memory>

namespace velmora {

class InteractionHold;

class DoubleSlider : public QSlider {
    Q_OBJECT

  public:
    // Requires min ≤ max; a step of zero or less, or one too fine, is treated as continuous.
    DoubleSlider(double min, double max, double step, QWidget* parent = nullptr);
    ~DoubleSlider() override;

    double doubleValue() const;
    // Moves the knob to the step nearest `value` (clamped to the range) without signals.
    void setDoubleValue(double value);
    // Moves the knob to the step nearest `value` as a user does: with `moved` and `committed`.
    void moveTo(double value);

    double minimumValue() const { return min_; }
    double maximumValue() const { return max_; }
    double step() const { return step_; }

    // How the view shows a value ("48px"); the plain number until one is set.
    void setValueText(std::function<QString(double)> text);
    QString valueText() const;

  signals:
    // Every value the user moves it to, while dragging too.
    void moved(double value);
    // A value the user settled on.
    void committed(double value);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    // The slider position under the pointer's x.
    int positionAt(int x) const;

    double min_;
    double max_;
    double step_;
    std::function<QString(double)> valueText_;
    bool jumping_ = false;
    std::unique_ptr<InteractionHold> hold_;
};

}  // namespace velmora
