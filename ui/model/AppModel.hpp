// The application's single state object: live state of the Mac, the user's own settings, and the
// operations the views call.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QObject>

#include "kit/AutomationRule.hpp"
#include "kit/Catalog.hpp"
#include "kit/DefaultsBackend.hpp"
#include "kit/RecipeRunner.hpp"
#include "kit/Setup.hpp"
#include "kit/TweakEngine.hpp"
#include "kit/UserProfile.hpp"
#include "platform/ApplicationBundles.hpp"
#include "platform/DisplayControl.hpp"
#include "platform/PowerControl.hpp"
#include "platform/UserDefaults.hpp"
#include "platform/qt/AutomationEvents.hpp"
#include "ui/model/Suggestion.hpp"

class QTimer;

namespace velmora {

// When the automation monitor reads its battery baselines: at its start, or a little later (at
// launch, once the window is on screen, so that the tool run does not delay the first frame).
enum class BatteryBaseline { takenNow, takenLater };

// Lives on the main thread. Every assignment of a published field emits `objectWillChange` first,
// also when the value does not change: views re-read the whole model after it.
class AppModel : public QObject {
    Q_OBJECT

  public:
    // The current time; the suggestion and the time rules read it, so tests can fix it.
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    static const Clock& systemClock();

    // Keys of the application's own defaults domain.
    struct Keys {
        static constexpr const char* favoriteTweakIDs = "favoriteTweakIDs";
        static constexpr const char* favoriteRecipeIDs = "favoriteRecipeIDs";
        static constexpr const char* favoritePower = "favoritePower";
        static constexpr const char* favoritePowerTweakIDs = "favoritePowerTweakIDs";
        static constexpr const char* userProfile = "userProfile";
        static constexpr const char* setups = "velmora_setups";
        static constexpr const char* rules = "velmora_automation_rules";
        // The day each time rule last fired, so that a restart inside its window does not fire
        // it again: a JSON object of rule id to day key, beside the rules' own stored form.
        static constexpr const char* firedTimeRules = "velmora_fired_time_rules";
        // Appended to a key whose stored value could not be read, for the copy kept of it.
        static constexpr const char* unreadableSuffix = ".unreadable";
        // Appended to a list key for the copy kept of a list whose records shared ids, before
        // the later ones were given fresh ids.
        static constexpr const char* sharedIDsSuffix = ".shared-ids";
    };

    // Takes every piece of system access, so tests run the model over fakes. Loads the stored
    // settings and refreshes once; never throws.
    AppModel(Catalog catalog, std::shared_ptr<DefaultsBackend> backend,
             std::shared_ptr<ServiceController> services, std::shared_ptr<UserDefaults> store,
             PowerControl power, DisplayControl display, Clock clock = systemClock(),
             QObject* parent = nullptr);
    ~AppModel() override;

    // The model of the running application, built by `live()` on first use and never destroyed.
    static AppModel& shared();
    // Over the built-in catalog, the user's preference store, killall and the live controls.
    static std::unique_ptr<AppModel> live();

    // Set once by the constructor.
    const Catalog& catalog() const { return catalog_; }
    TweakEngine& engine() const { return *engine_; }
    const RecipeRunner& runner() const { return runner_; }
    UserDefaults& store() const { return *store_; }
    const PowerControl& power() const { return power_; }
    const DisplayControl& display() const { return display_; }
    const Clock& clock() const { return clock_; }

    // Published fields.
    const std::set<std::string>& appliedRecipeIDs() const { return appliedRecipeIDs_; }
    const std::set<std::string>& favoriteTweakIDs() const { return favoriteTweakIDs_; }
    const std::set<std::string>& favoriteRecipeIDs() const { return favoriteRecipeIDs_; }
    const std::set<std::string>& favoritePowerTweakIDs() const { return favoritePowerTweakIDs_; }
    bool keepAwakeWithLidClosed() const { return keepAwakeWithLidClosed_; }
    bool nightShiftOn() const { return nightShiftOn_; }
    double nightShiftStrength() const { return nightShiftStrength_; }
    bool darkMode() const { return darkMode_; }
    bool onBattery() const { return onBattery_; }
    const std::map<std::string, std::string>& pmsetCache() const { return pmsetCache_; }
    const std::optional<Suggestion>& suggestion() const { return suggestion_; }
    const UserProfile& profile() const { return profile_; }
    const std::optional<std::string>& lastError() const { return lastError_; }
    std::int64_t revision() const { return revision_; }
    bool favoritePower() const { return favoritePower_; }
    const std::vector<Setup>& setups() const { return setups_; }
    const std::vector<AutomationRule>& rules() const { return rules_; }

