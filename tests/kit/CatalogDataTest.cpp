// Facts about the built-in data lists that a slip in copying an entry would break.
#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "kit/catalog/CatalogData.hpp"

namespace velmora {
namespace {

using namespace catalog_data;
using IdSet = std::set<std::string>;

const std::vector<Tweak>& allTweaks() {
    static const std::vector<Tweak> joined = [] {
        std::vector<Tweak> tweaks;
        for (auto list : {starterRecipeTweaks(), finderPowerTweaks(), developerSetupTweaks(),
                          declutterTweaks(), hotCornerTweaks(), performanceTweaks(), inputTweaks(),
                          privacyTweaks(), spacesTweaks(), moreTweaks()}) {
            tweaks.insert(tweaks.end(), list.begin(), list.end());
        }
        return tweaks;
    }();
    return joined;
}

IdSet idsWhere(const std::function<bool(const Tweak&)>& test) {
    IdSet ids;
    for (const Tweak& tweak : allTweaks()) {
        if (test(tweak)) {
            ids.insert(tweak.id);
        }
    }
    return ids;
}

template <class Key>
std::map<Key, int> countsOf(const std::function<Key(const Tweak&)>& keyOf) {
    std::map<Key, int> counts;
    for (const Tweak& tweak : allTweaks()) {
        ++counts[keyOf(tweak)];
    }
    return counts;
}

TEST(CatalogData, ListsHoldTheirEntriesInCatalogOrder) {
    const std::vector<std::pair<std::vector<Tweak>, std::string>> lists{
        {starterRecipeTweaks(), "screenshot-disable-shadow"},
        {finderPowerTweaks(), "finder-show-path-bar"},
        {developerSetupTweaks(), "dev-show-hidden-files"},
        {declutterTweaks(), "declutter-hide-desktop-icons"},
        {hotCornerTweaks(), "hot-corner-bottom-left-mission-control"},
        {performanceTweaks(), "perf-no-window-animations"},
        {inputTweaks(), "kb-full-keyboard-access"},
        {privacyTweaks(), "privacy-require-password-immediately"},
        {spacesTweaks(), "mc-no-rearrange-spaces"},
        {moreTweaks(), "perf-reduce-motion"}};
    const std::vector<std::size_t> sizes{13, 11, 7, 4, 1, 8, 9, 6, 10, 25};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        ASSERT_EQ(lists[i].first.size(), sizes[i]) << lists[i].second;
        EXPECT_EQ(lists[i].first.front().id, lists[i].second);
    }
    EXPECT_EQ(allTweaks().size(), 94u);
    EXPECT_EQ(allTweaks().back().id, "menubar-show-user-switcher");

