// Views follow the model through one deferred sync per burst, one cache of engine reads per sync,
// and lists that keep their rows while their ids stay the same and while the user holds a control.
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "tests/ui/ViewTest.hpp"
#include "ui/sync/InteractionHold.hpp"
#include "ui/sync/KeyedList.hpp"
#include "ui/sync/ModelSync.hpp"

namespace velmora::testing {
namespace {

class ModelSyncTest : public ViewTest {
  protected:
    std::unique_ptr<AppModel> model = make(Catalog({tweak("t-a"), tweak("t-b")}, {}));
    ModelSync& sync = ModelSync::of(*model);
    const Tweak& a = model->catalog().tweaks()[0];
    QWidget owner;
};

TEST_F(ModelSyncTest, ABurstIsOneDeferredSyncWhoseCacheIsReadOncePerTweakAndShared) {
    std::vector<bool> seen;
    for (int follower = 0; follower < 3; ++follower) {
        sync.follow(&owner, [&](const SyncCache& shown) { seen.push_back(shown.isOn(a)); });
    }
    EXPECT_EQ(&ModelSync::of(*model), &sync) << "the popover and the window share one";

    const std::int64_t before = sync.syncCount();
    model->setTweak(a, true);  // ten emissions
    EXPECT_TRUE(seen.empty()) << "nothing is read inside the signal";
    prefs->reads.clear();
    settle();
    EXPECT_EQ(sync.syncCount(), before + 1);
    // Read after the assignments, not at the first emission (which comes before them).
    EXPECT_EQ(seen, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(prefs->reads["t-a"], 1) << "one engine read for three views";
    EXPECT_EQ(prefs->reads["t-b"], 0) << "nobody asked";

    prefs->unreadable.insert("t-a");
    model->refresh();
    settle();
    EXPECT_FALSE(sync.cache().isOn(a)) << "a read that fails counts as off";
}

TEST_F(ModelSyncTest, FollowersEndWithTheirOwnerAndThoseAddedDuringASyncWaitForTheNext) {
    int early = 0, late = 0, gone = 0;
    auto shortLived = std::make_unique<QObject>();
    sync.follow(shortLived.get(), [&](const SyncCache&) { ++gone; });
    sync.follow(&owner, [&](const SyncCache&) {
        if (++early == 1) {
            sync.follow(&owner, [&](const SyncCache&) { ++late; });
        }
    });
    shortLived.reset();
    model->refresh();
    settle();
    EXPECT_EQ(std::tuple(early, late, gone), std::tuple(1, 0, 0));
    model->refresh();
    settle();
    EXPECT_EQ(std::tuple(early, late, gone), std::tuple(2, 1, 0));
}

// A follower whose update changes the model and flushes: the sync it asks for runs once the
// current one has ended, never inside it (followers further on would see two caches at once).
TEST_F(ModelSyncTest, ASyncAskedForDuringASyncRunsAfterItNotInsideIt) {
    int depth = 0;
    int deepest = 0;
    std::vector<bool> seen;
    sync.follow(&owner, [&](const SyncCache& shown) {
        deepest = std::max(deepest, ++depth);
        seen.push_back(shown.isOn(a));
        if (seen.size() == 1) {
            model->setTweak(a, true);
            sync.flush();
        }
        --depth;
    });
    const std::int64_t before = sync.syncCount();
    model->refresh();
    settle();
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));
    EXPECT_EQ(sync.syncCount(), before + 2);
    EXPECT_FALSE(sync.isPending());
}

// Rows shown top to bottom: a widened search keeps its rows and puts each new one in its place.
TEST_F(ModelSyncTest, AWidenedListKeepsItsRowsAndShowsEveryRowInItsPlace) {
    KeyedList list(sync);
    const auto show = [&](const std::vector<std::string>& ids) {
        list.showKeeping(ids, [&](std::size_t i) {
            auto* row = new QLabel(QString::fromStdString(ids[i]));
            row->setObjectName(QStringLiteral("row"));
            return row;
        });
        settle();
    };
    const auto topToBottom = [&] {
        QList<QLabel*> rows = list.findChildren<QLabel*>(QStringLiteral("row"));
        rows.removeIf([](const QLabel* row) { return !row->isVisible(); });
        std::sort(rows.begin(), rows.end(),
                  [](const QLabel* x, const QLabel* y) { return x->y() < y->y(); });
        std::string shown;
        for (const QLabel* row : rows) {
            shown += row->text().toStdString();
        }
        return shown;
    };
    show({"b", "d"});
    showOnPaper(list);
    const QPointer<QWidget> b = list.rows()[0];
    show({"a", "b", "c", "d", "e"});
    EXPECT_EQ(topToBottom(), "abcde");
    EXPECT_EQ(list.rows()[1], b.data()) << "kept";
    show({"e", "c", "a"});
    EXPECT_EQ(topToBottom(), "eca");
    EXPECT_TRUE(b.isNull());
}

TEST_F(ModelSyncTest, AListKeepsItsRowsForTheSameIdsAndRebuildsOnlyWhenNothingIsHeld) {
    KeyedList list(sync);
    int made = 0;
    const auto show = [&](std::vector<std::string> ids) {
        return list.show(ids, [&](std::size_t) {
            ++made;
            return new QWidget;
        });
    };
    EXPECT_TRUE(show({"x", "y"}));
    const QPointer<QWidget> first = list.rows()[0];
    EXPECT_FALSE(show({"x", "y"}));
    EXPECT_EQ(list.rows()[0], first.data()) << "updated in place";

    {
        const InteractionHold held(list);
        EXPECT_FALSE(show({"y"})) << "no rebuild under a held slider";
        EXPECT_EQ(list.rows().size(), 2u);
    }
    EXPECT_TRUE(sync.isPending()) << "the release asks for the postponed rebuild";
    EXPECT_TRUE(show({"y"}));
    EXPECT_EQ(list.rows().size(), 1u);
    EXPECT_FALSE(first->isVisible());
    settle();
    EXPECT_TRUE(first.isNull()) << "old rows are deleted later";
    EXPECT_EQ(made, 3);
}

// The menu-bar panel and the main window are two windows over one sync: a knob held in one must
// not freeze the other's lists, and a hold left behind by a window that is gone holds nothing.
TEST_F(ModelSyncTest, AHoldKeepsTheListsOfItsOwnWindowOnlyAndEndsWithIt) {
    settle();
    QWidget panel, window;
    auto* panelList = new KeyedList(sync, &panel);
    auto* windowList = new KeyedList(sync, &window);
    auto* knob = new QWidget(&panel);
    const auto show = [](KeyedList& list, std::vector<std::string> ids) {
        return list.show(ids, [](std::size_t) { return new QWidget; });
    };
    show(*panelList, {"x"});
    show(*windowList, {"x"});

    auto held = std::make_unique<InteractionHold>(*knob);
    EXPECT_TRUE(InteractionHold::activeIn(*panelList));
    EXPECT_FALSE(InteractionHold::activeIn(*windowList));
    EXPECT_FALSE(show(*panelList, {"y"})) << "the held panel keeps its rows";
    EXPECT_TRUE(show(*windowList, {"y"})) << "the window rebuilds meanwhile";
    {
        // A second hold in the same window: the first release is not the last.
        const InteractionHold menu(panel);
    }
    EXPECT_FALSE(sync.isPending());
    EXPECT_FALSE(show(*panelList, {"y"}));
    held.reset();
    EXPECT_TRUE(sync.isPending()) << "the panel's last release asks for its postponed rebuild";
    settle();
    EXPECT_TRUE(show(*panelList, {"y"}));

    // A hold whose window is gone, as a test that ends mid-drag leaves one.
    auto gone = std::make_unique<QWidget>();
    auto leaked = std::make_unique<InteractionHold>(*gone);
    gone.reset();
    QWidget next;
    auto* nextList = new KeyedList(sync, &next);
    show(*nextList, {"x"});
    EXPECT_FALSE(InteractionHold::activeIn(*nextList));
    EXPECT_TRUE(show(*nextList, {"y"}));
    leaked.reset();  // released without its window: nothing to wake, nothing to crash
    EXPECT_TRUE(show(*windowList, {"z"}));
}

// The row clicked changes the model, and the model's change removes that very row.
TEST_F(ModelSyncTest, AClickWhoseChangeRebuildsTheClickedRowsListIsSafe) {
    KeyedList list(sync);
    const auto rebuild = [&](const SyncCache& shown) {
        const std::vector<std::string> ids =
            shown.isOn(a) ? std::vector<std::string>{"off"} : std::vector<std::string>{"on"};
        list.show(ids, [&](std::size_t) {
            auto* button = new QPushButton(QStringLiteral("Switch"));
            button->setObjectName(QStringLiteral("row"));
            QObject::connect(button, &QPushButton::clicked, [&] { model->toggleTweak(a); });
            return button;
        });
    };
    sync.follow(&list, rebuild);
    rebuild(sync.cache());
    showOnPaper(list);
    const QPointer<QPushButton> clicked = find<QPushButton>(list, "row");
    click(clicked);
    EXPECT_FALSE(clicked.isNull()) << "still alive when its handler returns";
    settle();
    EXPECT_TRUE(clicked.isNull());
    EXPECT_EQ(list.keys(), std::vector<std::string>{"off"});
    EXPECT_TRUE(model->isEnabled(a));
}

}  // namespace
}  // namespace velmora::testing
