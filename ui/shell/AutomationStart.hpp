// The one place where the launch sequence starts the model's automation monitor.
#pragma once

namespace velmora {

class AppModel;

// The launch test also checks that the monitor runs after its step.
inline constexpr bool automationMonitorAvailable = true;

void startAutomationMonitor(AppModel& model);

}  // namespace velmora
