// Small makers shared by the built-in data lists, so that each entry reads like one line of a
// table.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kit/Tweak.hpp"

namespace velmora::catalog_data {

// The running process that must restart before a changed key shows.
enum class Restart { none, dock, finder, systemUIServer, controlCenter };

// Whether the change only takes full effect after the user logs out.
enum class Logout { no, yes };

// Whether the tweak only means something on a portable Mac.
enum class Portability { anyMac, laptopOnly };

inline std::optional<std::string> processName(Restart restart) {
    switch (restart) {
        case Restart::none:
            return std::nullopt;
        case Restart::dock:
            return "Dock";
        case Restart::finder:
            return "Finder";
        case Restart::systemUIServer:
            return "SystemUIServer";
        case Restart::controlCenter:
            return "ControlCenter";
    }
    return std::nullopt;
}

// A key that is deleted when the tweak is switched off.
inline DefaultsToggle toggle(std::string domain, std::string key, TweakValue enabled,
                             Restart restart) {
    return DefaultsToggle{DefaultsKey{std::move(domain), std::move(key)}, std::move(enabled),
                          std::nullopt, processName(restart)};
}

// A key that is given `disabled` when the tweak is switched off.
inline DefaultsToggle toggle(std::string domain, std::string key, TweakValue enabled,
                             TweakValue disabled, Restart restart) {
    return DefaultsToggle{DefaultsKey{std::move(domain), std::move(key)}, std::move(enabled),
                          std::move(disabled), processName(restart)};
}

// Every built-in tweak runs as the user from macOS 13 on, with no upper bound.
inline Tweak tweak(std::string id, std::string title, std::string summary, TweakCategory category,
                   TweakTier tier, RiskLevel risk, Logout logout,
                   std::vector<DefaultsToggle> toggles, std::vector<UserField> fields,
                   std::vector<UserGoal> goals, Portability portability = Portability::anyMac) {
    constexpr int kOldestSupportedMacOS = 13;
    TweakRequirement requirement{kOldestSupportedMacOS, std::nullopt, logout == Logout::yes};
    return Tweak(std::move(id), std::move(title), std::move(summary), category, tier,
                 Privilege::user, risk, requirement, std::move(toggles), std::move(fields),
                 std::move(goals), portability == Portability::laptopOnly);
}

// Every built-in recipe switches each of its tweaks on.
inline Recipe recipe(std::string id, std::string title, std::string summary,
                     const std::vector<std::string>& tweakIDs, std::vector<UserField> fields,
                     std::vector<UserGoal> goals) {
    std::vector<RecipeItem> items;
    items.reserve(tweakIDs.size());
    for (const std::string& tweakID : tweakIDs) {
        items.push_back(RecipeItem{tweakID, true});
    }
    return Recipe{std::move(id),    std::move(title),  std::move(summary),
                  std::move(items), std::move(fields), std::move(goals)};
}

}  // namespace velmora::catalog_data
