// The change engine over an in-memory preference store and restarter that can be told to fail.
#include <map>
#include <set>
#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kit/TweakEngine.hpp"
#include "kit/VelmoraError.hpp"

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Stores values as the real store does, the global domain's two names being one domain; logs
// every call and fails the writes and deletes it is told to (counted from 1); restarts services,
// failing those it is told to.
class Fakes : public DefaultsBackend, public ServiceController {
  public:
    std::optional<TweakValue> read(const DefaultsKey& key) override {
        log.push_back("read " + key.key);
        return get(key);
    }
    void write(const DefaultsKey& key, const TweakValue& value) override {
        mutate("write " + key.key + " " + value.description());
        values.insert_or_assign(storedName(key), value);
    }
    void remove(const DefaultsKey& key) override {
        mutate("delete " + key.key);
        values.erase(storedName(key));
    }
    void restart(const std::string& processName) override {
        restarted.push_back(processName);
        if (failing.count(processName) != 0) {
            throw std::runtime_error("cannot restart " + processName);
        }
    }
    std::optional<TweakValue> get(const DefaultsKey& key) const {
        const auto found = values.find(storedName(key));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    static std::string storedName(const DefaultsKey& key) {
        const bool global = key.domain == "NSGlobalDomain" || key.domain == ".GlobalPreferences";
        return (global ? std::string("<global>") : key.domain) + "/" + key.key;
    }

    std::map<std::string, TweakValue> values;
    std::vector<std::string> log, restarted;
    std::set<std::string> failing;
    std::set<int> failingMutations;

  private:
    void mutate(const std::string& entry) {
        log.push_back(entry);
        if (failingMutations.count(++mutations_) != 0) {
            throw std::runtime_error("mutation " + std::to_string(mutations_) + " failed");
        }
    }
    int mutations_ = 0;
};

const DefaultsKey keyA{"com.apple.dock", "A"};
const DefaultsKey keyB{"com.apple.dock", "B"};
const DefaultsKey keyC{"com.apple.finder", "C"};
TweakValue num(std::int64_t value) {
    return TweakValue::integer(value);
}
TweakValue text(const char* value) {
    return TweakValue::string(value);
}

DefaultsToggle toggle(const DefaultsKey& key, TweakValue on,
                      std::optional<std::string> restart = std::nullopt,
                      std::optional<TweakValue> off = std::nullopt) {
    return DefaultsToggle{key, std::move(on), std::move(off), std::move(restart)};
}

Tweak tweak(std::string id, std::vector<DefaultsToggle> toggles) {
    return Tweak(std::move(id), "Title", "Summary", TweakCategory::dock, TweakTier::simple,
                 Privilege::user, RiskLevel::safe, TweakRequirement{}, std::move(toggles), {}, {},
                 false);
}

// The error's text (a VelmoraError's is its description), or "no error".
std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

class TweakEngineTest : public ::testing::Test {
  protected:
    void set(const DefaultsKey& key, TweakValue value) {
        backend->values.insert_or_assign(Fakes::storedName(key), std::move(value));
    }
    std::shared_ptr<Fakes> backend = std::make_shared<Fakes>();
    std::shared_ptr<HistoryStore> history = std::make_shared<HistoryStore>();
    int nextID = 0;
    const std::chrono::system_clock::time_point fixedTime{std::chrono::seconds(1'700'000'000)};
    TweakEngine engine{backend, backend, history, [this] { return fixedTime; },
                       [this] { return Uuid(Uuid::Bytes{static_cast<std::uint8_t>(++nextID)}); }};
};

TEST_F(TweakEngineTest, SwitchingRecordsPreviousValuesAndUndoPutsThemBack) {
    const ChangeRecord record = engine.setEnabled(
        true, tweak("dock-a",
                    {toggle(keyA, TweakValue::boolean(true), "Dock", TweakValue::boolean(false))}));
    EXPECT_THAT(history->records(),
                ElementsAre(ChangeRecord{Uuid(Uuid::Bytes{1}),
                                         "dock-a",
                                         {KeyChange{keyA, std::nullopt, TweakValue::boolean(true)}},
                                         {"Dock"},
                                         fixedTime}));
    engine.undo(record);  // an absent key is deleted again
    EXPECT_EQ(backend->get(keyA), std::nullopt);
    EXPECT_THAT(history->records(), IsEmpty());
    EXPECT_THAT(backend->restarted, ElementsAre("Dock", "Dock"));

    // Switching off without a disabled value deletes; undo writes the old value back.
    set(keyB, num(7));
    const ChangeRecord off = engine.setEnabled(false, tweak("t", {toggle(keyB, num(1))}));
    EXPECT_THAT(off.changes, ElementsAre(KeyChange{keyB, num(7), std::nullopt}));
    EXPECT_EQ(backend->get(keyB), std::nullopt);
    engine.undo(off);
    EXPECT_EQ(backend->get(keyB), num(7));
}

TEST_F(TweakEngineTest, AFailedStepRestoresEarlierKeysEvenWhenARestoreFailsAndRecordsNothing) {
    set(keyB, text("old"));
    const Tweak t = tweak("three", {toggle(keyA, TweakValue::boolean(true), "Dock"),
                                    toggle(keyB, text("new")), toggle(keyC, num(3))});
    backend->failingMutations = {2};
    EXPECT_EQ(messageOf([&] { engine.setEnabled(true, t); }), "mutation 2 failed");
    EXPECT_EQ(backend->get(keyB), text("old"));
    EXPECT_THAT(backend->log, ElementsAre("read A", "write A bool(true)", "read B",
                                          "write B string(\"new\")", "delete A"));
    EXPECT_THAT(backend->restarted, IsEmpty());

    // The write of C fails, then the restore of B: A is still restored.
    backend->failingMutations = {6, 7};
    set(keyA, num(10));
    EXPECT_EQ(messageOf([&] { engine.setEnabled(true, t); }), "mutation 6 failed");
    EXPECT_EQ(backend->get(keyA), num(10));
    EXPECT_EQ(backend->get(keyB), text("new"));
    EXPECT_THAT(history->records(), IsEmpty());
}

TEST_F(TweakEngineTest, EachServiceRestartsOnceInOrderAndAFailureStopsTheRestButKeepsTheRecord) {
    const Tweak t = tweak("t", {toggle(keyA, num(1), "Dock"), toggle(keyB, num(1), "Finder"),
                                toggle(keyC, num(1), "Dock")});
    EXPECT_THAT(engine.setEnabled(true, t).restartServices, ElementsAre("Dock", "Finder"));
    // Undoing the history's own element, which undo removes from under itself, is safe.
    engine.undo(history->records().front());
    EXPECT_THAT(backend->restarted, ElementsAre("Dock", "Finder", "Dock", "Finder"));

    backend->failing = {"Dock"};
    backend->restarted.clear();
    EXPECT_EQ(messageOf([&] { engine.setEnabled(true, t); }), "cannot restart Dock");
    EXPECT_THAT(backend->restarted, ElementsAre("Dock"));
    ASSERT_EQ(history->records().size(), 1U);
    EXPECT_EQ(backend->get(keyB), num(1));
}

TEST_F(TweakEngineTest, RevertAllRestoresNewestFirstAndRestartsEachServiceOnce) {
    set(keyA, num(0));
    engine.setEnabled(true,
                      tweak("a", {toggle(keyA, num(1), "Finder"), toggle(keyB, num(1), "Dock")}));
    engine.setEnabled(
        true, tweak("b", {toggle(keyA, num(2), "Dock"), toggle(keyC, num(2), "SystemUIServer")}));
    backend->log.clear();
    backend->restarted.clear();
    backend->failing = {"Dock", "Finder"};
    EXPECT_EQ(messageOf([&] { engine.revertAll(); }),
              VelmoraError::restartsFailed({"Dock", "Finder"}).description());
    EXPECT_THAT(backend->log,
                ElementsAre("write A int(1)", "delete C", "write A int(0)", "delete B"));
    EXPECT_THAT(backend->restarted, ElementsAre("Dock", "SystemUIServer", "Finder"));
    EXPECT_THAT(history->records(), IsEmpty());
}

// Only a record's first change of a key knows what the key held before the record.
TEST_F(TweakEngineTest, AKeyChangedTwiceInOneRecordGoesBackToItsOriginalValue) {
    const DefaultsKey global{"NSGlobalDomain", "K"};
    set(global, text("original"));
    const Tweak t = tweak(
        "twice", {toggle(global, text("first")), toggle({".GlobalPreferences", "K"}, text("2"))});
    engine.setEnabled(true, t);
    engine.undoLast();
    EXPECT_EQ(backend->get(global), text("original"));
    engine.setEnabled(true, t);
    engine.revertAll();
    EXPECT_EQ(backend->get(global), text("original"));
}

TEST(HistoryStore, RemovingByAnIdHeldInTheHistoryRemovesEveryRecordWithIt) {
    HistoryStore store;
    for (std::uint8_t id : {1, 2, 1}) {
        store.append(ChangeRecord{Uuid(Uuid::Bytes{id}), std::to_string(id), {}, {}, {}});
    }
    store.remove(store.records().front().id);
    ASSERT_EQ(store.records().size(), 1U);
    EXPECT_EQ(store.records().front().tweakID, "2");
}

}  // namespace
}  // namespace velmora
