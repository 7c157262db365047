// Category names, availability and the tweak's construction check.
#include "kit/Tweak.hpp"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace velmora {

namespace {
constexpr std::array<std::string_view, 13> kCategoryRaw{
    "finder", "dock",    "screenshots", "keyboard", "network",        "power",  "safari",
    "system", "privacy", "performance", "trackpad", "missionControl", "menubar"};
}  // namespace

template <>
const std::vector<TweakCategory>& allCases<TweakCategory>() {
    static const std::vector<TweakCategory> cases = [] {
        std::vector<TweakCategory> all;
        for (std::size_t i = 0; i < kCategoryRaw.size(); ++i) {
            all.push_back(static_cast<TweakCategory>(i));
        }
        return all;
    }();
    return cases;
}

std::string_view rawValue(TweakCategory category) {
    return kCategoryRaw.at(static_cast<std::size_t>(category));
}

std::string displayName(TweakCategory category) {
    // These two raw values would not capitalise into their names.
    if (category == TweakCategory::missionControl) {
        return "Mission Control";
    }
    if (category == TweakCategory::menubar) {
        return "Menu Bar";
    }
    std::string name(rawValue(category));
    name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

bool TweakRequirement::isAvailable(int macOSMajor) const {
    return macOSMajor >= minMacOS && (!maxMacOS || macOSMajor <= *maxMacOS);
}

Tweak::Tweak(std::string id_, std::string title_, std::string summary_, TweakCategory category_,
             TweakTier tier_, Privilege privilege_, RiskLevel risk_, TweakRequirement requirement_,
             std::vector<DefaultsToggle> toggles_, std::vector<UserField> fields_,
             std::vector<UserGoal> goals_, bool laptopOnly_)
    : id(std::move(id_)),
      title(std::move(title_)),
      summary(std::move(summary_)),
      category(category_),
      tier(tier_),
      privilege(privilege_),
      risk(risk_),
      requirement(requirement_),
      toggles(std::move(toggles_)),
      fields(std::move(fields_)),
      goals(std::move(goals_)),
      laptopOnly(laptopOnly_) {
    if (toggles.empty()) {
        std::fprintf(stderr, "Tweak %s has no toggles\n", id.c_str());
        std::abort();
    }
}

Tweak::Tweak(std::string id_, std::string title_, std::string summary_, TweakCategory category_,
             TweakTier tier_, Privilege privilege_, RiskLevel risk_, TweakRequirement requirement_,
             DefaultsToggle toggle_, std::vector<UserField> fields_, std::vector<UserGoal> goals_,
             bool laptopOnly_)
    : Tweak(std::move(id_), std::move(title_), std::move(summary_), category_, tier_, privilege_,
            risk_, requirement_, std::vector<DefaultsToggle>{std::move(toggle_)},
            std::move(fields_), std::move(goals_), laptopOnly_) {}

}  // namespace velmora
