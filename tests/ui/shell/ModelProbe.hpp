// What the shell tests read of the shared model: its refresh count, its monitor and its hook.
#pragma once

#include "ui/model/AppModel.hpp"

namespace velmora::test {

inline AppModel& model() {
    return AppModel::shared();
}

// Every refresh counts one revision.
inline long long revision() {
    return static_cast<long long>(model().revision());
}

// The monitor's repeating timer exists once it runs.
inline bool monitorRunning() {
    return model().automationTimer != nullptr;
}

inline bool hookInstalled() {
    return static_cast<bool>(model().requestOpenWindow);
}

// The popover's "Open Velmora" button: calls the hook when one is installed.
inline void pressOpenVelmora() {
    if (hookInstalled()) {
        model().requestOpenWindow();
    }
}

inline void removeHook() {
    model().requestOpenWindow = {};
}

}  // namespace velmora::test