    void setAppliedRecipeIDs(std::set<std::string> value);
    void setFavoriteTweakIDs(std::set<std::string> value);
    void setFavoriteRecipeIDs(std::set<std::string> value);
    void setFavoritePowerTweakIDs(std::set<std::string> value);
    void setKeepAwakeWithLidClosed(bool value);
    void setNightShiftOn(bool value);
    void setNightShiftStrength(double value);
    void setDarkMode(bool value);
    void setOnBattery(bool value);
    void setPmsetCache(std::map<std::string, std::string> value);
    void setSuggestion(std::optional<Suggestion> value);
    void setProfile(UserProfile value);
    void setLastError(std::optional<std::string> value);
    void setRevision(std::int64_t value);
    void setFavoritePower(bool value);
    void setSetups(std::vector<Setup> value);
    void setRules(std::vector<AutomationRule> value);

    // Plain fields: nobody is notified when they change.
    std::function<void()> requestOpenWindow;  // set by the application delegate
    std::map<std::string, AppliedRecipe> sessionApplied;
    QTimer* automationTimer = nullptr;  // a child of the model once the monitor runs
    std::optional<bool> lastOnBattery;
    std::optional<int> lastBatteryPercent;
    std::optional<int> lastScreenCount;
    std::map<std::string, std::string> firedTimeRules;

    // Re-reads the live state and recomputes what derives from it; emits nine times, never throws.
    void refresh();
    const std::vector<Recipe>& recipes() const { return catalog_.recipes(); }

    // Recipes. Every apply adds what it changed to the recipe's records in `sessionApplied`, one
    // that fails part-way too, so that `revert` restores exactly what the user had before the
    // recipe was first applied in this run.
    bool isApplied(const Recipe& recipe) const;
    void apply(const Recipe& recipe);
    void revert(const Recipe& recipe);
    void toggle(const Recipe& recipe);

    // Tweaks; a state that cannot be read counts as off.
    bool isEnabled(const Tweak& tweak);
    void setTweak(const Tweak& tweak, bool enabled);
    void toggleTweak(const Tweak& tweak);
    void setTweaks(const std::vector<Tweak>& tweaks, bool enabled);
    bool allEnabled(const std::vector<Tweak>& tweaks);

    void toggleKeepAwakeWithLidClosed();

    // Favourites, written through to the store on every toggle; a write that fails changes nothing
    // but `lastError`.
    bool isFavorite(const Tweak& tweak) const;
    bool isFavorite(const Recipe& recipe) const;
    bool isFavorite(const PowerTweak& toggle) const;
    void toggleFavorite(const Tweak& tweak);
    void toggleFavorite(const Recipe& recipe);
    void toggleFavorite(const PowerTweak& toggle);
    void toggleFavoritePower();
    std::vector<Tweak> favoriteTweaks() const;
    std::vector<Recipe> favoriteRecipes() const;
    std::vector<PowerTweak> favoritePowerToggles() const;
    bool hasFavorites() const;

    // Power settings, judged from `pmsetCache`.
    const std::vector<PowerTweak>& powerToggles() const { return Catalog::powerToggles(); }
    bool isPowerToggleOn(const PowerTweak& toggle) const;
    void togglePowerToggle(const PowerTweak& toggle);
    std::vector<PowerTweak> enabledPowerToggles() const;

