// The suggestion of the day: the first step of a fixed cascade that yields something, rotating
// within a pool of equal candidates by the day of the year.
#include <algorithm>

#include <QDateTime>
#include <QLocale>

#include "ui/model/AppModel.hpp"

namespace velmora {

namespace {

constexpr int eveningStartHour = 18;
constexpr int morningStartHour = 6;
constexpr int workStartHour = 9;
constexpr int workEndHour = 17;  // inclusive
constexpr int recommendationLimit = 4;

const char* const keepAwakeReason = "Plugged in? Keep it awake with the lid shut.";
const char* const batteryReason = "On battery \u2014 lighten up to save power.";
const char* const eveningReason = "Winding down \u2014 declutter your screen.";
const char* const workReason = "Make today feel snappier.";
const char* const becauseYouPicked = "Because you picked ";
const char* const pickedForYou = "Picked for you.";
const char* const freshPickFor = "A fresh pick for ";

std::vector<const Recipe*> pool(const std::vector<const Recipe*>& candidates, UserGoal goal) {
    std::vector<const Recipe*> result;
    for (const Recipe* recipe : candidates) {
        if (std::find(recipe->goals.begin(), recipe->goals.end(), goal) != recipe->goals.end()) {
            result.push_back(recipe);
        }
    }
    return result;
}

const Recipe& pick(const std::vector<const Recipe*>& pool, int day) {
    return *pool[static_cast<std::size_t>(day) % pool.size()];
}

Suggestion recipeSuggestion(const Recipe& recipe, std::string reason) {
    return Suggestion{recipe.id, false, std::move(reason)};
}

}  // namespace

void AppModel::computeSuggestion() {
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(clock_().time_since_epoch()).count());
    const int hour = now.time().hour();
    const int dayOfYear = now.date().dayOfYear();
    const int day = dayOfYear > 0 ? dayOfYear : 1;
    const bool evening = hour >= eveningStartHour || hour < morningStartHour;
    const bool workingHours = hour >= workStartHour && hour <= workEndHour;

    std::vector<const Recipe*> candidates;
    for (const Recipe& recipe : catalog_.recipes()) {
        if (!appliedRecipeIDs_.contains(recipe.id)) {
            candidates.push_back(&recipe);
        }
    }

    if (profile_.device == DeviceKind::laptop && !onBattery_ && !keepAwakeWithLidClosed_) {
        setSuggestion(Suggestion{std::nullopt, true, keepAwakeReason});
        return;
    }
    if (onBattery_) {
        for (UserGoal goal : {UserGoal::battery, UserGoal::speed, UserGoal::focus}) {
            if (auto found = pool(candidates, goal); !found.empty()) {
                setSuggestion(recipeSuggestion(pick(found, day), batteryReason));
                return;
            }
        }
    }
    if (auto focus = pool(candidates, UserGoal::focus); evening && !focus.empty()) {
        setSuggestion(recipeSuggestion(pick(focus, day), eveningReason));
        return;
    }
    if (auto speed = pool(candidates, UserGoal::speed); workingHours && !speed.empty()) {
        setSuggestion(recipeSuggestion(pick(speed, day), workReason));
        return;
    }
    for (const Recipe& recipe : catalog_.recommendedRecipes(profile_, recommendationLimit)) {
        if (!appliedRecipeIDs_.contains(recipe.id)) {
            const std::string why = profile_.reason(recipe.fields, recipe.goals);
            setSuggestion(recipeSuggestion(
                recipe, why.empty() ? std::string(pickedForYou) : becauseYouPicked + why + "."));
            return;
        }
    }
    if (!candidates.empty()) {
        const QString weekday = QLocale().dayName(now.date().dayOfWeek(), QLocale::LongFormat);
        setSuggestion(
            recipeSuggestion(pick(candidates, day), freshPickFor + weekday.toStdString() + "."));
        return;
    }
    setSuggestion(std::nullopt);
}

}  // namespace velmora
