// The main window's root view, still without pages: it only holds the model and its minimum size.
#include "ui/window/MainWindow.hpp"

namespace velmora {

MainWindow::MainWindow(AppModel& shared, QWidget* parent) : QWidget(parent), model(shared) {
    setMinimumSize(minimumWidth, minimumHeight);
}

}  // namespace velmora
