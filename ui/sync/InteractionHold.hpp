// Marks the user as in the middle of something (a slider knob held, a menu open). While any hold
// is alive, keyed lists keep their rows instead of rebuilding them, so the knob or menu is not
// deleted under the pointer; when the last hold ends, a sync postponed meanwhile runs.
//
//     std::optional<InteractionHold> hold_;   // hold_.emplace() on press, hold_.reset() on release
#pragma once

#include <QObject>

namespace velmora {

// Emits `released()` when the last hold ends.
class InteractionHoldNotifier : public QObject {
    Q_OBJECT
  signals:
    void released();
};

class InteractionHold {
  public:
    InteractionHold();
    ~InteractionHold();
    InteractionHold(const InteractionHold&) = delete;
    InteractionHold& operator=(const InteractionHold&) = delete;

    // Whether any hold is alive now.
    static bool active();

    static InteractionHoldNotifier& notifier();
};

}  // namespace velmora
