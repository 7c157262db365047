// The row of one numeric preference: tile, title with the value text on the right, summary, and
// a slider. The first time the row is shown it reads the stored value once (an integer or a
// finite double; otherwise the slider's default); later showings keep what it last held. A drag
// writes nothing until it ends, then writes once, even an unchanged value; a keyboard step or a
// click on the groove writes once; the wheel writes only when the slider has focus. Object
// names: rowNames::row, slider and value.
#pragma once

#include <QWidget>

#include "kit/SliderTweak.hpp"

namespace velmora {

class AppModel;
class DoubleSlider;
class TextLabel;

class SliderRow : public QWidget {
    Q_OBJECT

  public:
    SliderRow(AppModel& model, SliderTweak slider, QWidget* parent = nullptr);

    const SliderTweak& sliderTweak() const { return slider_; }
    double value() const { return value_; }
    bool isLoaded() const { return loaded_; }
    DoubleSlider& slider() const { return *control_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void showValue(double value);

    AppModel& model_;
    SliderTweak slider_;
    double value_ = 0;
    bool loaded_ = false;
    TextLabel* valueText_;
    DoubleSlider* control_;
};

}  // namespace velmora
