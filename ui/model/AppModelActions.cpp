// The operations the views call: recipes, tweaks, favourites, power settings, sliders, appearance,
// the profile and search.
#include <algorithm>
#include <cmath>
#include <iterator>

#include <nlohmann/json.hpp>

#include "kit/JsonWrite.hpp"
#include "kit/Search.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/model/ErrorText.hpp"

namespace velmora {

namespace {

constexpr int recommendedRecipeLimit = 4;
constexpr int recommendedTweakLimit = 8;
// 2^63: the first double an int64 cannot hold; -2^63 is the last one it can.
constexpr double integerLimit = 9223372036854775808.0;

template <class Item>
bool contains(const std::set<std::string>& ids, const Item& item) {
    return ids.contains(item.id);
}

// The items `keep` accepts, in the order given (the catalog's, which the views show).
template <class Item, class Keep>
std::vector<Item> where(const std::vector<Item>& items, Keep keep) {
    std::vector<Item> result;
    std::copy_if(items.begin(), items.end(), std::back_inserter(result), keep);
    return result;
}

// The stored set with `id` switched the way the user sees it switch: out when it shows as a
// favourite, in when it does not.
std::set<std::string> toggled(const std::set<std::string>& shown, std::set<std::string> stored,
                              const std::string& id) {
    if (shown.contains(id)) {
        stored.erase(id);
    } else {
        stored.insert(id);
    }
    return stored;
}

std::string numberText(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    return nlohmann::json(value).dump();
}

}  // namespace

// Recipes.

bool AppModel::isApplied(const Recipe& recipe) const {
    return contains(appliedRecipeIDs_, recipe);
}

void AppModel::apply(const Recipe& recipe) {
    AppliedRecipe applied;
    const std::optional<std::string> error = attempt([&] { runner_.apply(recipe, applied); });
    if (!error || !applied.changes.empty()) {
        // Each application's records go after (so are undone before) those of an earlier one in
        // this run, a part-failed one's too: a recipe applied again, after one of its tweaks was
        // switched off by hand, then reverts to what the user had before the first application
        // and not to the values that first application wrote.
        AppliedRecipe& entry = sessionApplied[recipe.id];
        entry.recipeID = recipe.id;
        entry.changes.insert(entry.changes.end(), applied.changes.begin(), applied.changes.end());
    }
    report(error);
}

void AppModel::revert(const Recipe& recipe) {
    report(attempt([&] {
        if (auto entry = sessionApplied.find(recipe.id); entry != sessionApplied.end()) {
            runner_.revert(entry->second);
            sessionApplied.erase(entry);
            return;
        }
        // Not applied in this run: nothing says what the keys held before, so switch them off.
        for (const RecipeItem& item : recipe.items) {
            if (auto tweak = catalog_.tweak(item.tweakID)) {
                engine_->setEnabled(false, *tweak);
            }
        }
    }));
}

void AppModel::toggle(const Recipe& recipe) {
    if (isApplied(recipe)) {
        revert(recipe);
    } else {
        apply(recipe);
    }
}

// Tweaks.

bool AppModel::isEnabled(const Tweak& tweak) {
    try {
        return engine_->isEnabled(tweak);
    } catch (...) {
        return false;
    }
}

void AppModel::setTweak(const Tweak& tweak, bool enabled) {
    report(attempt([&] { engine_->setEnabled(enabled, tweak); }));
}

void AppModel::toggleTweak(const Tweak& tweak) {
    setTweak(tweak, !isEnabled(tweak));
}

void AppModel::setTweaks(const std::vector<Tweak>& tweaks, bool enabled) {
    report(attempt([&] {
        for (const Tweak& tweak : tweaks) {
            engine_->setEnabled(enabled, tweak);
        }
    }));
}

bool AppModel::allEnabled(const std::vector<Tweak>& tweaks) {
    return !tweaks.empty() &&
           std::all_of(tweaks.begin(), tweaks.end(), [&](const Tweak& t) { return isEnabled(t); });
}

void AppModel::toggleKeepAwakeWithLidClosed() {
    const bool wanted = !keepAwakeWithLidClosed_;
    report(attempt([&] { power_.writer(wanted); }));
}

// Favourites.

bool AppModel::isFavorite(const Tweak& tweak) const {
    return contains(favoriteTweakIDs_, tweak);
}
bool AppModel::isFavorite(const Recipe& recipe) const {
    return contains(favoriteRecipeIDs_, recipe);
}
bool AppModel::isFavorite(const PowerTweak& toggle) const {
    return contains(favoritePowerTweakIDs_, toggle);
}

// Stored first: a set the store refused would show a star the next start does not. The set stored
// now is the one changed, another instance's stars included.
void AppModel::toggleFavorite(const Tweak& tweak) {
    std::set<std::string> ids = toggled(
        favoriteTweakIDs_, storedFavorites(Keys::favoriteTweakIDs, favoriteTweakIDs_), tweak.id);
    if (writeFavorites(Keys::favoriteTweakIDs, ids)) {
        setFavoriteTweakIDs(std::move(ids));
    }
}

void AppModel::toggleFavorite(const Recipe& recipe) {
    std::set<std::string> ids =
        toggled(favoriteRecipeIDs_, storedFavorites(Keys::favoriteRecipeIDs, favoriteRecipeIDs_),
                recipe.id);
    if (writeFavorites(Keys::favoriteRecipeIDs, ids)) {
        setFavoriteRecipeIDs(std::move(ids));
    }
}

void AppModel::toggleFavorite(const PowerTweak& toggle) {
    std::set<std::string> ids =
        toggled(favoritePowerTweakIDs_,
                storedFavorites(Keys::favoritePowerTweakIDs, favoritePowerTweakIDs_), toggle.id);
    if (writeFavorites(Keys::favoritePowerTweakIDs, ids)) {
        setFavoritePowerTweakIDs(std::move(ids));
    }
}

void AppModel::toggleFavoritePower() {
    if (writeFlag(Keys::favoritePower, !favoritePower_)) {
        setFavoritePower(!favoritePower_);
    }
}

std::vector<Tweak> AppModel::favoriteTweaks() const {
    return where(catalog_.tweaks(), [this](const Tweak& tweak) { return isFavorite(tweak); });
}

std::vector<Recipe> AppModel::favoriteRecipes() const {
    return where(catalog_.recipes(), [this](const Recipe& recipe) { return isFavorite(recipe); });
}

std::vector<PowerTweak> AppModel::favoritePowerToggles() const {
    return where(powerToggles(), [this](const PowerTweak& toggle) { return isFavorite(toggle); });
}

bool AppModel::hasFavorites() const {
    // Only favourites still in the catalog count; finding one needs no copy of the lists.
    auto anyFavorite = [this](const auto& items) {
        return std::any_of(items.begin(), items.end(),
                           [this](const auto& item) { return this->isFavorite(item); });
    };
    return anyFavorite(catalog_.tweaks()) || anyFavorite(catalog_.recipes()) || favoritePower_ ||
           anyFavorite(powerToggles());
}

// Power settings.

bool AppModel::isPowerToggleOn(const PowerTweak& toggle) const {
    auto entry = pmsetCache_.find(toggle.key);
    return entry != pmsetCache_.end() && entry->second == toggle.onValue;
}

void AppModel::togglePowerToggle(const PowerTweak& toggle) {
    const std::string& value = isPowerToggleOn(toggle) ? toggle.offValue : toggle.onValue;
    report(attempt([&] { power_.settingWriter(toggle.key, value); }));
}

std::vector<PowerTweak> AppModel::enabledPowerToggles() const {
    return where(powerToggles(),
                 [this](const PowerTweak& toggle) { return isPowerToggleOn(toggle); });
}

// Sliders.

double AppModel::sliderValue(const SliderTweak& slider) {
    const std::optional<TweakValue> value = engine_->rawValue(slider.key);
    if (value && value->isInt()) {
        return static_cast<double>(value->asInt());
    }
    // NaN or infinity would poison every scene captured from it.
    if (value && value->isDouble() && std::isfinite(value->asDouble())) {
        return value->asDouble();
    }
    return slider.defaultValue;
}

void AppModel::setSliderValue(const SliderTweak& slider, double value) {
    if (!std::isfinite(value)) {
        report("cannot set " + slider.id + " to " + numberText(value) + ": not a finite number");
        return;
    }
    const double rounded = std::round(value);  // halves away from zero
    if (slider.isInt && (rounded < -integerLimit || rounded >= integerLimit)) {
        report("cannot set " + slider.id + " to " + numberText(value) +
               ": too large for a whole number");
        return;
    }
    const TweakValue written = slider.isInt
                                   ? TweakValue::integer(static_cast<std::int64_t>(rounded))
                                   : TweakValue::real(value);
    report(attempt([&] {
        if (!slider.companionKey || !slider.companionValue) {
            engine_->setRawValue(written, slider.key, slider.restartService);
            return;
        }
        const DefaultsKey& companion = *slider.companionKey;
        const std::optional<TweakValue> before = engine_->backend->read(companion);
        engine_->setRawValue(*slider.companionValue, companion, std::nullopt);
        try {
            engine_->setRawValue(written, slider.key, std::nullopt);
        } catch (...) {
            // The companion only serves the slider's value: without it, it goes back as it was.
            try {
                before ? engine_->backend->write(companion, *before)
                       : engine_->backend->remove(companion);
            } catch (...) {
                // The slider's own failure is the one to report.
            }
            throw;
        }
        if (slider.restartService) {
            engine_->services->restart(*slider.restartService);
        }
    }));
}

// Appearance.

void AppModel::toggleDarkMode() {
    display_.setDarkMode(!darkMode_);
    // The display control says nothing when the system refuses or the script fails, so the
    // switch shows the appearance the system now reports rather than the one asked for.
    setDarkMode(display_.darkModeReader());
}

void AppModel::toggleNightShift() {
    setNightShiftOn(!nightShiftOn_);
}

void AppModel::setWarmth(double value) {
    setNightShiftStrength(value);
    if (value > 0) {
        setNightShiftOn(true);
    }
}

// Profile and recommendations.

std::vector<Recipe> AppModel::recommendedRecipes() const {
    return catalog_.recommendedRecipes(profile_, recommendedRecipeLimit);
}

std::vector<Tweak> AppModel::recommendedTweaks() const {
    return catalog_.recommendedTweaks(profile_, recommendedTweakLimit);
}

std::string AppModel::reason(const Recipe& recipe) const {
    return profile_.reason(recipe.fields, recipe.goals);
}

std::string AppModel::reason(const Tweak& tweak) const {
    return profile_.reason(tweak.fields, tweak.goals);
}

void AppModel::saveProfile(std::set<UserField> fields, std::set<UserGoal> goals,
                           DeviceKind device) {
    // Fields a newer version stored stay with the profile.
    UserProfile profile{std::move(fields), std::move(goals), device, true, profile_.unknownMembers};
    if (!writeStored(Keys::userProfile, [&] { return json::text(profile.toJson(), "profile"); })) {
        return;  // the answers stay as stored, and `lastError` says why
    }
    setProfile(std::move(profile));
    // The suggestion was made for the old answers (a desktop would keep the laptop tip).
    computeSuggestion();
    setRevision(revision_ + 1);
}

// Search.

std::vector<const Tweak*> AppModel::searchTweaks(const std::string& query) const {
    return catalog_.search(query);
}

std::vector<Recipe> AppModel::searchRecipes(const std::string& query) const {
    const Search::Query words(query);
    return where(catalog_.recipes(), [&](const Recipe& recipe) {
        return words.matches(recipe.title + " " + recipe.summary + " " +
                             Search::keywords(recipe.id));
    });
}

std::vector<SliderTweak> AppModel::searchSliders(const std::string& query) const {
    const Search::Query words(query);
    return where(sliderTweaks(), [&](const SliderTweak& slider) {
        return words.matches(slider.title + " " + slider.summary + " " +
                             displayName(slider.category) + " " + slider.key.domain + " " +
                             Search::keywords(slider.id));
    });
}

std::vector<PowerTweak> AppModel::searchPowerToggles(const std::string& query) const {
    const Search::Query words(query);
    return where(powerToggles(), [&](const PowerTweak& toggle) {
        return words.matches(toggle.title + " " + toggle.summary + " power admin " +
                             Search::keywords(toggle.id));
    });
}

bool AppModel::lidCloseMatches(const std::string& query) const {
    return Search::matches(query, "never sleep keep awake " + Search::keywords("lid-close"));
}

}  // namespace velmora
