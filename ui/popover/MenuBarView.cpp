// The popover's panel, still without its sections: a fixed-width surface holding the model.
#include "ui/popover/MenuBarView.hpp"

namespace velmora {

MenuBarView::MenuBarView(AppModel& shared, QWidget* parent) : QWidget(parent), model(shared) {
    setFixedWidth(panelWidth);
}

}  // namespace velmora
