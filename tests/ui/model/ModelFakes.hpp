// Fakes of every seam the app model reaches the system through, and a small catalog to drive it.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDateTime>
#include <chrono>
#include <thread>

#include "kit/Catalog.hpp"
#include "kit/VelmoraError.hpp"
#include "platform/InMemoryDefaultsBackend.hpp"
#include "platform/InMemoryUserDefaults.hpp"
#include "ui/model/AppModel.hpp"

namespace velmora::testing {

using ::testing::ElementsAre;

// What the fakes were asked to change, in order: "write KEY" (a removal too), "restart NAME",
// "pmset KEY VALUE", "keep awake" or "let sleep".
using Journal = std::vector<std::string>;

// Preferences in memory, chosen key names failing to read or to write, and service restarts.
class FakeBackend : public InMemoryDefaultsBackend, public ServiceController {
  public:
    explicit FakeBackend(Journal& journal) : journal_(journal) {}

    std::optional<TweakValue> read(const DefaultsKey& key) override {
        if (unreadable.contains(key.key)) {
            throw VelmoraError::unsupportedPreferenceType(key.domain, key.key);
        }
        return InMemoryDefaultsBackend::read(key);
    }
    void write(const DefaultsKey& key, const TweakValue& value) override {
        log(key);
        InMemoryDefaultsBackend::write(key, value);
    }
    void remove(const DefaultsKey& key) override {
        log(key);
        InMemoryDefaultsBackend::remove(key);
    }
    void restart(const std::string& name) override { journal_.push_back("restart " + name); }

    std::set<std::string> unreadable, unwritable;

  private:
    void log(const DefaultsKey& key) {
        journal_.push_back("write " + key.key);
        if (unwritable.contains(key.key)) {
            throw std::runtime_error("disk full");
        }
    }
    Journal& journal_;
};

// The power and display state the fakes read and change; `failing` names the pmset keys whose
// write is refused; a locked appearance ignores every switch, silently, as a refused script does.
struct FakeMac {
    bool keepAwake = false, onBattery = false, dark = false;
    std::optional<int> percent;
    PowerControl::Values pmset;
    std::set<std::string> failing;
    bool appearanceLocked = false;
    // How long each reading of the keep-awake flag, the power source and the appearance takes,
    // as a tool run does.
    std::chrono::milliseconds readingTakes{0};

    template <class Value>
    Value read(const Value& value) const {
        std::this_thread::sleep_for(readingTakes);
        return value;
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

// Every test starts from an empty store, a light laptop on mains at a fixed time.
class ModelTest : public ::testing::Test {
  protected:
    Journal journal;
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>(journal);
    std::shared_ptr<InMemoryUserDefaults> store = std::make_shared<InMemoryUserDefaults>();
    FakeMac mac;
    std::chrono::system_clock::time_point now = localTime(2026, 2, 4, 7);
    int emits = 0;

    // Over `store` unless other defaults are given.
    std::unique_ptr<AppModel> make(Catalog catalog, std::shared_ptr<UserDefaults> defaults = {}) {
        PowerControl power{
            .reader = [this] { return mac.read(mac.keepAwake); },
            .writer =
                [this](bool on) {
                    journal.push_back(on ? "keep awake" : "let sleep");
                    mac.keepAwake = on;
                },
            .batteryReader = [this] { return mac.read(mac.onBattery); },
            .valuesReader = [this] { return mac.pmset; },
            .settingWriter =
                [this](const std::string& key, const std::string& value) {
                    journal.push_back("pmset " + key + " " + value);
                    if (mac.failing.contains(key)) {
                        throw VelmoraError::powerCommandFailed("pmset exited with code 1");
                    }
                    mac.pmset[key] = value;
                },
            .percentReader = [this] { return mac.percent; },
        };
        DisplayControl display{[this] { return mac.read(mac.dark); },
                               [this](bool on) {
                                   if (!mac.appearanceLocked) {
                                       mac.dark = on;
                                   }
                               }};
        auto model = std::make_unique<AppModel>(
            std::move(catalog), backend, backend, defaults ? std::move(defaults) : store,
            std::move(power), std::move(display), [this] { return now; });
        QObject::connect(model.get(), &AppModel::objectWillChange, [this] { ++emits; });
        return model;
    }

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
