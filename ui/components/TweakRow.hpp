// The row of one catalog tweak: tile, title (with "ADVANCED" for advanced tweaks), summary, star,
// switch. The switch shows the tweak's state from the sync's cache (off when it cannot be
// read); a click re-reads the engine and asks the model for the opposite, so a tweak whose state
// cannot be read is switched on. Object names: rowNames::row, star and toggle.
#pragma once

#include "kit/Tweak.hpp"
#include "ui/components/SwitchRow.hpp"

namespace velmora {

class AppModel;

class TweakRow : public SwitchRow {
    Q_OBJECT

  public:
    TweakRow(AppModel& model, Tweak tweak, QWidget* parent = nullptr);

    const Tweak& tweak() const { return tweak_; }

    // Rows of one shape differ only in their texts (an advanced tweak's has its chip).
    static int shapeOf(const Tweak& tweak);
    // A stand-in row given the texts of `tweak`'s row of the same shape, to measure it.
    void relabel(const Tweak& tweak);

  private:
    AppModel& model_;
    Tweak tweak_;
};

}  // namespace velmora
