// The row of one pmset power setting: grey tile, title with "ADMIN" (and "ADVANCED" for advanced
// settings), summary, star, switch. The switch is on when the model's pmset cache holds the
// setting's on value; a click asks the model to toggle it from the model's own current state.
// Object names: rowNames::row, star and toggle.
#pragma once

#include "kit/PowerTweak.hpp"
#include "ui/components/SwitchRow.hpp"

namespace velmora {

class AppModel;

class PowerToggleRow : public SwitchRow {
    Q_OBJECT

  public:
    static constexpr int tintIndex = 5;

    PowerToggleRow(AppModel& model, PowerTweak tweak, QWidget* parent = nullptr);

    const PowerTweak& tweak() const { return tweak_; }

  private:
    AppModel& model_;
    PowerTweak tweak_;
};

}  // namespace velmora
