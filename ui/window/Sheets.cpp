// The sheets the window presents: the onboarding questionnaire and the scene editor.
#include "ui/sheets/OnboardingDialog.hpp"
#include "ui/sheets/SceneEditorDialog.hpp"
#include "ui/window/MainWindow.hpp"

namespace velmora {

MainWindow::SheetFactory MainWindow::defaultSheets() {
    return [](Sheet sheet, MainWindow& window, std::function<void()> close) -> QDialog* {
        if (sheet == Sheet::onboarding) {
            return new OnboardingDialog(window.model, std::move(close), &window);
        }
        // The scene the scenes list chose ("Edit…"), or none for "+".
        return new SceneEditorDialog(window.model, window.state().editorTarget, std::move(close),
                                     &window);
    };
}

}  // namespace velmora
