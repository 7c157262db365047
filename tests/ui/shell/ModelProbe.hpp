// What the shell tests read of the shared model: its refresh count and its open-window hook.
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
