// Fakes of every seam the app model reaches the system through, and a small catalog to drive it.
#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "kit/Catalog.hpp"
#include "kit/VelmoraError.hpp"
#include "platform/InMemoryUserDefaults.hpp"
#include "ui/model/AppModel.hpp"

namespace velmora::testing {

// Preferences in a map; chosen keys fail to read or to write.
class FakeBackend : public DefaultsBackend {
  public:
    std::map<std::pair<std::string, std::string>, TweakValue> values;
    std::set<std::string> unreadable;             // key names whose read throws
    std::set<std::string> unwritable;             // key names whose write or remove throws
    std::vector<std::string> writes;              // key names written or removed, in order
    std::vector<std::string>* journal = nullptr;  // shared with other fakes, to see the order

    std::optional<TweakValue> read(const DefaultsKey& key) override {
        if (unreadable.contains(key.key)) {
            throw VelmoraError::unsupportedPreferenceType(key.domain, key.key);
        }
        return at(key);
    }
    void write(const DefaultsKey& key, const TweakValue& value) override {
        refuse(key);
        values.insert_or_assign({key.domain, key.key}, value);
    }
    void remove(const DefaultsKey& key) override {
        refuse(key);
        values.erase({key.domain, key.key});
    }
    std::optional<TweakValue> at(const DefaultsKey& key) const {
        auto it = values.find({key.domain, key.key});
        return it == values.end() ? std::nullopt : std::optional<TweakValue>(it->second);
    }
    void put(const DefaultsKey& key, TweakValue value) {
        values.insert_or_assign({key.domain, key.key}, std::move(value));
    }

  private:
    void refuse(const DefaultsKey& key) {
        writes.push_back(key.key);
        if (journal) {
            journal->push_back("write " + key.key);
        }
        if (unwritable.contains(key.key)) {
            throw std::runtime_error("disk full");
        }
    }
};

class FakeServices : public ServiceController {
  public:
    std::vector<std::string> restarted;
    void restart(const std::string& name) override { restarted.push_back(name); }
};

// Power state the fake control reads and writes.
struct FakePower {
    bool keepAwake = false;
    bool onBattery = false;
    std::map<std::string, std::string> values;
    std::set<std::string> failingKeys;  // pmset keys whose write is refused
    bool keepAwakeFails = false;
    std::vector<std::pair<std::string, std::string>> settingWrites;
    std::vector<bool> keepAwakeWrites;
    std::vector<std::string>* journal = nullptr;

    PowerControl control() {
        return PowerControl{
            .reader = [this] { return keepAwake; },
            .writer =
                [this](bool on) {
                    keepAwakeWrites.push_back(on);
                    if (journal) {
                        journal->push_back(on ? "keep awake" : "let sleep");
                    }
                    if (keepAwakeFails) {
                        throw VelmoraError::powerCommandFailed("User canceled.");
                    }
                    keepAwake = on;
                },
            .batteryReader = [this] { return onBattery; },
            .valuesReader = [this] { return values; },
            .settingWriter =
                [this](const std::string& key, const std::string& value) {
                    settingWrites.emplace_back(key, value);
                    if (journal) {
                        journal->push_back("pmset " + key + " " + value);
                    }
                    if (failingKeys.contains(key)) {
                        throw VelmoraError::powerCommandFailed("pmset exited with code 1");
                    }
                    values[key] = value;
                },
        };
    }
};

struct FakeDisplay {
    bool dark = false;
    std::vector<bool> switches;
    DisplayControl control() {
        return DisplayControl{[this] { return dark; },
                              [this](bool on) {
                                  switches.push_back(on);
                                  dark = on;
                              }};
    }
};

inline std::chrono::system_clock::time_point localTime(int year, int month, int day, int hour,
                                                       int minute = 0) {
    const QDateTime when(QDate(year, month, day), QTime(hour, minute));
    return std::chrono::system_clock::time_point(
        std::chrono::milliseconds(when.toMSecsSinceEpoch()));
}

inline DefaultsKey keyOf(const std::string& tweakID) {
    return {"com.velmora.test", tweakID};
}

// A tweak of one Boolean key named after it, deleted when switched off.
inline Tweak tweak(const std::string& id) {
    return Tweak(id, "Title " + id, "Summary " + id, TweakCategory::system, TweakTier::simple,
                 Privilege::user, RiskLevel::safe, TweakRequirement{},
                 DefaultsToggle{keyOf(id), TweakValue::boolean(true), std::nullopt, std::nullopt},
                 {}, {}, false);
}

inline Recipe recipe(const std::string& id, std::vector<RecipeItem> items,
                     std::vector<UserGoal> goals = {}, std::vector<UserField> fields = {}) {
    return Recipe{
        id, "Recipe " + id, "About " + id, std::move(items), std::move(fields), std::move(goals)};
}

// Every test starts from an empty store, a light desktop-less laptop on mains at a fixed time.
class ModelTest : public ::testing::Test {
  protected:
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    std::shared_ptr<FakeServices> services = std::make_shared<FakeServices>();
    std::shared_ptr<InMemoryUserDefaults> store = std::make_shared<InMemoryUserDefaults>();
    FakePower power;
    FakeDisplay display;
    std::chrono::system_clock::time_point now = localTime(2026, 2, 4, 7);
    int emits = 0;

    std::unique_ptr<AppModel> make(Catalog catalog) {
        auto model =
            std::make_unique<AppModel>(std::move(catalog), backend, services, store,
                                       power.control(), display.control(), [this] { return now; });
        QObject::connect(model.get(), &AppModel::objectWillChange, [this] { ++emits; });
        return model;
    }

    // Counts the announcements of one call.
    template <class Work>
    int emitsOf(Work&& work) {
        const int before = emits;
        work();
        return emits - before;
    }

    void putData(const std::string& key, const std::string& bytes) {
        store->set(key, InMemoryUserDefaults::Data{bytes});
    }
    std::string storedData(const std::string& key) { return store->data(key).value_or("<none>"); }
};

}  // namespace velmora::testing
