// The row of one numeric preference: tile, title with the value text on the right, summary, and
// a slider. The first time the row is shown it reads the stored value (an integer or a finite
// double; otherwise the slider's default); later showings keep what it last held, but a change
// the model made since (a scene, a rule firing) is read again at the next sync unless the knob is
// held, so that a nudge of the knob starts from what is stored. A drag
// writes nothing until it ends, then writes once, even an unchanged value; a keyboard step or a
// click on the groove writes once; the wheel writes only when the slider has focus. Object
// names: rowNames::row, slider and value.
#pragma once

#include <QWidget>

#include <cstdint>

#include "kit/SliderTweak.hpp"

namespace velmora {

class AppModel;
class DoubleSlider;
class SyncCache;
class TextLabel;

class SliderRow : public QWidget {
    Q_OBJECT

  public:
    SliderRow(AppModel& model, SliderTweak slider, QWidget* parent = nullptr);

    const SliderTweak& sliderTweak() const { return slider_; }
    double value() const { return value_; }
    bool isLoaded() const { return loaded_; }
    DoubleSlider& slider() const { return *control_; }

    // Reads the stored value again once the model has changed the system since the last read.
    void follow(const SyncCache& now);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void load();
    void showValue(double value);

    AppModel& model_;
    SliderTweak slider_;
    double value_ = 0;
    bool loaded_ = false;
    std::int64_t loadedRevision_ = 0;  // the model's revision when the value was last read
    TextLabel* valueText_;
    DoubleSlider* control_;
};

}  // namespace velmora
