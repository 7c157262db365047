// Facts about the built-in data lists that a slip in copying an entry would break.
#include <algorithm>
#include <map>
#include <string>
#include <utility>
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

// How many tweaks (or toggles) give each name; an empty name is not counted.
template <class NameOf>
Counts perTweak(NameOf nameOf) {
    Counts counts;
    for (const auto& list : lists()) {
        for (const Tweak& tweak : list) {
            if (const std::string name = nameOf(tweak); !name.empty()) {
                ++counts[name];
            }
        }
    }
    return counts;
}
template <class NameOf>
Counts perToggle(NameOf nameOf) {
    Counts counts;
    perTweak([&](const Tweak& tweak) {
        for (const DefaultsToggle& toggle : tweak.toggles) {
            if (const std::string name = nameOf(tweak, toggle); !name.empty()) {
                ++counts[name];
            }
        }
        return std::string();
    });
    return counts;
}

std::string tally(const Counts& counts) {
    std::string text;
    for (const auto& [name, count] : counts) {
        text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
    }
    return text;
}

void expectUnique(const Counts& counts, std::size_t size) {
    EXPECT_EQ(counts.size(), size);
    for (const auto& [name, count] : counts) {
        EXPECT_EQ(count, 1) << "used twice: " << name;
    }
}

TEST(CatalogData, CountsPerListCategoryTierAndRiskWithUniqueIds) {
    std::vector<std::pair<std::size_t, std::string>> shape;
    for (const auto& list : lists()) {
        shape.emplace_back(list.size(), list.front().id);
    }
    const std::vector<std::pair<std::size_t, std::string>> expected{
        {13, "screenshot-disable-shadow"},
        {11, "finder-show-path-bar"},
        {7, "dev-show-hidden-files"},
        {4, "declutter-hide-desktop-icons"},
        {1, "hot-corner-bottom-left-mission-control"},
        {8, "perf-no-window-animations"},
        {9, "kb-full-keyboard-access"},
        {6, "privacy-require-password-immediately"},
        {10, "mc-no-rearrange-spaces"},
        {25, "perf-reduce-motion"}};
    EXPECT_EQ(shape, expected);
    EXPECT_EQ(lists().back().back().id, "menubar-show-user-switcher");
    expectUnique(perTweak([](const Tweak& t) { return t.id; }), 94);

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
    expectUnique(perToggle([](const Tweak&, const DefaultsToggle& toggle) {
                     return toggle.key.domain + " " + toggle.key.key;
                 }),
                 102);
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
    Counts expectedDisabled{{"trackpad-tap-to-click com.apple.mouse.tapBehavior int(0)", 1},
                            {"trackpad-tap-to-click Clicking bool(false)", 2},
                            {"privacy-require-password-immediately askForPassword int(0)", 1}};
    perTweak([&](const Tweak& t) {
        if (t.id.rfind("menubar-show-", 0) == 0) {
            ++expectedDisabled[t.id + " " + t.toggle().key.key + " bool(false)"];
        }
        return std::string();
    });
    EXPECT_EQ(perToggle([](const Tweak& t, const DefaultsToggle& toggle) {
                  return toggle.disabledValue ? t.id + " " + toggle.key.key + " " +
                                                    toggle.disabledValue->description()
                                              : "";
              }),
              expectedDisabled);
}

// The count per tweak of texts (title, summary) with characters beyond ASCII.
TEST(CatalogData, TypographicCharactersAreKept) {
    EXPECT_EQ(tally(perTweak([](const Tweak& t) {
                  int typographic = 0;
                  for (const std::string& text : {t.title, t.summary}) {
                      EXPECT_EQ(text.find('"'), std::string::npos) << t.id;
                      EXPECT_EQ(text.find("->"), std::string::npos) << t.id;
                      typographic +=
                          std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; });
                  }
                  return std::to_string(typographic);
              })),
              "0 91, 1 2, 2 1");
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