    // Sliders.
    const std::vector<SliderTweak>& sliderTweaks() const { return Catalog::sliderTweaks(); }
    // The stored number; the default when the key holds none, another kind or a non-finite one.
    double sliderValue(const SliderTweak& slider);
    // Refuses a value that is not finite or that an integer slider cannot hold, writing nothing.
    void setSliderValue(const SliderTweak& slider, double value);

    // Appearance. Dark mode asks for the opposite of `darkMode` and then shows what the system
    // reports.
    void toggleDarkMode();
    void toggleNightShift();
    void setWarmth(double value);

    // Profile and recommendations.
    std::vector<Recipe> recommendedRecipes() const;
    std::vector<Tweak> recommendedTweaks() const;
    std::string reason(const Recipe& recipe) const;
    std::string reason(const Tweak& tweak) const;
    bool needsOnboarding() const { return !profile_.completedOnboarding; }
    // Stored first: when it cannot be, `lastError` says why and the profile stays as stored.
    void saveProfile(std::set<UserField> fields, std::set<UserGoal> goals, DeviceKind device);

    // Search over the model's catalog and the built-in power and slider settings.
    // Hits point into the model's catalog.
    std::vector<const Tweak*> searchTweaks(const std::string& query) const;
    std::vector<Recipe> searchRecipes(const std::string& query) const;
    std::vector<SliderTweak> searchSliders(const std::string& query) const;
    std::vector<PowerTweak> searchPowerToggles(const std::string& query) const;
    bool lidCloseMatches(const std::string& query) const;

    // Scenes.
    Setup captureCurrentSetup(const std::string& name, const std::string& icon);
    void saveSetup(const std::string& name, const std::string& icon);
    void upsertSetup(const Setup& setup);
    void deleteSetup(const Setup& setup);
    void renameSetup(const Setup& setup, const std::string& name);
    void updateSetupToCurrent(const Setup& setup);
    void applySetup(const Setup& setup);
    // Stores `setups` as it is; views that assign the list call it after. When it cannot be
    // stored, `lastError` says why and `setups` goes back to what is stored.
    void persistSetups();

    // Automation rules (the list and its stored copy; the monitor runs them).
    void addRule(const AutomationRule& rule);
    void deleteRule(const AutomationRule& rule);
    void toggleRule(const AutomationRule& rule);
    // As `persistSetups`, for `rules`.
    void persistRules();

    // The automation monitor (AutomationMonitor.cpp).
    static constexpr std::chrono::seconds automationInterval{20};
    // A time rule fires on a tick inside this long after its minute begins.
    static constexpr std::chrono::seconds timeRuleWindow{120};
    // Where screen, wake and launch events come from. Tests set their own before the monitor
    // starts; otherwise the first start makes the machine's own.
    void setAutomationEvents(std::unique_ptr<AutomationEvents> events);
    AutomationEvents* automationEvents() const { return automationEvents_.get(); }
    // Takes the baselines, then runs the timer and listens to the events, each of which only
    // queues its work on the main thread. Calling it again replaces the earlier timer and
    // connections. With `BatteryBaseline::takenLater` the power source and battery level (a tool
    // run) are left to takeBatteryBaseline(), which the caller runs soon after, well before the
    // first tick.
    void startAutomationMonitor(BatteryBaseline battery = BatteryBaseline::takenNow);
    // Reads the power source and battery level that the monitor's ticks compare against.
    void takeBatteryBaseline();
    // The timer's work (power source, battery level, time of day) and the events' work; public
    // so that a test need not wait for the timer.
    void automationTick();
    void handleScreenChange();
    void handleApplicationLaunch(const std::string& bundleID);
    void handleWake();
    // The battery's charge in percent through the power control, or none.
    std::optional<int> batteryPercent() const;
    // The applications the rule form offers for the app-launched trigger.
    static std::vector<InstalledApp> installedApps();

  signals:
    void objectWillChange();

