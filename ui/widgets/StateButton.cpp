// The owner-set state of a painted button.
#include "ui/widgets/StateButton.hpp"

namespace velmora {

StateButton::StateButton(QWidget* parent) : PaintedButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
}

void StateButton::setOn(bool on) {
    if (on != isChecked()) {
        setChecked(on);
        update();
    }
}

}  // namespace velmora
