// A painted button that is on or off as its owner says. Accessibility tools see it as checkable,
// with its state, but a click never flips it: it emits clicked(), the owner changes what the
// button stands for and sets the state the button then shows.
//
//     auto* row = new CheckRow(...);            // a StateButton
//     connect(row, &QAbstractButton::clicked, this, [this] { flip(id); row->setOn(has(id)); });
#pragma once

#include "ui/widgets/PaintedButton.hpp"

namespace velmora {

class StateButton : public PaintedButton {
    Q_OBJECT

  public:
    explicit StateButton(QWidget* parent = nullptr);

    bool isOn() const { return isChecked(); }
    // Repaints when the state changes.
    void setOn(bool on);

  protected:
    // The state follows the owner, never the click.
    void nextCheckState() override {}
};

}  // namespace velmora