    IdSet seen;
    for (const Tweak& tweak : allTweaks()) {
        EXPECT_TRUE(seen.insert(tweak.id).second) << "duplicate " << tweak.id;
    }
}

TEST(CatalogData, CountsPerCategoryTierRiskFieldAndGoal) {
    const std::map<TweakCategory, int> categories{
        {TweakCategory::finder, 16},     {TweakCategory::dock, 14},
        {TweakCategory::screenshots, 5}, {TweakCategory::keyboard, 9},
        {TweakCategory::safari, 4},      {TweakCategory::system, 11},
        {TweakCategory::privacy, 6},     {TweakCategory::performance, 9},
        {TweakCategory::trackpad, 3},    {TweakCategory::missionControl, 4},
        {TweakCategory::menubar, 13}};  // network and power have none
    EXPECT_EQ(countsOf<TweakCategory>([](const Tweak& t) { return t.category; }), categories);
    const std::map<TweakTier, int> tiers{{TweakTier::simple, 59}, {TweakTier::advanced, 35}};
    EXPECT_EQ(countsOf<TweakTier>([](const Tweak& t) { return t.tier; }), tiers);
    const std::map<RiskLevel, int> risks{{RiskLevel::safe, 85}, {RiskLevel::caution, 9}};
    EXPECT_EQ(countsOf<RiskLevel>([](const Tweak& t) { return t.risk; }), risks);
    EXPECT_EQ(idsWhere([](const Tweak& t) { return t.laptopOnly; }),
              IdSet{"menubar-battery-percentage"});
    EXPECT_EQ(idsWhere([](const Tweak& t) { return t.requirement.requiresLogout; }).size(), 15u);

    std::map<UserField, int> fields;
    std::map<UserGoal, int> goals;
    for (const Tweak& tweak : allTweaks()) {
        EXPECT_EQ(tweak.privilege, Privilege::user) << tweak.id;
        EXPECT_EQ(tweak.requirement.minMacOS, 13) << tweak.id;
        for (UserField field : tweak.fields) {
            ++fields[field];
        }
        for (UserGoal goal : tweak.goals) {
            ++goals[goal];
        }
    }
    const std::map<UserField, int> expectedFields{
        {UserField::developer, 32}, {UserField::designer, 9}, {UserField::writer, 8},
        {UserField::photoVideo, 6}, {UserField::student, 4},  {UserField::business, 22},
        {UserField::clean, 20}};
    const std::map<UserGoal, int> expectedGoals{{UserGoal::speed, 22},  {UserGoal::focus, 15},
                                                {UserGoal::privacy, 9}, {UserGoal::capture, 2},
                                                {UserGoal::battery, 1}, {UserGoal::keyboard, 9}};
    EXPECT_EQ(fields, expectedFields);
    EXPECT_EQ(goals, expectedGoals);
}

TEST(CatalogData, TogglesKeysValueKindsAndRestarts) {
    std::map<std::string, std::size_t> several;
    std::set<std::pair<std::string, std::string>> keys;
    std::map<TweakValue::Kind, int> kinds;
    std::map<std::string, int> restarts;
    IdSet withDisabledValue;
    std::size_t toggles = 0;
    int disabledToggles = 0;
    for (const Tweak& tweak : allTweaks()) {
        if (tweak.toggles.size() > 1) {
            several[tweak.id] = tweak.toggles.size();
        }
        for (const DefaultsToggle& toggle : tweak.toggles) {
            ++toggles;
            EXPECT_TRUE(keys.insert({toggle.key.domain, toggle.key.key}).second)
                << toggle.key.domain << " " << toggle.key.key;
            ++kinds[toggle.enabledValue.kind()];
            ++restarts[toggle.restartService.value_or("none")];
            // One process serves all of a tweak's keys.
            EXPECT_EQ(toggle.restartService, tweak.toggle().restartService) << tweak.id;
            if (toggle.disabledValue) {
                ++disabledToggles;
                withDisabledValue.insert(tweak.id + " " + toggle.key.key + " " +
                                         toggle.disabledValue->description());
            }
        }
    }
    EXPECT_EQ(toggles, 102u);
    const std::map<std::string, std::size_t> expectedSeveral{
        {"hot-corner-bottom-left-mission-control", 2},
        {"perf-fast-launchpad", 2},
        {"kb-disable-smart-quotes", 2},
        {"trackpad-tap-to-click", 3},
        {"trackpad-three-finger-drag", 2},
        {"privacy-require-password-immediately", 2},
        {"mc-hot-corner-mission-control", 2}};
    EXPECT_EQ(several, expectedSeveral);
    const std::map<TweakValue::Kind, int> expectedKinds{{TweakValue::Kind::boolean, 76},
                                                        {TweakValue::Kind::integer, 13},
                                                        {TweakValue::Kind::real, 7},
                                                        {TweakValue::Kind::string, 6}};
    EXPECT_EQ(kinds, expectedKinds);
    const std::map<std::string, int> expectedRestarts{
        {"none", 49}, {"Dock", 20}, {"Finder", 15}, {"ControlCenter", 13}, {"SystemUIServer", 5}};
    EXPECT_EQ(restarts, expectedRestarts);
    // Keys with spaces must survive as written: "Assistant Enabled", "NSStatusItem Visible …".
    EXPECT_EQ(std::count_if(keys.begin(), keys.end(),
                            [](const auto& k) { return k.second.find(' ') != std::string::npos; }),
              8);

    // The two "Clicking" keys of tap-to-click (two domains) make one entry: eleven toggles, ten.
    IdSet expectedDisabled{"trackpad-tap-to-click com.apple.mouse.tapBehavior int(0)",
                           "trackpad-tap-to-click Clicking bool(false)",
                           "privacy-require-password-immediately askForPassword int(0)"};
    for (const Tweak& tweak : allTweaks()) {
        if (tweak.id.rfind("menubar-show-", 0) == 0) {
            expectedDisabled.insert(tweak.id + " " + tweak.toggle().key.key + " bool(false)");
        }
    }
    EXPECT_EQ(withDisabledValue, expectedDisabled);
    EXPECT_EQ(disabledToggles, 11);
}

TEST(CatalogData, TypographicCharactersAreKept) {
    int nonAscii = 0;
    auto check = [&](const std::string& text, const std::string& id) {
        EXPECT_EQ(text.find('"'), std::string::npos) << id;
        EXPECT_EQ(text.find("->"), std::string::npos) << id;
        nonAscii += std::any_of(text.begin(), text.end(),
                                [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    };
    for (const Tweak& tweak : allTweaks()) {
        check(tweak.title, tweak.id);
        check(tweak.summary, tweak.id);
    }
    EXPECT_EQ(nonAscii, 4);
    EXPECT_EQ(idsWhere([](const Tweak& t) {
                  return t.title == "Skip the \u201Care you sure you want to open\u201D warning";
              }),
              IdSet{"system-no-quarantine-warning"});
}

TEST(CatalogData, RecipesNameCatalogTweaks) {
    std::vector<Recipe> recipes = starterRecipes();
    recipes.push_back(finderPowerRecipe());
    recipes.push_back(developerSetupRecipe());
    recipes.push_back(declutterRecipe());
    const IdSet known = idsWhere([](const Tweak&) { return true; });
    std::vector<std::pair<std::string, std::size_t>> shape;
    for (const Recipe& recipe : recipes) {
        shape.emplace_back(recipe.id, recipe.items.size());
        EXPECT_FALSE(known.count(recipe.id)) << "recipe id also used by a tweak: " << recipe.id;
        for (const RecipeItem& item : recipe.items) {
            EXPECT_TRUE(item.enabled) << recipe.id << " " << item.tweakID;
            EXPECT_TRUE(known.count(item.tweakID)) << recipe.id << " " << item.tweakID;
        }
    }
    EXPECT_EQ(shape, (std::vector<std::pair<std::string, std::size_t>>{{"screenshot-studio", 3},
                                                                       {"speed-boost", 4},
                                                                       {"finder-power", 6},
                                                                       {"developer-setup", 7},
                                                                       {"declutter-focus", 4}}));
}

}  // namespace
}  // namespace velmora
