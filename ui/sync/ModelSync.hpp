// The one place where views follow the model. The model emits `objectWillChange` before every
// assignment (nine times for one refresh), so views never re-read inside the signal: the first
// emission of a burst queues one sync, which starts one SyncCache and hands it to every follower in
// the order they started following. Clicks therefore never rebuild the widget being clicked: the
// rebuild runs later, from the event loop, and old widgets go with deleteLater().
//
// A view follows with
//
//     ModelSync& sync = ModelSync::of(model);
//     sync.follow(this, [this](const SyncCache& now) { show(now); });
//     show(sync.cache());                        // what to show until the next sync
//
// and, on a click, re-reads the model and calls its operation (model.toggleTweak(tweak)); the
// widget then shows the result at the next sync. Lists use KeyedList to keep their rows.
//
// Rows and cards made per item (catalog rows, recipe cards, scene and rule rows) do not follow:
// the page that owns their list hands each sync down to them, so the rows of a page that is not
// on screen are not called, and they catch up when the page is synced as it comes back. The
// followers are the views that stand on their own (the window, the menu-bar panel), never a
// part of a page.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "ui/sync/SyncCache.hpp"

class QWidget;

namespace velmora {

class AppModel;

class ModelSync : public QObject {
    Q_OBJECT

  public:
    using Update = std::function<void(const SyncCache&)>;

    // The sync of `model`, made on first use as the model's child: the popover and the window
    // share it, and so share the reads of each sync.
    static ModelSync& of(AppModel& model);

    AppModel& model() const { return model_; }

    // The cache of the last sync; the first call makes one.
    const SyncCache& cache();

    // Calls `update` at every sync until `owner` is destroyed. Followers added during a sync are
    // first called at the next one (they have just shown the cache themselves).
    void follow(QObject* owner, Update update);

    // Queues a sync unless one is queued already.
    void schedule();
    // Runs the queued sync now, if there is one. Tests and benchmarks call it instead of spinning
    // the event loop.
    void flush();
    bool isPending() const { return pending_; }
    // How many followers are called at the next sync.
    std::size_t followerCount() const;
    // How many syncs have run.
    std::int64_t syncCount() const { return syncCount_; }

    // A list that could not rebuild because the user is holding a control in its window asks
    // for another sync once that window's holds end.
    void postponeRebuild(const QWidget& list);

  private:
    explicit ModelSync(AppModel& model);
    void run();

    struct Follower {
        QPointer<QObject> owner;
        Update update;
    };

    AppModel& model_;
    std::unique_ptr<SyncCache> cache_;
    // A deque: followers added during a sync must not move the ones being called.
    std::deque<Follower> followers_;
    bool pending_ = false;
    bool running_ = false;
    std::int64_t syncCount_ = 0;
};

}  // namespace velmora
