// The one place where the launch sequence starts the model's automation monitor.
#pragma once

namespace velmora {

class AppModel;

// TO FILL IN with the automation monitor: set this to true and call
// model.startAutomationMonitor() in AutomationStart.cpp. The launch test then also checks that
// the monitor runs after its step.
inline constexpr bool automationMonitorAvailable = false;

void startAutomationMonitor(AppModel& model);

}  // namespace velmora
