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
    std::optional<TweakValue> get(const DefaultsKey& key) const {
        const auto found = values.find(storedName(key));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }

    std::map<std::string, TweakValue> values;
    std::vector<std::string> log;
    std::set<std::string> unreadable;
    std::set<int> failingMutations;

    static std::string storedName(const DefaultsKey& key) {
        const bool global = key.domain == "NSGlobalDomain" || key.domain == ".GlobalPreferences";
        return (global ? std::string("<global>") : key.domain) + "/" + key.key;
    }

  private:
    void mutate(const std::string& entry) {
        log.push_back(entry);
        if (failingMutations.count(++mutations_) != 0) {
            throw std::runtime_error("mutation " + std::to_string(mutations_) + " failed");
        }
    }
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
TweakValue num(std::int64_t value) {
    return TweakValue::integer(value);
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
        backend->values.insert_or_assign(FakeBackend::storedName(key), std::move(value));
    }
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    std::shared_ptr<FakeServices> services = std::make_shared<FakeServices>();
    std::shared_ptr<HistoryStore> history = std::make_shared<HistoryStore>();
    int nextID = 0;
    const std::chrono::system_clock::time_point fixedTime{std::chrono::seconds(1'700'000'000)};
    TweakEngine engine{backend, services, history, [this] { return fixedTime; },
                       [this] { return Uuid(Uuid::Bytes{static_cast<std::uint8_t>(++nextID)}); }};
};

TEST_F(TweakEngineTest, SwitchingRecordsPreviousValuesAndUndoPutsThemBack) {
    const ChangeRecord record = engine.setEnabled(
        true, tweak("dock-a",
                    {toggle(keyA, TweakValue::boolean(true), "Dock", TweakValue::boolean(false))}));
    const ChangeRecord expected{Uuid(Uuid::Bytes{1}),
                                "dock-a",
                                {KeyChange{keyA, std::nullopt, TweakValue::boolean(true)}},
                                {"Dock"},
                                fixedTime};
    EXPECT_THAT(history->records(), ElementsAre(expected));
    engine.undo(record);  // an absent key is deleted again
    EXPECT_EQ(backend->get(keyA), std::nullopt);
    EXPECT_THAT(history->records(), IsEmpty());
    EXPECT_THAT(services->restarted, ElementsAre("Dock", "Dock"));

    // Switching off without a disabled value deletes; undo writes the old value back.
    set(keyB, num(7));
    const ChangeRecord off = engine.setEnabled(false, tweak("t", {toggle(keyB, num(1))}));
    EXPECT_THAT(off.changes, ElementsAre(KeyChange{keyB, num(7), std::nullopt}));
    EXPECT_EQ(backend->get(keyB), std::nullopt);
    engine.undo(off);
    EXPECT_EQ(backend->get(keyB), num(7));
}

TEST_F(TweakEngineTest, AFailedStepRestoresEarlierKeysEvenWhenARestoreFailsAndRecordsNothing) {
    set(keyB, TweakValue::string("old"));
    const Tweak t = tweak("three", {toggle(keyA, TweakValue::boolean(true), "Dock"),
                                    toggle(keyB, TweakValue::string("new")), toggle(keyC, num(3))});
    backend->failingMutations = {2};
    EXPECT_EQ(messageOf([&] { engine.setEnabled(true, t); }), "mutation 2 failed");
    EXPECT_EQ(backend->get(keyB), TweakValue::string("old"));
    EXPECT_THAT(backend->log, ElementsAre("read A", "write A bool(true)", "read B",
                                          "write B string(\"new\")", "delete A"));
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

    // The write of C fails, then the restore of B: A is still restored.
    backend->unreadable.clear();
    backend->failingMutations = {10, 11};
    set(keyA, num(10));
    EXPECT_EQ(messageOf([&] { engine.setEnabled(true, t); }), "mutation 10 failed");
    EXPECT_EQ(backend->get(keyA), num(10));
    EXPECT_EQ(backend->get(keyB), TweakValue::string("new"));
    EXPECT_THAT(history->records(), IsEmpty());
}

TEST_F(TweakEngineTest, EachServiceRestartsOnceInOrderAndAFailureStopsTheRestButKeepsTheRecord) {
    const Tweak t = tweak("t", {toggle(keyA, num(1), "Dock"), toggle(keyB, num(1), "Finder"),
                                toggle(keyC, num(1), "Dock")});
    EXPECT_THAT(engine.setEnabled(true, t).restartServices, ElementsAre("Dock", "Finder"));
    // Undoing the history's own element, which undo removes from under itself, is safe.
    engine.undo(history->records().front());
    EXPECT_THAT(services->restarted, ElementsAre("Dock", "Finder", "Dock", "Finder"));

    services->failing = {"Dock"};
    services->restarted.clear();
    EXPECT_EQ(messageOf([&] { engine.setEnabled(true, t); }), "cannot restart Dock");
    EXPECT_THAT(services->restarted, ElementsAre("Dock"));
    ASSERT_EQ(history->records().size(), 1U);
    EXPECT_EQ(backend->get(keyB), num(1));
}

TEST_F(TweakEngineTest, IsEnabledComparesKindsStrictlyAndStopsAtTheFirstMismatch) {
    const Tweak t = tweak("t", {toggle(keyA, num(1)), toggle(keyB, TweakValue::boolean(true))});
    set(keyA, TweakValue::boolean(true));
    set(keyB, TweakValue::boolean(true));
    EXPECT_FALSE(engine.isEnabled(t));
    EXPECT_THAT(backend->log, ElementsAre("read A"));
    set(keyA, num(1));
    EXPECT_TRUE(engine.isEnabled(t));

    backend->unreadable = {"A"};
    EXPECT_THROW(engine.isEnabled(t), VelmoraError);
    EXPECT_EQ(engine.rawValue(keyA), std::nullopt);
    EXPECT_THROW(engine.currentValue(t), VelmoraError);
}

TEST_F(TweakEngineTest, UndoingARecordTwiceRewritesTheSameValuesAndLeavesOthersInHistory) {
    set(keyA, TweakValue::string("before"));
    const ChangeRecord first =
        engine.setEnabled(true, tweak("a", {toggle(keyA, TweakValue::string("after"))}));
    const ChangeRecord second = engine.setEnabled(true, tweak("b", {toggle(keyB, num(1))}));
    engine.undo(first);
    set(keyA, TweakValue::string("changed elsewhere"));
    engine.undo(first);
    EXPECT_EQ(backend->get(keyA), TweakValue::string("before"));
    EXPECT_THAT(history->records(), ElementsAre(second));
}

TEST_F(TweakEngineTest, AFailedRestoreStopsUndoAndRevertAllAndKeepsTheHistory) {
    const ChangeRecord record =
        engine.setEnabled(true, tweak("a", {toggle(keyA, num(1), "Dock"), toggle(keyB, num(1))}));
    engine.setEnabled(true, tweak("b", {toggle(keyC, num(1), "Dock")}));
    services->restarted.clear();
    backend->failingMutations = {4, 5};  // the restore of A by undo, then of C by revertAll
    EXPECT_EQ(messageOf([&] { engine.undo(record); }), "mutation 4 failed");
    EXPECT_EQ(backend->get(keyB), num(1));
    EXPECT_EQ(messageOf([&] { engine.revertAll(); }), "mutation 5 failed");
    EXPECT_EQ(history->records().size(), 2U);
    EXPECT_THAT(services->restarted, IsEmpty());
}

TEST_F(TweakEngineTest, RevertAllRestoresNewestFirstAndRestartsEachServiceOnce) {
    set(keyA, num(0));
    engine.setEnabled(true,
                      tweak("a", {toggle(keyA, num(1), "Finder"), toggle(keyB, num(1), "Dock")}));
    engine.setEnabled(
        true, tweak("b", {toggle(keyA, num(2), "Dock"), toggle(keyC, num(2), "SystemUIServer")}));
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
    EXPECT_THAT(history->records(), IsEmpty());
}

// A record that changes one key twice: its second change's previous value is the first change's
// new value, so only the first change knows what the key held before.
TEST_F(TweakEngineTest, AKeyChangedTwiceInOneRecordGoesBackToItsOriginalValue) {
    const DefaultsKey global{"NSGlobalDomain", "K"};
    set(global, TweakValue::string("original"));
    const Tweak t = tweak("twice", {toggle(global, TweakValue::string("first")),
                                    toggle({".GlobalPreferences", "K"}, TweakValue::string("2"))});
    engine.setEnabled(true, t);
    engine.undoLast();
    EXPECT_EQ(backend->get(global), TweakValue::string("original"));
    engine.setEnabled(true, t);
    engine.revertAll();
    EXPECT_EQ(backend->get(global), TweakValue::string("original"));
}

TEST_F(TweakEngineTest, RawValuesAreWrittenOutsideTheHistory) {
    engine.setRawValue(TweakValue::real(48.0), keyA, "Dock");
    EXPECT_EQ(engine.rawValue(keyA), TweakValue::real(48.0));
    EXPECT_THAT(history->records(), IsEmpty());
    backend->failingMutations = {2};
    EXPECT_THROW(engine.setRawValue(TweakValue::real(64.0), keyA, "Dock"), std::runtime_error);
    EXPECT_THAT(services->restarted, ElementsAre("Dock"));
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

TEST(Uuid, RandomIdsAreVersionFourAndPrintInTheUsualForm) {
    const Uuid a = Uuid::random();
    EXPECT_NE(a, Uuid::random());
    EXPECT_TRUE(std::regex_match(
        a.string(),
        std::regex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}")))
        << a.string();
}

}  // namespace
}  // namespace velmora
