// The one place where views follow the model. The model emits `objectWillChange` before every
// assignment (nine times for one refresh), so views never re-read inside the signal: the first
// emission of a burst queues one sync, which takes one Snapshot and hands it to every follower in
// the order they started following. Clicks therefore never rebuild the widget being clicked: the
// rebuild runs later, from the event loop, and old widgets go with deleteLater().
//
// A view follows with
//
//     ModelSync& sync = ModelSync::of(model);
//     sync.follow(this, [this](const Snapshot& now) { show(now); });
//     show(sync.snapshot());                       // what to show until the next sync
//
// and, on a click, re-reads the model and calls its operation (model.toggleTweak(tweak)); the
// widget then shows the result at the next sync. Lists use KeyedList to keep their rows.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "ui/sync/Snapshot.hpp"

namespace velmora {

class AppModel;

class ModelSync : public QObject {
    Q_OBJECT

  public:
    using Update = std::function<void(const Snapshot&)>;

    // The sync of `model`, made on first use as the model's child: the popover and the window
    // share it, and so share each snapshot.
    static ModelSync& of(AppModel& model);

    AppModel& model() const { return model_; }

    // The snapshot of the last sync; the first call takes one.
    const Snapshot& snapshot();

    // Calls `update` at every sync until `owner` is destroyed. Followers added during a sync are
    // first called at the next one (they have just shown the snapshot themselves).
    void follow(QObject* owner, Update update);

    // Queues a sync unless one is queued already.
    void schedule();
    // Runs the queued sync now, if there is one. Tests and benchmarks call it instead of spinning
    // the event loop.
    void flush();
    bool isPending() const { return pending_; }
    // How many syncs have run.
    std::int64_t syncCount() const { return syncCount_; }

    // A list that could not rebuild because the user is holding a control asks for another sync
    // once the hold ends.
    void postponeRebuild() { postponed_ = true; }

  private:
    explicit ModelSync(AppModel& model);
    void run();

    struct Follower {
        QPointer<QObject> owner;
        Update update;
    };

    AppModel& model_;
    std::unique_ptr<Snapshot> snapshot_;
    // A deque: followers added during a sync must not move the ones being called.
    std::deque<Follower> followers_;
    bool pending_ = false;
    bool postponed_ = false;
    bool running_ = false;
    std::int64_t syncCount_ = 0;
};

}  // namespace velmora
