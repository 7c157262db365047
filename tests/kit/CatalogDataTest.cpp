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

using TweakList = std::vector<Tweak>;
using IdSet = std::set<std::string>;

std::vector<std::pair<std::string, TweakList>> namedLists() {
    return {{"starterRecipe", starterRecipeTweaks()},
            {"finderPower", finderPowerTweaks()},
            {"developerSetup", developerSetupTweaks()},
            {"declutter", declutterTweaks()},
            {"hotCorner", hotCornerTweaks()},
            {"performance", performanceTweaks()},
            {"input", inputTweaks()},
            {"privacy", privacyTweaks()},
            {"spaces", spacesTweaks()},
            {"more", moreTweaks()}};
}

const TweakList& allTweaks() {
    static const TweakList joined = [] {
        TweakList tweaks;
        for (auto& [name, list] : namedLists()) {
            tweaks.insert(tweaks.end(), list.begin(), list.end());
        }
        return tweaks;
    }();
    return joined;
}

const std::vector<Recipe>& allRecipes() {
    static const std::vector<Recipe> joined = [] {
        std::vector<Recipe> recipes = starterRecipes();
        recipes.push_back(finderPowerRecipe());
        recipes.push_back(developerSetupRecipe());
        recipes.push_back(declutterRecipe());
        return recipes;
    }();
    return joined;
}

const Tweak& tweakNamed(const std::string& id) {
    const auto& tweaks = allTweaks();
    auto found =
        std::find_if(tweaks.begin(), tweaks.end(), [&](const Tweak& t) { return t.id == id; });
    if (found == tweaks.end()) {
        ADD_FAILURE() << "no tweak " << id;
        return tweaks.front();
    }
    return *found;
}

