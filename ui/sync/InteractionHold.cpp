// The count of live holds per window, on the main thread, and who waits for it to reach zero.
#include "ui/sync/InteractionHold.hpp"

#include <QWidget>
#include <algorithm>

namespace velmora {

namespace {

constexpr const char* kObjectName = "velmora.interactionHolds";

}  // namespace

WindowHolds::WindowHolds(QObject* window) : QObject(window) {
    setObjectName(QString::fromLatin1(kObjectName));
}

WindowHolds* WindowHolds::find(const QWidget& widget) {
    return widget.window()->findChild<WindowHolds*>(QString::fromLatin1(kObjectName),
                                                    Qt::FindDirectChildrenOnly);
}

WindowHolds& WindowHolds::of(const QWidget& widget) {
    WindowHolds* existing = find(widget);
    return existing != nullptr ? *existing : *new WindowHolds(widget.window());
}

void WindowHolds::afterRelease(QObject& receiver, std::function<void()> then) {
    const bool waiting = std::any_of(waiting_.begin(), waiting_.end(), [&](const Waiter& waiter) {
        return waiter.receiver == &receiver;
    });
    if (!waiting) {
        waiting_.push_back({&receiver, std::move(then)});
    }
}

void WindowHolds::release() {
    if (--count_ > 0) {
        return;
    }
    // Taken out first: a waiter may hold again or ask to wait again.
    std::vector<Waiter> waiting = std::move(waiting_);
    waiting_.clear();
    for (const Waiter& waiter : waiting) {
        if (waiter.receiver) {
            waiter.then();
        }
    }
}

InteractionHold::InteractionHold(QWidget& holder) : holds_(&WindowHolds::of(holder)) {
    holds_->hold();
}

InteractionHold::~InteractionHold() {
    if (holds_) {
        holds_->release();
    }
}

bool InteractionHold::activeIn(const QWidget& widget) {
    const WindowHolds* holds = WindowHolds::find(widget);
    return holds != nullptr && holds->active();
}

}  // namespace velmora
