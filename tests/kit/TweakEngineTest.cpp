// The change engine over an in-memory preference store and restarter that can be told to fail.
#include <map>
#include <regex>
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
// every call and fails the writes and deletes it is told to (counted from 1).
class FakeBackend : public DefaultsBackend {
  public:
    std::optional<TweakValue> read(const DefaultsKey& key) override {
        log.push_back("read " + key.key);
        if (unreadable.count(key.key) != 0) {
            throw VelmoraError::unsupportedPreferenceType(key.domain, key.key);
        }
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

    void set(const DefaultsKey& key, const TweakValue& value) {
        values.insert_or_assign(storedName(key), value);
    }
    std::optional<TweakValue> get(const DefaultsKey& key) const {
        const auto found = values.find(storedName(key));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }

    std::vector<std::string> log;
    std::set<std::string> unreadable;
    std::set<int> failingMutations;

  private:
    static std::string storedName(const DefaultsKey& key) {
        const bool global = key.domain == "NSGlobalDomain" || key.domain == ".GlobalPreferences";
        return (global ? std::string("<global>") : key.domain) + "/" + key.key;
    }
    void mutate(const std::string& entry) {
        ++mutations_;
        log.push_back(entry);
        if (failingMutations.count(mutations_) != 0) {
            throw std::runtime_error("mutation " + std::to_string(mutations_) + " failed");
        }
    }
    std::map<std::string, TweakValue> values;
    int mutations_ = 0;
};

class FakeServices : public ServiceController {
  public:
    void restart(const std::string& processName) override {
        restarted.push_back(processName);
        if (failing.count(processName) != 0) {
            throw std::runtime_error("cannot restart " + processName);
        }
    }
    std::vector<std::string> restarted;
    std::set<std::string> failing;
};

const DefaultsKey keyA{"com.apple.dock", "A"};
const DefaultsKey keyB{"com.apple.dock", "B"};
const DefaultsKey keyC{"com.apple.finder", "C"};

DefaultsToggle toggle(const DefaultsKey& key, TweakValue on,
                      std::optional<TweakValue> off = std::nullopt,
                      std::optional<std::string> restart = std::nullopt) {
    return DefaultsToggle{key, std::move(on), std::move(off), std::move(restart)};
}

Tweak tweak(std::string id, std::vector<DefaultsToggle> toggles) {
    return Tweak(std::move(id), "Title", "Summary", TweakCategory::dock, TweakTier::simple,
                 Privilege::user, RiskLevel::safe, TweakRequirement{}, std::move(toggles), {}, {},
                 false);
}

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
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    std::shared_ptr<FakeServices> services = std::make_shared<FakeServices>();
    std::shared_ptr<HistoryStore> history = std::make_shared<HistoryStore>();
    int nextID = 0;
    const std::chrono::system_clock::time_point fixedTime{std::chrono::seconds(1'700'000'000)};
    TweakEngine engine{backend, services, history, [this] { return fixedTime; },
                       [this] { return Uuid(Uuid::Bytes{static_cast<std::uint8_t>(++nextID)}); }};
};

TEST_F(TweakEngineTest, SwitchingRecordsPreviousValuesAndUndoPutsThemBack) {
    const Tweak t = tweak(
        "dock-a", {toggle(keyA, TweakValue::boolean(true), TweakValue::boolean(false), "Dock")});
    const ChangeRecord record = engine.setEnabled(true, t);
    const ChangeRecord expected{Uuid(Uuid::Bytes{1}),
                                "dock-a",
                                {KeyChange{keyA, std::nullopt, TweakValue::boolean(true)}},
                                {"Dock"},
                                fixedTime};
    EXPECT_EQ(record, expected);
    EXPECT_THAT(history->records(), ElementsAre(expected));
    engine.undo(record);  // an absent key is deleted again
    EXPECT_EQ(backend->get(keyA), std::nullopt);
    EXPECT_THAT(history->records(), IsEmpty());
    EXPECT_THAT(services->restarted, ElementsAre("Dock", "Dock"));

    // Switching off without a disabled value deletes; undo writes the old value back.
    backend->set(keyB, TweakValue::integer(7));
    const ChangeRecord off =
        engine.setEnabled(false, tweak("t", {toggle(keyB, TweakValue::integer(1))}));
    EXPECT_THAT(off.changes, ElementsAre(KeyChange{keyB, TweakValue::integer(7), std::nullopt}));
    EXPECT_EQ(backend->get(keyB), std::nullopt);
    engine.undo(off);
    EXPECT_EQ(backend->get(keyB), TweakValue::integer(7));
}

TEST_F(TweakEngineTest, AFailedWriteOrReadRestoresEarlierKeysAndRecordsNothing) {
    backend->set(keyB, TweakValue::string("old"));
    const Tweak t = tweak(
        "three", {toggle(keyA, TweakValue::boolean(true), std::nullopt, "Dock"),
                  toggle(keyB, TweakValue::string("new")), toggle(keyC, TweakValue::integer(3))});
    backend->failingMutations = {2};

    EXPECT_EQ(messageOf([&] { engine.setEnabled(true, t); }), "mutation 2 failed");
    EXPECT_EQ(backend->get(keyA), std::nullopt);
    EXPECT_EQ(backend->get(keyB), TweakValue::string("old"));
    EXPECT_THAT(backend->log, ElementsAre("read A", "write A bool(true)", "read B",
                                          "write B string(\"new\")", "delete A"));
    EXPECT_THAT(history->records(), IsEmpty());
    EXPECT_THAT(services->restarted, IsEmpty());

    // A key that cannot be read (an array) fails the same way, with the read's own error.
    backend->unreadable = {"C"};
    backend->failingMutations.clear();
    try {
        engine.setEnabled(true, t);
        FAIL() << "an array-valued key was read as a value";
    } catch (const VelmoraError& error) {
        EXPECT_EQ(error, VelmoraError::unsupportedPreferenceType("com.apple.finder", "C"));
    }
    EXPECT_EQ(backend->get(keyA), std::nullopt);
    EXPECT_EQ(backend->get(keyB), TweakValue::string("old"));
    EXPECT_THAT(history->records(), IsEmpty());
}

TEST_F(TweakEngineTest, RollbackIgnoresItsOwnFailuresAndKeepsRestoring) {
    backend->set(keyA, TweakValue::integer(10));
    backend->set(keyB, TweakValue::integer(20));
    const Tweak t =
        tweak("t", {toggle(keyA, TweakValue::integer(1)), toggle(keyB, TweakValue::integer(2)),
                    toggle(keyC, TweakValue::integer(3))});
    backend->failingMutations = {3, 4};  // the write of C, then the restore of B

    EXPECT_EQ(messageOf([&] { engine.setEnabled(true, t); }), "mutation 3 failed");
    EXPECT_EQ(backend->get(keyA), TweakValue::integer(10));
    EXPECT_EQ(backend->get(keyB), TweakValue::integer(2));
    EXPECT_THAT(history->records(), IsEmpty());
}

TEST_F(TweakEngineTest, EachServiceRestartsOnceInOrderOfFirstAppearance) {
    const Tweak t = tweak("t", {toggle(keyA, TweakValue::integer(1), std::nullopt, "Dock"),
                                toggle(keyB, TweakValue::integer(1), std::nullopt, "Finder"),
                                toggle(keyC, TweakValue::integer(1), std::nullopt, "Dock")});
    EXPECT_THAT(engine.setEnabled(true, t).restartServices, ElementsAre("Dock", "Finder"));
    EXPECT_THAT(services->restarted, ElementsAre("Dock", "Finder"));
    // Undoing the history's own element, which undo removes from under itself, is safe.
    engine.undo(history->records().front());
    EXPECT_THAT(services->restarted, ElementsAre("Dock", "Finder", "Dock", "Finder"));
}

TEST_F(TweakEngineTest, ARestartFailureStopsRestartsButKeepsValuesAndRecord) {
    services->failing = {"Dock"};
    const Tweak t = tweak("t", {toggle(keyA, TweakValue::integer(1), std::nullopt, "Dock"),
                                toggle(keyB, TweakValue::integer(1), std::nullopt, "Finder")});
    EXPECT_EQ(messageOf([&] { engine.setEnabled(true, t); }), "cannot restart Dock");
    EXPECT_THAT(services->restarted, ElementsAre("Dock"));
    ASSERT_EQ(history->records().size(), 1U);
    EXPECT_EQ(backend->get(keyB), TweakValue::integer(1));

    services->failing.clear();
    engine.undoLast();
    EXPECT_EQ(backend->get(keyA), std::nullopt);
    EXPECT_THAT(history->records(), IsEmpty());
}

TEST_F(TweakEngineTest, IsEnabledComparesKindsStrictlyAndStopsAtTheFirstMismatch) {
    const Tweak t =
        tweak("t", {toggle(keyA, TweakValue::integer(1)), toggle(keyB, TweakValue::boolean(true))});
    backend->set(keyA, TweakValue::boolean(true));
    backend->set(keyB, TweakValue::boolean(true));
    EXPECT_FALSE(engine.isEnabled(t));
    EXPECT_THAT(backend->log, ElementsAre("read A"));

    backend->set(keyA, TweakValue::integer(1));
    EXPECT_TRUE(engine.isEnabled(t));
    backend->remove(keyB);
    EXPECT_FALSE(engine.isEnabled(t));

    backend->unreadable = {"A"};
    EXPECT_THROW(engine.isEnabled(t), VelmoraError);
    EXPECT_EQ(engine.rawValue(keyA), std::nullopt);
    EXPECT_THROW(engine.currentValue(t), VelmoraError);
}

TEST_F(TweakEngineTest, UndoingARecordTwiceRewritesTheSameValuesAndLeavesOthersInHistory) {
    backend->set(keyA, TweakValue::string("before"));
    const ChangeRecord first =
        engine.setEnabled(true, tweak("a", {toggle(keyA, TweakValue::string("after"))}));
    const ChangeRecord second =
        engine.setEnabled(true, tweak("b", {toggle(keyB, TweakValue::integer(1))}));

    engine.undo(first);
    backend->set(keyA, TweakValue::string("changed elsewhere"));
    engine.undo(first);
    EXPECT_EQ(backend->get(keyA), TweakValue::string("before"));
    EXPECT_THAT(history->records(), ElementsAre(second));
}

TEST_F(TweakEngineTest, AFailedRestoreStopsUndoAndRevertAllAndKeepsTheHistory) {
    const ChangeRecord record = engine.setEnabled(
        true, tweak("a", {toggle(keyA, TweakValue::integer(1), std::nullopt, "Dock"),
                          toggle(keyB, TweakValue::integer(1))}));
    engine.setEnabled(true,
                      tweak("b", {toggle(keyC, TweakValue::integer(1), std::nullopt, "Dock")}));
    services->restarted.clear();
    backend->failingMutations = {4, 5};  // the restore of A by undo, then of C by revertAll

    EXPECT_EQ(messageOf([&] { engine.undo(record); }), "mutation 4 failed");
    EXPECT_EQ(backend->get(keyB), TweakValue::integer(1));
    EXPECT_EQ(messageOf([&] { engine.revertAll(); }), "mutation 5 failed");
    EXPECT_EQ(history->records().size(), 2U);
    EXPECT_THAT(services->restarted, IsEmpty());
}

TEST_F(TweakEngineTest, RevertAllRestoresNewestFirstAndRestartsEachServiceOnce) {
    backend->set(keyA, TweakValue::integer(0));
    engine.setEnabled(true,
                      tweak("a", {toggle(keyA, TweakValue::integer(1), std::nullopt, "Finder"),
                                  toggle(keyB, TweakValue::integer(1), std::nullopt, "Dock")}));
    engine.setEnabled(
        true, tweak("b", {toggle(keyA, TweakValue::integer(2), std::nullopt, "Dock"),
                          toggle(keyC, TweakValue::integer(2), std::nullopt, "SystemUIServer")}));
    backend->log.clear();
    services->restarted.clear();
    services->failing = {"Dock", "Finder"};

    try {
        engine.revertAll();
        FAIL() << "failed restarts were not reported";
    } catch (const VelmoraError& error) {
        EXPECT_EQ(error, VelmoraError::restartsFailed({"Dock", "Finder"}));
    }
    EXPECT_THAT(backend->log,
                ElementsAre("write A int(1)", "delete C", "write A int(0)", "delete B"));
    EXPECT_THAT(services->restarted, ElementsAre("Dock", "SystemUIServer", "Finder"));
    EXPECT_EQ(backend->get(keyA), TweakValue::integer(0));
    EXPECT_THAT(history->records(), IsEmpty());
}

// A record that changes one key twice: its second change's previous value is the first change's
// new value, so only the first change knows what the key held before.
TEST_F(TweakEngineTest, AKeyChangedTwiceInOneRecordGoesBackToItsOriginalValue) {
    const DefaultsKey global{"NSGlobalDomain", "K"};
    const DefaultsKey globalAlias{".GlobalPreferences", "K"};
    backend->set(global, TweakValue::string("original"));
    const Tweak t = tweak("twice", {toggle(global, TweakValue::string("first")),
                                    toggle(globalAlias, TweakValue::string("second"))});

    engine.setEnabled(true, t);
    engine.undoLast();
    EXPECT_EQ(backend->get(global), TweakValue::string("original"));

    engine.setEnabled(true, t);
    engine.revertAll();
    EXPECT_EQ(backend->get(global), TweakValue::string("original"));

    const Tweak sameKey =
        tweak("same", {toggle(keyA, TweakValue::integer(1)), toggle(keyA, TweakValue::integer(2))});
    engine.setEnabled(true, sameKey);
    engine.undoLast();
    EXPECT_EQ(backend->get(keyA), std::nullopt);
}

TEST_F(TweakEngineTest, RawValuesAreWrittenOutsideTheHistory) {
    engine.setRawValue(TweakValue::real(48.0), keyA, "Dock");
    EXPECT_EQ(engine.rawValue(keyA), TweakValue::real(48.0));
    EXPECT_THAT(services->restarted, ElementsAre("Dock"));
    EXPECT_THAT(history->records(), IsEmpty());

    backend->failingMutations = {2};
    EXPECT_THROW(engine.setRawValue(TweakValue::real(64.0), keyA, "Dock"), std::runtime_error);
    EXPECT_THAT(services->restarted, ElementsAre("Dock"));
}

TEST(HistoryStore, RemovingByAnIdHeldInTheHistoryRemovesEveryRecordWithIt) {
    HistoryStore store;
    const Uuid shared(Uuid::Bytes{1});
    store.append(ChangeRecord{shared, "a", {}, {}, {}});
    store.append(ChangeRecord{Uuid(Uuid::Bytes{2}), "b", {}, {}, {}});
    store.append(ChangeRecord{shared, "c", {}, {}, {}});
    store.remove(store.records().front().id);
    ASSERT_EQ(store.records().size(), 1U);
    EXPECT_EQ(store.records().front().tweakID, "b");
}

TEST(Uuid, RandomIdsAreVersionFourAndPrintInTheUsualForm) {
    const Uuid a = Uuid::random();
    EXPECT_NE(a, Uuid::random());
    EXPECT_NE(a, Uuid());
    EXPECT_TRUE(std::regex_match(
        a.string(),
        std::regex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}")))
        << a.string();
    EXPECT_EQ(Uuid().string(), "00000000-0000-0000-0000-000000000000");
}

}  // namespace
}  // namespace velmora
