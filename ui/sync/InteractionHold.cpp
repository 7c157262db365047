// The count of live holds, on the main thread.
#include "ui/sync/InteractionHold.hpp"

namespace velmora {

namespace {

int& liveHolds() {
    static int count = 0;
    return count;
}

}  // namespace

InteractionHold::InteractionHold() {
    ++liveHolds();
}

InteractionHold::~InteractionHold() {
    if (--liveHolds() == 0) {
        emit notifier().released();
    }
}

bool InteractionHold::active() {
    return liveHolds() > 0;
}

InteractionHoldNotifier& InteractionHold::notifier() {
    static InteractionHoldNotifier instance;
    return instance;
}

}  // namespace velmora
