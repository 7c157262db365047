// What the automation monitor watches besides its timer: screens, wake and application launches.
#include "platform/qt/AutomationEvents.hpp"

namespace velmora {

AutomationEvents::~AutomationEvents() = default;

void AutomationEvents::watchLaunches(LaunchWatching /*watching*/) {}

}  // namespace velmora
