// The model's creation, its published fields, the loading and storing of the user's settings, and
// `refresh()`.
#include "ui/model/AppModel.hpp"

#include <cstdio>
#include <future>

#include <nlohmann/json.hpp>

#include "kit/JsonWrite.hpp"
#include "kit/StoredJson.hpp"
#include "platform/CFPreferencesBackend.hpp"
#include "platform/KillallServiceController.hpp"
#include "ui/model/ErrorText.hpp"

namespace velmora {

namespace {

void warn(const std::string& message) {
    std::fprintf(stderr, "Velmora: %s\n", message.c_str());
}

std::set<std::string> idSet(const std::optional<std::vector<std::string>>& strings) {
    return strings ? std::set<std::string>(strings->begin(), strings->end())
                   : std::set<std::string>{};
}

Decoded<UserProfile> decodeProfile(const std::string& bytes) {
    const Decoded<nlohmann::json> parsed = json::parseStored(bytes, "profile");
    if (!parsed) {
        return Decoded<UserProfile>::failure(parsed.error());
    }
    return UserProfile::fromJson(parsed.value());
}

}  // namespace

const AppModel::Clock& AppModel::systemClock() {
    static const Clock clock = [] { return std::chrono::system_clock::now(); };
    return clock;
}

AppModel::AppModel(Catalog catalog, std::shared_ptr<DefaultsBackend> backend,
                   std::shared_ptr<ServiceController> services, std::shared_ptr<UserDefaults> store,
                   PowerControl power, DisplayControl display, Clock clock, QObject* parent)
    : QObject(parent),
      catalog_(std::move(catalog)),
      engine_(std::make_shared<TweakEngine>(std::move(backend), std::move(services),
                                            std::make_shared<HistoryStore>())),
      runner_(engine_, catalog_),
      store_(std::move(store)),
      power_(std::move(power)),
      display_(std::move(display)),
      clock_(std::move(clock)) {
    loadStoredSettings();
    refresh();
}

AppModel::~AppModel() = default;

AppModel& AppModel::shared() {
    // Never destroyed: views and timers may still reach it while the process winds down.
    static AppModel* const model = live().release();
    return *model;
}

std::unique_ptr<AppModel> AppModel::live() {
    PowerControl power = PowerControl::live();
    DisplayControl display = DisplayControl::live();
    const Catalog& catalog = Catalog::velmora();
    std::shared_ptr<UserDefaults> store = UserDefaults::standard();
    return std::make_unique<AppModel>(catalog, std::make_shared<CFPreferencesBackend>(),
                                      std::make_shared<KillallServiceController>(), store,
                                      std::move(power), std::move(display));
}

// Published fields: announce, then assign, whether or not the value changes.

void AppModel::setAppliedRecipeIDs(std::set<std::string> value) {
    emit objectWillChange();
    appliedRecipeIDs_ = std::move(value);
}
void AppModel::setFavoriteTweakIDs(std::set<std::string> value) {
    emit objectWillChange();
    favoriteTweakIDs_ = std::move(value);
}
void AppModel::setFavoriteRecipeIDs(std::set<std::string> value) {
    emit objectWillChange();
    favoriteRecipeIDs_ = std::move(value);
}
void AppModel::setFavoritePowerTweakIDs(std::set<std::string> value) {
    emit objectWillChange();
    favoritePowerTweakIDs_ = std::move(value);
}
void AppModel::setKeepAwakeWithLidClosed(bool value) {
    emit objectWillChange();
    keepAwakeWithLidClosed_ = value;
}
void AppModel::setNightShiftOn(bool value) {
    emit objectWillChange();
    nightShiftOn_ = value;
}
void AppModel::setNightShiftStrength(double value) {
    emit objectWillChange();
    nightShiftStrength_ = value;
}
void AppModel::setDarkMode(bool value) {
    emit objectWillChange();
    darkMode_ = value;
}
void AppModel::setOnBattery(bool value) {
    emit objectWillChange();
    onBattery_ = value;
}
void AppModel::setPmsetCache(std::map<std::string, std::string> value) {
    emit objectWillChange();
    pmsetCache_ = std::move(value);
}
void AppModel::setSuggestion(std::optional<Suggestion> value) {
    emit objectWillChange();
    suggestion_ = std::move(value);
}
void AppModel::setProfile(UserProfile value) {
    emit objectWillChange();
    profile_ = std::move(value);
}
void AppModel::setLastError(std::optional<std::string> value) {
    emit objectWillChange();
    lastError_ = std::move(value);
}
void AppModel::setRevision(std::int64_t value) {
    emit objectWillChange();
    revision_ = value;
}
void AppModel::setFavoritePower(bool value) {
    emit objectWillChange();
    favoritePower_ = value;
}
void AppModel::setSetups(std::vector<Setup> value) {
    emit objectWillChange();
    setups_ = std::move(value);
}
void AppModel::setRules(std::vector<AutomationRule> value) {
    emit objectWillChange();
    rules_ = std::move(value);
    followLaunchRules();
}

// Stored settings.

void AppModel::noteUnreadable(const char* key, const std::string& reason) {
    keptAside_[key] = {"it could not be read (" + reason + ")",
                       std::string(key) + Keys::unreadableSuffix};
    warn(std::string("the stored \"") + key + "\" could not be read (" + reason +
         "); it stays as it is until it is next changed, and a copy of it is then kept under \"" +
         key + Keys::unreadableSuffix + "\"");
}

template <class T, class Decode>
std::optional<T> AppModel::loadStored(const char* key, Decode decode) {
    if (!store_->contains(key)) {
        bytesAsStored_[key] = std::nullopt;
        return std::nullopt;
    }
    const std::optional<std::string> bytes = store_->data(key);
    bytesAsStored_[key] = bytes;
    if (!bytes) {
        noteUnreadable(key, "not stored as data");
        return std::nullopt;
    }
    Decoded<T> decoded = decode(*bytes);
    if (!decoded) {
        noteUnreadable(key, decoded.error());
        return std::nullopt;
    }
    return std::move(decoded.value());
}

std::set<std::string> AppModel::loadFavorites(const char* key) {
    if (auto strings = store_->stringArray(key)) {
        return favoritesAsStored_[key] = idSet(strings);
    }
    if (!store_->contains(key)) {
        return favoritesAsStored_[key] = {};
    }
    // The ids it holds still count; the whole value is kept aside before it is first replaced.
    const std::optional<std::vector<std::string>> strings = store_->stringElements(key);
    noteUnreadable(key, strings ? "an array holding more than texts" : "not an array of texts");
    return idSet(strings);
}

void AppModel::loadStoredSettings() {
    // A store that cannot be read leaves the setting at its initial value; the model still starts.
    auto load = [](const char* key, auto step) {
        if (auto error = attempt(step)) {
            warn(std::string("could not read \"") + key + "\": " + *error);
        }
    };
    load(Keys::favoriteTweakIDs,
         [&] { setFavoriteTweakIDs(loadFavorites(Keys::favoriteTweakIDs)); });
    load(Keys::favoriteRecipeIDs,
         [&] { setFavoriteRecipeIDs(loadFavorites(Keys::favoriteRecipeIDs)); });
    load(Keys::favoritePower, [&] { setFavoritePower(store_->boolean(Keys::favoritePower)); });
    load(Keys::favoritePowerTweakIDs,
         [&] { setFavoritePowerTweakIDs(loadFavorites(Keys::favoritePowerTweakIDs)); });
    load(Keys::userProfile, [&] {
        if (auto profile = loadStored<UserProfile>(Keys::userProfile, decodeProfile)) {
            setProfile(std::move(*profile));
        }
    });
    load(Keys::setups, [&] {
        if (auto setups = loadStored<std::vector<Setup>>(Keys::setups, Setup::decodeList)) {
            setSetups(std::move(*setups));
        }
    });
    load(Keys::rules, [&] {
        if (auto rules =
                loadStored<std::vector<AutomationRule>>(Keys::rules, AutomationRule::decodeList)) {
            setRules(std::move(*rules));
        }
    });
    load(Keys::firedTimeRules, [&] { loadFiredTimeRules(); });
    storedSetups_ = setups_;
    storedRules_ = rules_;
    separateSharedIDs();
}

void AppModel::loadFiredTimeRules() {
    if (auto fired = loadStored<std::map<std::string, std::string>>(Keys::firedTimeRules,
                                                                    decodeFiredTimeRules)) {
        firedTimeRules = std::move(*fired);
    }
}

std::set<std::string> AppModel::storedFavorites(const char* key,
                                                const std::set<std::string>& held) {
    std::optional<std::vector<std::string>> strings;
    bool present = true;
    if (attempt([&] {
            strings = store_->stringArray(key);
            present = strings || store_->contains(key);
        })) {
        return held;
    }
    if (!strings && present) {
        return held;  // anything but texts is kept aside at the next write, as at load
    }
    std::set<std::string> stored = idSet(strings);
    const auto known = favoritesAsStored_.find(key);
    return known != favoritesAsStored_.end() && known->second == stored ? held : stored;
}

template <class T, class Decode>
std::optional<T> AppModel::storedSinceRead(const char* key, Decode decode) {
    std::optional<std::string> bytes;
    bool present = true;
    if (attempt([&] {
            bytes = store_->data(key);
            present = bytes || store_->contains(key);
        })) {
        return std::nullopt;
    }
    if (const auto known = bytesAsStored_.find(key);
        known != bytesAsStored_.end() && known->second == bytes) {
        return std::nullopt;
    }
    if (!bytes) {
        if (present) {
            return std::nullopt;  // not data: kept aside at the next write, as at load
        }
        bytesAsStored_[key] = std::nullopt;
        return T{};
    }
    Decoded<T> decoded = decode(*bytes);
    if (!decoded) {
        return std::nullopt;
    }
    bytesAsStored_[key] = std::move(bytes);
    return std::move(decoded.value());
}

void AppModel::catchUpSetups() {
    if (auto stored = storedSinceRead<std::vector<Setup>>(Keys::setups, Setup::decodeList)) {
        storedSetups_ = *stored;
        setSetups(std::move(*stored));
    }
}

void AppModel::catchUpRules() {
    if (auto stored =
            storedSinceRead<std::vector<AutomationRule>>(Keys::rules, AutomationRule::decodeList)) {
        storedRules_ = *stored;
        setRules(std::move(*stored));
    }
}

bool AppModel::storeSetting(const char* key, const std::function<void()>& write) {
    // What could not be read at start is still the user's: it is copied aside once before the
    // first write replaces it, and not replaced when it cannot be.
    if (auto kept = keptAside_.find(key); kept != keptAside_.end()) {
        const std::string& aside = kept->second.copyKey;
        bool copied = false;
        if (auto error = attempt([&] { copied = store_->copyIfAbsent(key, aside); })) {
            setLastError(std::string("did not store \"") + key +
                         "\": its stored value could not be kept under \"" + aside +
                         "\": " + *error);
            return false;
        }
        warn(std::string("the stored \"") + key + "\" is replaced, but " + kept->second.reason +
             ": " +
             (copied ? "kept a copy under \"" + aside + "\""
                     : "an earlier copy under \"" + aside + "\" is kept and this one replaced"));
        keptAside_.erase(kept);
    }
    if (auto error = attempt(write)) {
        setLastError(std::string("did not store \"") + key + "\": " + *error);
        return false;
    }
    return true;
}

bool AppModel::writeStored(const char* key, const std::function<std::string()>& encode) {
    std::string bytes;
    if (auto error = attempt([&] { bytes = encode(); })) {
        setLastError(std::string("did not store \"") + key + "\": " + *error);
        return false;
    }
    if (!storeSetting(key, [&] { store_->setData(key, bytes); })) {
        return false;
    }
    bytesAsStored_[key] = std::move(bytes);
    return true;
}

bool AppModel::writeFavorites(const char* key, const std::set<std::string>& ids) {
    const std::vector<std::string> strings(ids.begin(), ids.end());
    if (!storeSetting(key, [&] { store_->setStringArray(key, strings); })) {
        return false;
    }
    favoritesAsStored_[key] = ids;
    return true;
}

bool AppModel::writeFlag(const char* key, bool value) {
    return storeSetting(key, [&] { store_->setBool(key, value); });
}

// A list that could not be stored goes back to what is stored, so that what the views show is
// what the next start loads.
void AppModel::persistSetups() {
    if (writeStored(Keys::setups, [this] { return Setup::encodeList(setups_); })) {
        storedSetups_ = setups_;
    } else {
        setSetups(storedSetups_);
    }
}

void AppModel::persistRules() {
    if (writeStored(Keys::rules, [this] { return AutomationRule::encodeList(rules_); })) {
        storedRules_ = rules_;
    } else {
        setRules(storedRules_);
    }
}

// Live state.

void AppModel::refresh() {
    // Reading the keep-awake flag, the appearance and the power source is three tool runs, each
    // mostly waiting for its tool: two run on workers while the battery's runs here, so that a
    // refresh waits for the slowest of them rather than for all three in turn.
    std::future<bool> keepAwake = std::async(std::launch::async, power_.reader);
    std::future<bool> dark = std::async(std::launch::async, display_.darkModeReader);
    const bool onBattery = power_.batteryReader();
    std::set<std::string> applied;
    for (const Recipe& recipe : catalog_.recipes()) {
        if (recipe.items.empty()) {
            continue;
        }
        bool matches = true;
        for (const RecipeItem& item : recipe.items) {
            const std::optional<Tweak> tweak = catalog_.tweak(item.tweakID);
            try {
                matches = tweak && engine_->isEnabled(*tweak) == item.enabled;
            } catch (...) {
                matches = false;  // a state that cannot be read is not the recipe's state
            }
            if (!matches) {
                break;
            }
        }
        if (matches) {
            applied.insert(recipe.id);
        }
    }
    setAppliedRecipeIDs(std::move(applied));
    setKeepAwakeWithLidClosed(keepAwake.get());
    setNightShiftOn(false);
    setNightShiftStrength(0);
    setDarkMode(dark.get());
    setOnBattery(onBattery);
    setPmsetCache(power_.valuesReader());
    computeSuggestion();
    setRevision(revision_ + 1);
}

void AppModel::report(const std::optional<std::string>& error) {
    setLastError(error);
    refresh();
}

}  // namespace velmora
