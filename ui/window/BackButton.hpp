// "‹ Home": the button at the top of the recipe and On-now pages that leads back to the page the
// user came from. It changes only the selection.
#pragma once

#include "ui/widgets/LabelButton.hpp"
#include "ui/window/NavItem.hpp"

namespace velmora {

class MainWindow;

class BackButton : public LabelButton {
    Q_OBJECT

  public:
    BackButton(MainWindow& window, NavItem target, QWidget* parent = nullptr);

    const NavItem& target() const { return target_; }
    // The page keeps it current at every sync (the back target changes while the page stays).
    void setTarget(const NavItem& target);

  private:
    NavItem target_;
};

}  // namespace velmora
