// Starts the automation monitor of the shared model at launch.
#include "ui/shell/AutomationStart.hpp"

#include "ui/model/AppModel.hpp"

namespace velmora {

void startAutomationMonitor([[maybe_unused]] AppModel& model) {
    // TO FILL IN with the automation monitor: model.startAutomationMonitor();
}

}  // namespace velmora
