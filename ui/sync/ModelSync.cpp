// Coalescing of the model's change signal into one deferred sync per burst.
#include "ui/sync/ModelSync.hpp"

#include <algorithm>

#include "ui/model/AppModel.hpp"
#include "ui/sync/InteractionHold.hpp"

namespace velmora {

namespace {

constexpr const char* kObjectName = "velmora.modelSync";

}  // namespace

ModelSync::ModelSync(AppModel& model) : QObject(&model), model_(model) {
    setObjectName(QString::fromLatin1(kObjectName));
    connect(&model, &AppModel::objectWillChange, this, &ModelSync::schedule);
}

ModelSync& ModelSync::of(AppModel& model) {
    auto* existing =
        model.findChild<ModelSync*>(QString::fromLatin1(kObjectName), Qt::FindDirectChildrenOnly);
    return existing != nullptr ? *existing : *new ModelSync(model);
}

const SyncCache& ModelSync::cache() {
    if (!cache_) {
        cache_ = std::make_unique<SyncCache>(model_);
    }
    return *cache_;
}

void ModelSync::follow(QObject* owner, Update update) {
    followers_.push_back({owner, std::move(update)});
}

void ModelSync::postponeRebuild(const QWidget& list) {
    if (WindowHolds* holds = WindowHolds::find(list)) {
        holds->afterRelease(*this, [this] { schedule(); });
    }
}

std::size_t ModelSync::followerCount() const {
    return static_cast<std::size_t>(
        std::count_if(followers_.begin(), followers_.end(),
                      [](const Follower& follower) { return !follower.owner.isNull(); }));
}

void ModelSync::schedule() {
    if (pending_) {
        return;
    }
    pending_ = true;
    QMetaObject::invokeMethod(this, &ModelSync::run, Qt::QueuedConnection);
}

void ModelSync::flush() {
    if (pending_) {
        run();
    }
}

void ModelSync::run() {
    // A queued call left over after flush() ran the sync, or a sync asked for from inside one.
    if (!pending_ || running_) {
        return;
    }
    pending_ = false;
    running_ = true;
    ++syncCount_;
    cache_ = std::make_unique<SyncCache>(model_);
    const SyncCache& now = *cache_;
    // By index and up to the count at the start: followers may be added while others update.
    const std::size_t count = followers_.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (followers_[i].owner) {
            followers_[i].update(now);
        }
    }
    followers_.erase(std::remove_if(followers_.begin(), followers_.end(),
                                    [](const Follower& follower) { return !follower.owner; }),
                     followers_.end());
    running_ = false;
}

}  // namespace velmora
