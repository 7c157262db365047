// The sheets the window presents: the onboarding questionnaire and the scene editor.
#include <QDialog>

#include "ui/window/MainWindow.hpp"

namespace velmora {

MainWindow::SheetFactory MainWindow::defaultSheets() {
    // Neither sheet's view exists yet: asking for one shows nothing.
    return [](Sheet /*sheet*/, MainWindow& /*window*/, std::function<void()> /*close*/) {
        return static_cast<QDialog*>(nullptr);
    };
}

}  // namespace velmora