std::vector<const DefaultsToggle*> allToggles() {
    std::vector<const DefaultsToggle*> toggles;
    for (const Tweak& tweak : allTweaks()) {
        for (const DefaultsToggle& toggle : tweak.toggles) {
            toggles.push_back(&toggle);
        }
    }
    return toggles;
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
std::map<Key, int> tweakCounts(const std::function<Key(const Tweak&)>& keyOf) {
    std::map<Key, int> counts;
    for (const Tweak& tweak : allTweaks()) {
        ++counts[keyOf(tweak)];
    }
    return counts;
}

bool hasPrefix(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

TEST(CatalogData, ListsHoldTheirEntriesInCatalogOrder) {
    struct Expected {
        std::size_t size;
        std::string first;
        std::string last;
    };
    const std::vector<Expected> expected{
        {13, "screenshot-disable-shadow", "dock-lock-size"},
        {11, "finder-show-path-bar", "finder-show-external-drives-desktop"},
        {7, "dev-show-hidden-files", "dev-expand-save-panel"},
        {4, "declutter-hide-desktop-icons", "declutter-autohide-menu-bar"},
        {1, "hot-corner-bottom-left-mission-control", "hot-corner-bottom-left-mission-control"},
        {8, "perf-no-window-animations", "perf-disable-smooth-scroll"},
        {9, "kb-full-keyboard-access", "trackpad-natural-scroll-off"},
        {6, "privacy-require-password-immediately", "privacy-save-local-not-icloud"},
        {10, "mc-no-rearrange-spaces", "safari-web-inspector"},
        {25, "perf-reduce-motion", "menubar-show-user-switcher"},
    };
    const auto lists = namedLists();
    ASSERT_EQ(lists.size(), expected.size());
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const auto& [name, list] = lists[i];
        ASSERT_EQ(list.size(), expected[i].size) << name;
        EXPECT_EQ(list.front().id, expected[i].first) << name;
        EXPECT_EQ(list.back().id, expected[i].last) << name;
    }
    EXPECT_EQ(allTweaks().size(), 94u);
    EXPECT_EQ(allTweaks()[36].id, "perf-no-window-animations");
}

TEST(CatalogData, IdsAreUniqueHyphenatedLowerCaseWords) {
    IdSet seen;
    for (const Tweak& tweak : allTweaks()) {
        EXPECT_TRUE(seen.insert(tweak.id).second) << "duplicate " << tweak.id;
        EXPECT_FALSE(tweak.id.empty());
        EXPECT_NE(tweak.id.front(), '-') << tweak.id;
        EXPECT_NE(tweak.id.back(), '-') << tweak.id;
        EXPECT_EQ(tweak.id.find("--"), std::string::npos) << tweak.id;
        for (char c : tweak.id) {
            EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') << tweak.id;
        }
    }
    for (const Recipe& recipe : allRecipes()) {
        EXPECT_TRUE(seen.insert(recipe.id).second) << "recipe id also used: " << recipe.id;
    }
}

TEST(CatalogData, CountsPerCategoryTierAndRisk) {
    const std::map<TweakCategory, int> categories{
        {TweakCategory::finder, 16},     {TweakCategory::dock, 14},
        {TweakCategory::screenshots, 5}, {TweakCategory::keyboard, 9},
        {TweakCategory::safari, 4},      {TweakCategory::system, 11},
        {TweakCategory::privacy, 6},     {TweakCategory::performance, 9},
        {TweakCategory::trackpad, 3},    {TweakCategory::missionControl, 4},
        {TweakCategory::menubar, 13}};  // network and power have none
    EXPECT_EQ(tweakCounts<TweakCategory>([](const Tweak& t) { return t.category; }), categories);

    const std::map<TweakTier, int> tiers{{TweakTier::simple, 59}, {TweakTier::advanced, 35}};
    EXPECT_EQ(tweakCounts<TweakTier>([](const Tweak& t) { return t.tier; }), tiers);

    const IdSet caution{"finder-no-extension-warning",   "finder-no-empty-trash-warning",
                        "privacy-no-crash-reporter",     "privacy-disable-ask-siri",
                        "safari-show-full-url",          "safari-develop-menu",
                        "safari-no-auto-open-downloads", "safari-web-inspector",
                        "system-no-quarantine-warning"};
    EXPECT_EQ(idsWhere([](const Tweak& t) { return t.risk == RiskLevel::caution; }), caution);
}

TEST(CatalogData, CategoriesGatherTheirPrefixes) {
    auto withPrefix = [](const std::string& prefix) {
        return idsWhere([&](const Tweak& t) { return hasPrefix(t.id, prefix); });
    };
    auto inCategory = [](TweakCategory category) {
        return idsWhere([&](const Tweak& t) { return t.category == category; });
    };
    EXPECT_EQ(inCategory(TweakCategory::missionControl), withPrefix("mc-"));
    EXPECT_EQ(inCategory(TweakCategory::trackpad), withPrefix("trackpad-"));
    EXPECT_EQ(inCategory(TweakCategory::safari), withPrefix("safari-"));
    EXPECT_EQ(inCategory(TweakCategory::screenshots), withPrefix("screenshot-"));
    EXPECT_EQ(inCategory(TweakCategory::menubar), withPrefix("menubar-"));
    IdSet privacyList;
    for (const Tweak& tweak : privacyTweaks()) {
        privacyList.insert(tweak.id);
    }
    EXPECT_EQ(inCategory(TweakCategory::privacy), privacyList);
}

TEST(CatalogData, SharedClassificationAndTheFlaggedTweaks) {
    for (const Tweak& tweak : allTweaks()) {
        EXPECT_EQ(tweak.privilege, Privilege::user) << tweak.id;
        EXPECT_EQ(tweak.requirement.minMacOS, 13) << tweak.id;
        EXPECT_FALSE(tweak.requirement.maxMacOS.has_value()) << tweak.id;
    }
    EXPECT_EQ(idsWhere([](const Tweak& t) { return t.laptopOnly; }),
              IdSet{"menubar-battery-percentage"});

    const IdSet logout{"finder-no-dsstore-usb",          "dev-fast-key-repeat",
                       "dev-short-initial-key-repeat",   "dev-disable-press-and-hold",
                       "dev-no-dsstore-on-network",      "declutter-autohide-menu-bar",
                       "perf-reduce-transparency",       "perf-fast-launchpad",
                       "perf-disable-finder-animations", "kb-function-keys",
                       "trackpad-three-finger-drag",     "trackpad-natural-scroll-off",
                       "privacy-disable-ask-siri",       "perf-reduce-motion",
                       "system-increase-contrast"};
    EXPECT_EQ(idsWhere([](const Tweak& t) { return t.requirement.requiresLogout; }), logout);
}

TEST(CatalogData, FieldAndGoalTagsPerCase) {
    std::map<UserField, int> fields;
    std::map<UserGoal, int> goals;
    int untaggedFields = 0;
    int untaggedGoals = 0;
    for (const Tweak& tweak : allTweaks()) {
        for (UserField field : tweak.fields) {
            ++fields[field];
        }
        for (UserGoal goal : tweak.goals) {
            ++goals[goal];
        }
        untaggedFields += tweak.fields.empty() ? 1 : 0;
        untaggedGoals += tweak.goals.empty() ? 1 : 0;
        EXPECT_EQ(std::set<UserField>(tweak.fields.begin(), tweak.fields.end()).size(),
                  tweak.fields.size())
            << tweak.id;
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
    EXPECT_EQ(untaggedFields, 25);
    EXPECT_EQ(untaggedGoals, 42);
}

TEST(CatalogData, TogglesPerTweakAndNoKeyUsedTwice) {
    EXPECT_EQ(allToggles().size(), 102u);
    std::size_t firstHalf = 0;
    for (std::size_t i = 0; i < 36; ++i) {
        firstHalf += allTweaks()[i].toggles.size();
    }
    EXPECT_EQ(firstHalf, 37u);

    std::map<std::string, std::size_t> several;
    for (const Tweak& tweak : allTweaks()) {
        if (tweak.toggles.size() > 1) {
            several[tweak.id] = tweak.toggles.size();
        }
    }
    const std::map<std::string, std::size_t> expected{{"hot-corner-bottom-left-mission-control", 2},
                                                      {"perf-fast-launchpad", 2},
                                                      {"kb-disable-smart-quotes", 2},
                                                      {"trackpad-tap-to-click", 3},
                                                      {"trackpad-three-finger-drag", 2},
                                                      {"privacy-require-password-immediately", 2},
                                                      {"mc-hot-corner-mission-control", 2}};
    EXPECT_EQ(several, expected);

    std::set<std::pair<std::string, std::string>> keys;
    for (const DefaultsToggle* toggle : allToggles()) {
        EXPECT_TRUE(keys.insert({toggle->key.domain, toggle->key.key}).second)
            << toggle->key.domain << " " << toggle->key.key;
        EXPECT_NE(toggle->key.domain, ".GlobalPreferences");
    }
    // Keys with spaces must survive as written: "Assistant Enabled" and the "NSStatusItem Visible"
    // ones.
    std::size_t spaced = 0;
    for (const auto& [domain, key] : keys) {
        spaced += key.find(' ') != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(spaced, 8u);
}

TEST(CatalogData, CountsPerValueKindAndRestart) {
    std::map<TweakValue::Kind, int> kinds;
    std::map<std::string, int> restarts;
    for (const DefaultsToggle* toggle : allToggles()) {
        ++kinds[toggle->enabledValue.kind()];
        ++restarts[toggle->restartService.value_or("none")];
    }
    const std::map<TweakValue::Kind, int> expectedKinds{{TweakValue::Kind::boolean, 76},
                                                        {TweakValue::Kind::integer, 13},
                                                        {TweakValue::Kind::real, 7},
                                                        {TweakValue::Kind::string, 6}};
    const std::map<std::string, int> expectedRestarts{
        {"none", 49}, {"Dock", 20}, {"Finder", 15}, {"ControlCenter", 13}, {"SystemUIServer", 5}};
    EXPECT_EQ(kinds, expectedKinds);
    EXPECT_EQ(restarts, expectedRestarts);

    // Restarts agree within a tweak: one process serves all of its keys.
    for (const Tweak& tweak : allTweaks()) {
        for (const DefaultsToggle& toggle : tweak.toggles) {
            EXPECT_EQ(toggle.restartService, tweak.toggle().restartService) << tweak.id;
        }
    }
}

TEST(CatalogData, ValuesKeepTheirKinds) {
    auto enabledOf = [](const std::string& id, std::size_t index = 0) {
        return tweakNamed(id).toggles.at(index).enabledValue;
    };
    EXPECT_EQ(enabledOf("dock-instant-autohide-delay"), TweakValue::real(0.0));
    EXPECT_EQ(enabledOf("perf-fast-window-resize"), TweakValue::real(0.001));
    EXPECT_EQ(enabledOf("perf-fast-launchpad", 1), TweakValue::real(0.0));
    EXPECT_EQ(enabledOf("dev-fast-key-repeat"), TweakValue::integer(2));
    EXPECT_EQ(enabledOf("dev-short-initial-key-repeat"), TweakValue::integer(15));
    EXPECT_EQ(enabledOf("screenshot-format-jpg"), TweakValue::string("jpg"));
    EXPECT_EQ(enabledOf("finder-list-view-default"), TweakValue::string("Nlsv"));
    EXPECT_EQ(enabledOf("menubar-clock-date"), TweakValue::integer(1));
    EXPECT_EQ(enabledOf("system-textedit-plain-text"), TweakValue::integer(0));
    EXPECT_EQ(enabledOf("system-appstore-daily-updates"), TweakValue::integer(1));
    EXPECT_EQ(enabledOf("privacy-no-crash-reporter"), TweakValue::string("none"));
    EXPECT_EQ(enabledOf("screenshot-disable-thumbnail"), TweakValue::boolean(false));
    EXPECT_EQ(enabledOf("hot-corner-bottom-left-mission-control", 1), TweakValue::integer(0));
    EXPECT_EQ(tweakNamed("dev-show-all-extensions").toggle().key.domain, "NSGlobalDomain");
    EXPECT_EQ(tweakNamed("dev-show-all-extensions").toggle().restartService, "Finder");
}

TEST(CatalogData, OnlyElevenTogglesCarryADisabledValue) {
    std::map<std::string, std::vector<TweakValue>> carriers;
    for (const Tweak& tweak : allTweaks()) {
        for (const DefaultsToggle& toggle : tweak.toggles) {
            if (toggle.disabledValue) {
                carriers[tweak.id + " " + toggle.key.key].push_back(*toggle.disabledValue);
            }
        }
    }
    std::map<std::string, std::vector<TweakValue>> expected{
        {"trackpad-tap-to-click com.apple.mouse.tapBehavior", {TweakValue::integer(0)}},
        {"privacy-require-password-immediately askForPassword", {TweakValue::integer(0)}},
        {"trackpad-tap-to-click Clicking",
         {TweakValue::boolean(false), TweakValue::boolean(false)}}};
    for (const Tweak& tweak : moreTweaks()) {
        if (hasPrefix(tweak.id, "menubar-show-")) {
            expected[tweak.id + " " + tweak.toggle().key.key] = {TweakValue::boolean(false)};
        }
    }
    EXPECT_EQ(carriers, expected);
    EXPECT_EQ(expected.size(), 10u);  // the two "Clicking" keys share one entry

    for (const Tweak& tweak : allTweaks()) {
        if (hasPrefix(tweak.id, "menubar-")) {
            EXPECT_EQ(tweak.toggle().restartService, "ControlCenter") << tweak.id;
        }
    }
}

TEST(CatalogData, TypographicCharactersAreKept) {
    EXPECT_EQ(tweakNamed("hot-corner-bottom-left-mission-control").title,
              "Hot corner: bottom-left \u2192 Mission Control");
    EXPECT_EQ(tweakNamed("kb-function-keys").title, "Use F1\u2013F12 as standard function keys");
    EXPECT_EQ(tweakNamed("kb-function-keys").summary,
              "Uses the top row as plain F1\u2013F12 keys without Fn.");
    EXPECT_EQ(tweakNamed("system-no-quarantine-warning").title,
              "Skip the \u201Care you sure you want to open\u201D warning");

    int nonAscii = 0;
    auto check = [&](const std::string& text, const std::string& id) {
        EXPECT_EQ(text.find('"'), std::string::npos) << id;
        EXPECT_EQ(text.find("->"), std::string::npos) << id;
        EXPECT_FALSE(text.empty()) << id;
        nonAscii += std::any_of(text.begin(), text.end(),
                                [](char c) { return static_cast<unsigned char>(c) >= 0x80; })
                        ? 1
                        : 0;
    };
    for (const Tweak& tweak : allTweaks()) {
        check(tweak.title, tweak.id);
        check(tweak.summary, tweak.id);
    }
    for (const Recipe& recipe : allRecipes()) {
        check(recipe.title, recipe.id);
        check(recipe.summary, recipe.id);
    }
    EXPECT_EQ(nonAscii, 4);
}

TEST(CatalogData, RecipesNameTheirOwnListsTweaksInOrder) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected{
        {"screenshot-studio",
         {"screenshot-disable-shadow", "screenshot-disable-thumbnail", "screenshot-format-jpg"}},
        {"speed-boost",
         {"dock-instant-autohide-delay", "dock-fast-autohide-animation", "dock-no-launch-bounce",
          "dock-fast-mission-control"}},
        {"finder-power",
         {"finder-show-path-bar", "finder-show-status-bar", "finder-folders-on-top",
          "finder-list-view-default", "finder-search-current-folder",
          "finder-no-extension-warning"}},
        {"developer-setup",
         {"dev-show-hidden-files", "dev-show-all-extensions", "dev-fast-key-repeat",
          "dev-short-initial-key-repeat", "dev-disable-press-and-hold", "dev-no-dsstore-on-network",
          "dev-expand-save-panel"}},
        {"declutter-focus",
         {"declutter-hide-desktop-icons", "declutter-autohide-dock",
          "declutter-no-recent-apps-in-dock", "declutter-autohide-menu-bar"}},
    };
    const auto& recipes = allRecipes();
    ASSERT_EQ(recipes.size(), expected.size());
    for (std::size_t i = 0; i < recipes.size(); ++i) {
        EXPECT_EQ(recipes[i].id, expected[i].first);
        std::vector<std::string> ids;
        for (const RecipeItem& item : recipes[i].items) {
            EXPECT_TRUE(item.enabled) << recipes[i].id << " " << item.tweakID;
            ids.push_back(item.tweakID);
            (void)tweakNamed(item.tweakID);  // fails the test when the id is not in the catalog
        }
        EXPECT_EQ(ids, expected[i].second) << recipes[i].id;
        EXPECT_FALSE(recipes[i].fields.empty()) << recipes[i].id;
        EXPECT_FALSE(recipes[i].goals.empty()) << recipes[i].id;
    }
    EXPECT_EQ(developerSetupRecipe().items.size(), developerSetupTweaks().size());
    EXPECT_EQ(declutterRecipe().items.size(), declutterTweaks().size());
    EXPECT_EQ(finderPowerRecipe().goals,
              (std::vector<UserGoal>{UserGoal::speed, UserGoal::keyboard}));
    EXPECT_EQ(developerSetupRecipe().fields, std::vector<UserField>{UserField::developer});
}

}  // namespace
}  // namespace velmora
