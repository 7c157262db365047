// Starts the automation monitor of the shared model at launch.
#include "ui/shell/AutomationStart.hpp"

#include "ui/model/AppModel.hpp"

namespace velmora {

void startAutomationMonitor(AppModel& model) {
    model.startAutomationMonitor();
}

}  // namespace velmora
