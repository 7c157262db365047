// Facts about the built-in data lists that a slip in copying an entry would break.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kit/catalog/CatalogData.hpp"

namespace velmora {
namespace {

using namespace catalog_data;
using Counts = std::map<std::string, int>;

const std::vector<std::vector<Tweak>>& lists() {
    static const std::vector<std::vector<Tweak>> all{
        starterRecipeTweaks(), finderPowerTweaks(), developerSetupTweaks(), declutterTweaks(),
        hotCornerTweaks(),     performanceTweaks(), inputTweaks(),          privacyTweaks(),
        spacesTweaks(),        moreTweaks()};
    return all;
}

// How many toggles (or tweaks, by their first toggle) give each name; an empty name is not counted.
template <class NameOf>
Counts perToggle(NameOf nameOf) {
    Counts counts;
    for (const auto& list : lists()) {
        for (const Tweak& tweak : list) {
            for (const DefaultsToggle& toggle : tweak.toggles) {
                if (const std::string name = nameOf(tweak, toggle); !name.empty()) {
                    ++counts[name];
                }
            }
        }
    }
    return counts;
}
template <class NameOf>
Counts perTweak(NameOf nameOf) {
    return perToggle([&](const Tweak& t, const DefaultsToggle& toggle) {
        return &toggle == &t.toggles.front() ? nameOf(t) : std::string();
    });
}

std::string tally(const Counts& counts) {
    std::string text;
    for (const auto& [name, count] : counts) {
        text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
    }
    return text;
}

TEST(CatalogData, CountsPerListCategoryTierAndRiskWithUniqueIds) {
    std::vector<std::size_t> sizes;
    for (const auto& list : lists()) {
        sizes.push_back(list.size());
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{13, 11, 7, 4, 1, 8, 9, 6, 10, 25}));
    // As many ids as tweaks (94), and below as many keys as toggles (the value kinds: 102).
    EXPECT_EQ(perTweak([](const Tweak& t) { return t.id; }).size(), 94U);

    // Network and power have none.
    EXPECT_EQ(tally(perTweak([](const Tweak& t) { return std::string(rawValue(t.category)); })),
              "dock 14, finder 16, keyboard 9, menubar 13, missionControl 4, performance 9, "
              "privacy 6, safari 4, screenshots 5, system 11, trackpad 3");
    EXPECT_EQ(tally(perTweak([](const Tweak& t) {
                  return std::string(t.tier == TweakTier::simple ? "simple" : "advanced") +
                         (t.risk == RiskLevel::safe ? " safe" : " caution");
              })),
              "advanced caution 9, advanced safe 26, simple safe 59");
    EXPECT_EQ(tally(perTweak([](const Tweak& t) { return t.laptopOnly ? t.id : ""; })),
              "menubar-battery-percentage 1");
}

TEST(CatalogData, TogglesKeysValueKindsAndRestarts) {
    EXPECT_EQ(perToggle([](const Tweak&, const DefaultsToggle& toggle) {
                  return toggle.key.domain + " " + toggle.key.key;
              }).size(),
              102U);
    EXPECT_EQ(tally(perToggle([](const Tweak& t, const DefaultsToggle&) {
                  return t.toggles.size() > 1 ? t.id : "";
              })),
              "hot-corner-bottom-left-mission-control 2, kb-disable-smart-quotes 2, "
              "mc-hot-corner-mission-control 2, perf-fast-launchpad 2, "
              "privacy-require-password-immediately 2, trackpad-tap-to-click 3, "
              "trackpad-three-finger-drag 2");
    EXPECT_EQ(tally(perToggle([](const Tweak&, const DefaultsToggle& toggle) {
                  const std::string text = toggle.enabledValue.description();
                  return text.substr(0, text.find('('));
              })),
              "bool 76, double 7, int 13, string 6");
    EXPECT_EQ(tally(perToggle([](const Tweak&, const DefaultsToggle& toggle) {
                  return toggle.restartService.value_or("none");
              })),
              "ControlCenter 13, Dock 20, Finder 15, SystemUIServer 5, none 49");

    // The two "Clicking" keys of tap-to-click (two domains) make one entry.
    EXPECT_EQ(tally(perToggle([](const Tweak& t, const DefaultsToggle& toggle) {
                  if (!toggle.disabledValue) {
                      return std::string();
                  }
                  return (t.id.starts_with("menubar-show-") ? std::string("menubar-show-*")
                                                            : t.id + " " + toggle.key.key) +
                         " " + toggle.disabledValue->description();
              })),
              "menubar-show-* bool(false) 7, privacy-require-password-immediately askForPassword "
              "int(0) 1, trackpad-tap-to-click Clicking bool(false) 2, trackpad-tap-to-click "
              "com.apple.mouse.tapBehavior int(0) 1");
}

TEST(CatalogData, RecipesNameCatalogTweaks) {
    std::vector<Recipe> recipes = starterRecipes();
    recipes.insert(recipes.end(), {finderPowerRecipe(), developerSetupRecipe(), declutterRecipe()});
    const Counts known = perTweak([](const Tweak& t) { return t.id; });
    Counts shape;
    for (const Recipe& recipe : recipes) {
        shape[recipe.id] = static_cast<int>(recipe.items.size());
        for (const RecipeItem& item : recipe.items) {
            EXPECT_TRUE(item.enabled && known.count(item.tweakID)) << recipe.id << item.tweakID;
        }
    }
    EXPECT_EQ(tally(shape),
              "declutter-focus 4, developer-setup 7, finder-power 6, "
              "screenshot-studio 3, speed-boost 4");
}

}  // namespace
}  // namespace velmora
