// Lookups, search text and recommendations over small hand-made catalogs.
#include <gtest/gtest.h>

#include "kit/Catalog.hpp"

namespace velmora {
namespace {

struct TweakShape {
    std::string id;
    std::string title = "Title";
    std::string summary = "Summary.";
    TweakCategory category = TweakCategory::system;
    TweakTier tier = TweakTier::simple;
    std::vector<std::string> domains = {"com.example.app"};
    std::vector<UserField> fields = {};
    std::vector<UserGoal> goals = {};
    bool laptopOnly = false;
};

Tweak make(const TweakShape& shape) {
    std::vector<DefaultsToggle> toggles;
    for (const std::string& domain : shape.domains) {
        toggles.push_back({{domain, "SecretKeyName"}, TweakValue::string("qqvalue"), {}, {}});
    }
    return Tweak(shape.id, shape.title, shape.summary, shape.category, shape.tier, Privilege::user,
                 RiskLevel::safe, {}, toggles, shape.fields, shape.goals, shape.laptopOnly);
}

Recipe recipe(std::string id, std::vector<UserField> fields, std::vector<UserGoal> goals) {
    return Recipe{std::move(id), "T", "S", {}, std::move(fields), std::move(goals)};
}

template <class Item>
std::vector<std::string> ids(const std::vector<Item>& items) {
    std::vector<std::string> out;
    for (const Item& item : items) {
        out.push_back(item.id);
    }
    return out;
}

using Ids = std::vector<std::string>;
using enum UserField;
using enum UserGoal;

UserProfile profile(std::set<UserField> fields, std::set<UserGoal> goals,
                    DeviceKind device = DeviceKind::laptop) {
    return UserProfile{std::move(fields), std::move(goals), device, true};
}

TEST(CatalogLookup, IdsAreExactAndTheFirstOneWins) {
    const Catalog catalog({make({.id = "a", .title = "first"}), make({.id = "b"}),
                           make({.id = "a", .title = "second"})},
                          {});
    ASSERT_TRUE(catalog.tweak("a").has_value());
    EXPECT_EQ(catalog.tweak("a")->title, "first");
    EXPECT_FALSE(catalog.tweak("A").has_value());
    EXPECT_FALSE(catalog.tweak(" a").has_value());
    EXPECT_FALSE(Catalog({}, {}).tweak("a").has_value());
}

TEST(CatalogLookup, FiltersKeepCatalogOrder) {
    const Catalog catalog(
        {make({.id = "1", .category = TweakCategory::dock}),
         make({.id = "2", .tier = TweakTier::advanced}),
         make({.id = "3", .category = TweakCategory::dock, .tier = TweakTier::advanced})},
        {});
    EXPECT_EQ(ids(catalog.tweaks(TweakCategory::dock)), (Ids{"1", "3"}));
    EXPECT_EQ(ids(catalog.tweaks(TweakCategory::network)), Ids{});
    EXPECT_EQ(ids(catalog.tweaks(TweakTier::advanced)), (Ids{"2", "3"}));
    EXPECT_EQ(ids(catalog.tweaks(TweakTier::simple)), (Ids{"1"}));
}

TEST(CatalogSearch, TheTextIsTitleSummaryCategoryDomainsAndKeywords) {
    const Catalog catalog(
        {make({.id = "by-title", .title = "Zebra"}),
         make({.id = "by-summary", .summary = "A zebra crossing."}),
         make({.id = "by-category", .category = TweakCategory::missionControl}),
         make({.id = "by-domain", .domains = {"com.example.other", "org.zebra.tool"}}),
         make({.id = "dev-show-hidden-files"})},
        {});
    EXPECT_EQ(ids(catalog.search("zebra")), (Ids{"by-title", "by-summary", "by-domain"}));
    EXPECT_EQ(ids(catalog.search("Mission Control")), (Ids{"by-category"}));
    EXPECT_EQ(ids(catalog.search("dotfiles")), (Ids{"dev-show-hidden-files"}));
    // Keys and values of the toggles are not searched.
    EXPECT_EQ(ids(catalog.search("secretkeyname")), Ids{});
    EXPECT_EQ(ids(catalog.search("qqvalue")), Ids{});
    EXPECT_EQ(catalog.search("   ").size(), 0U);
    EXPECT_EQ(catalog.search("").size(), 0U);
    // The pieces are joined by spaces, so no word is made across two of them.
    EXPECT_EQ(ids(catalog.search("zebratitle")), Ids{});
}

TEST(Recommendations, ScoreCountsFieldsTwiceAndRepeatsAgain) {
    const UserProfile user = profile({developer}, {speed, battery});
    EXPECT_EQ(Catalog::score({developer, designer}, {speed}, user), 3);
    EXPECT_EQ(Catalog::score({student}, {battery, focus}, user), 1);
    EXPECT_EQ(Catalog::score({writer}, {focus}, user), 0);
    EXPECT_EQ(Catalog::score({developer, developer}, {battery, battery}, user), 6);
    EXPECT_EQ(Catalog::score({}, {}, user), 0);
}

TEST(Recommendations, BestFirstWithTiesInCatalogOrder) {
    const Catalog catalog(
        {}, {recipe("goal", {}, {speed}), recipe("none", {writer}, {focus}),
             recipe("two-goals", {}, {speed, battery}), recipe("field", {developer}, {}),
             recipe("goal-again", {}, {battery}), recipe("both", {developer, designer}, {speed})});
    const UserProfile user = profile({developer}, {speed, battery});
    // A field outranks a goal; two goals tie with one field and keep catalog order.
    EXPECT_EQ(ids(catalog.recommendedRecipes(user, 10)),
              (Ids{"both", "two-goals", "field", "goal", "goal-again"}));
    EXPECT_EQ(ids(catalog.recommendedRecipes(user, 2)), (Ids{"both", "two-goals"}));
    EXPECT_EQ(ids(catalog.recommendedRecipes(user, 0)), Ids{});
    EXPECT_EQ(ids(catalog.recommendedRecipes(user, -1)), Ids{});
    EXPECT_EQ(ids(catalog.recommendedRecipes(profile({}, {}), 10)), Ids{});
}

TEST(Recommendations, ADesktopNeverGetsALaptopOnlyTweak) {
    const Catalog catalog(
        {make({.id = "battery-percent",
               .fields = {student},
               .goals = {battery, battery},
               .laptopOnly = true}),
         make({.id = "plain", .goals = {battery}}), make({.id = "unrelated", .fields = {writer}})},
        {});
    const UserProfile laptop = profile({student}, {battery});
    EXPECT_EQ(ids(catalog.recommendedTweaks(laptop, 8)), (Ids{"battery-percent", "plain"}));
    UserProfile desktop = laptop;
    desktop.device = DeviceKind::desktop;
    EXPECT_EQ(ids(catalog.recommendedTweaks(desktop, 8)), (Ids{"plain"}));
    EXPECT_EQ(ids(catalog.recommendedTweaks(laptop, 0)), Ids{});
    EXPECT_EQ(ids(catalog.recommendedTweaks(profile({}, {}), 8)), Ids{});
}

}  // namespace
}  // namespace velmora
