// The tweak ("power-up") and recipe vocabulary of the catalog.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/DefaultsKey.hpp"
#include "kit/Enums.hpp"
#include "kit/UserProfile.hpp"

namespace velmora {

enum class TweakCategory {
    finder,
    dock,
    screenshots,
    keyboard,
    network,
    power,
    safari,
    system,
    privacy,
    performance,
    trackpad,
    missionControl,
    menubar
};

template <>
const std::vector<TweakCategory>& allCases<TweakCategory>();
std::string_view rawValue(TweakCategory category);
std::string displayName(TweakCategory category);

enum class TweakTier { simple, advanced };
enum class Privilege { user, admin };
enum class RiskLevel { safe, caution };

struct TweakRequirement {
    int minMacOS = 13;
    std::optional<int> maxMacOS;
    bool requiresLogout = false;

    // Both bounds inclusive.
    bool isAvailable(int macOSMajor) const;
};

class Tweak {
  public:
    // Stops the program on an empty toggle list: only built-in data could cause it.
    Tweak(std::string id, std::string title, std::string summary, TweakCategory category,
          TweakTier tier, Privilege privilege, RiskLevel risk, TweakRequirement requirement,
          std::vector<DefaultsToggle> toggles, std::vector<UserField> fields,
          std::vector<UserGoal> goals, bool laptopOnly);
    Tweak(std::string id, std::string title, std::string summary, TweakCategory category,
          TweakTier tier, Privilege privilege, RiskLevel risk, TweakRequirement requirement,
          DefaultsToggle toggle, std::vector<UserField> fields, std::vector<UserGoal> goals,
          bool laptopOnly);

    std::string id;
    std::string title;
    std::string summary;
    TweakCategory category;
    TweakTier tier;
    Privilege privilege;
    RiskLevel risk;
    TweakRequirement requirement;
    std::vector<DefaultsToggle> toggles;
    std::vector<UserField> fields;
    std::vector<UserGoal> goals;
    bool laptopOnly;

    const DefaultsToggle& toggle() const { return toggles.front(); }
};

struct RecipeItem {
    std::string tweakID;
    bool enabled = true;

    friend bool operator==(const RecipeItem&, const RecipeItem&) = default;
};

struct Recipe {
    std::string id;
    std::string title;
    std::string summary;
    std::vector<RecipeItem> items;
    std::vector<UserField> fields;
    std::vector<UserGoal> goals;
};

}  // namespace velmora