  private:
    void loadStoredSettings();
    // Remembers that `key` could not be read, and says so on standard error.
    void noteUnreadable(const char* key, const std::string& reason);
    // Records stored under one id would be deleted, edited and switched to together: the later
    // ones get fresh ids, said on standard error, and the list is stored again after a copy of
    // it is kept aside.
    void separateSharedIDs();
    void loadFiredTimeRules();
    // Another instance of the application, or another program, may have changed a stored set or
    // list since this model last read or wrote it: a change is then made to what is stored now,
    // so that it does not write back a stale copy over theirs. What cannot be read now stays as
    // this model holds it.
    std::set<std::string> storedFavorites(const char* key, const std::set<std::string>& held);
    // The stored value of `key` when its bytes are no longer those this model last read or wrote
    // there (empty when the key was removed); none when they are, or cannot be read.
    template <class T, class Decode>
    std::optional<T> storedSinceRead(const char* key, Decode decode);
    void catchUpSetups();
    void catchUpRules();
    // Today's time rules that another instance has already fired count as fired here too.
    void catchUpFiredTimeRules(const std::string& todayKey);
    static Decoded<std::map<std::string, std::string>> decodeFiredTimeRules(
        const std::string& bytes);
    // Stores the time rules fired today (older days and deleted rules no longer matter).
    void persistFiredTimeRules(const std::string& todayKey);
    template <class T, class Decode>
    std::optional<T> loadStored(const char* key, Decode decode);
    // The ids of a stored list; the texts of one that also holds other things.
    std::set<std::string> loadFavorites(const char* key);
    // Runs `write` for `key`, first keeping aside once what was there when it could not be read.
    // Never throws: false, with the reason in `lastError`, when nothing was stored.
    bool storeSetting(const char* key, const std::function<void()>& write);
    bool writeStored(const char* key, const std::function<std::string()>& encode);
    bool writeFavorites(const char* key, const std::set<std::string>& ids);
    bool writeFlag(const char* key, bool value);

    // The error convention: the error's text (or none) to `lastError`, then `refresh()`.
    void report(const std::optional<std::string>& error);
    void computeSuggestion();
    void switchTweaksTo(const std::set<std::string>& wanted);
    std::vector<AutomationRule> activeRules(AutomationRule::Kind kind) const;
    // Has the event source look for launches only while an enabled rule needs them.
    void followLaunchRules();
    void applyRule(const AutomationRule& rule);
    void applyRules(const std::vector<AutomationRule>& rules);

    Catalog catalog_;
    std::shared_ptr<TweakEngine> engine_;
    RecipeRunner runner_;
    std::shared_ptr<UserDefaults> store_;
    PowerControl power_;
    DisplayControl display_;
    Clock clock_;

    std::set<std::string> appliedRecipeIDs_;
    std::set<std::string> favoriteTweakIDs_;
    std::set<std::string> favoriteRecipeIDs_;
    std::set<std::string> favoritePowerTweakIDs_;
    bool keepAwakeWithLidClosed_ = false;
    bool nightShiftOn_ = false;
    double nightShiftStrength_ = 0;
    bool darkMode_ = false;
    bool onBattery_ = false;
    std::map<std::string, std::string> pmsetCache_;
    std::optional<Suggestion> suggestion_;
    UserProfile profile_;
    std::optional<std::string> lastError_;
    std::int64_t revision_ = 0;
    bool favoritePower_ = false;
    std::vector<Setup> setups_;
    std::vector<AutomationRule> rules_;

    std::unique_ptr<AutomationEvents> automationEvents_;
    std::vector<QMetaObject::Connection> automationConnections_;

    // Stored keys whose value is copied aside before it is first replaced: the reason it is
    // kept, and the key of the copy.
    struct KeptAside {
        std::string reason;
        std::string copyKey;
    };
    std::map<std::string, KeptAside> keptAside_;
    // The favourite sets as last read from or written to the store, by key: a set stored since
    // by someone else differs from it.
    std::map<std::string, std::set<std::string>> favoritesAsStored_;
    // Likewise the bytes of the settings stored as data (none: the key held no data).
    std::map<std::string, std::optional<std::string>> bytesAsStored_;
    // The lists as they are stored, for a failed write to go back to.
    std::vector<Setup> storedSetups_;
    std::vector<AutomationRule> storedRules_;
};

}  // namespace velmora
