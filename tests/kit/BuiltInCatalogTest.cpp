// Search and recommendations over the built-in catalog, with the exact ids expected in order.
#include <gtest/gtest.h>

#include "kit/Catalog.hpp"

namespace velmora {
namespace {

using enum UserField;
using enum UserGoal;

// The items' ids, in order, separated by spaces.
template <class Item>
std::string ids(const std::vector<Item>& items) {
    std::string out;
    for (const Item& item : items) {
        out += (out.empty() ? "" : " ") + item.id;
    }
    return out;
}

std::string search(std::string_view query) {
    std::string out;
    for (const Tweak* hit : Catalog::velmora().search(query)) {
        out += (out.empty() ? "" : " ") + hit->id;
    }
    return out;
}

TEST(BuiltInSearch, TokensWideningSubstringsEveryWordAndDomainsButNotKeysOrValues) {
    const std::string groupOne =
        "dock-instant-autohide-delay dock-fast-autohide-animation dock-fast-mission-control "
        "dev-fast-key-repeat perf-no-window-animations perf-fast-window-resize "
        "perf-reduce-transparency perf-no-app-resume perf-fast-launchpad "
        "perf-disable-finder-animations perf-fast-quicklook perf-disable-smooth-scroll "
        "privacy-require-password-immediately perf-reduce-motion menubar-show-user-switcher";
    const std::pair<const char*, std::string> cases[] = {
        // A hyphen or underscore splits a word in two, and both halves must be found.
        {"ds_store", "finder-no-dsstore-usb dev-no-dsstore-on-network"},
        {"wifi", "dev-no-dsstore-on-network menubar-show-wifi"},
        {"lag", groupOne},                                       // three characters: widened
        {"fas", groupOne},                                       // a beginning of "fast"
        {"cat", "system-no-diskimage-verify finder-spawn-tab"},  // inside longer words
        {"dock finder", "finder-list-view-default declutter-hide-desktop-icons dock-spring-load"},
        // Both words widen to group 18, so each needs one of its terms.
        {"dark mode", "screenshot-show-clicks system-increase-contrast dock-single-app-mode"},
        {"universalaccess", "perf-reduce-transparency perf-reduce-motion system-increase-contrast"},
        {"dotfiles", "dev-show-hidden-files"},
        {"jpeg", "screenshot-format-jpg"},
        {"FXPreferredViewStyle", ""},  // a key
        {"Nlsv", ""},                  // a value
    };
    for (const auto& [query, expected] : cases) {
        EXPECT_EQ(search(query), expected) << query;
    }
}

TEST(BuiltInSearch, HitsAreTheCatalogsOwnTweaksStillThereAfterLaterSearches) {
    const Catalog& catalog = Catalog::velmora();
    const std::vector<const Tweak*> hits = catalog.search("jpeg");
    ASSERT_EQ(hits.size(), 1U);
    EXPECT_EQ(catalog.search("dotfiles").size(), 1U);
    const Tweak* const first = catalog.tweaks().data();
    EXPECT_TRUE(hits[0] >= first && hits[0] < first + catalog.tweaks().size())
        << "a hit points into the catalog, not at a copy";
    EXPECT_EQ(hits[0]->id, "screenshot-format-jpg");
    EXPECT_TRUE(catalog.search("   ").empty());
}

// The search text is prepared at the first search; a copy, made before or after it, finds the
// same tweaks in its own list, and one moved from finds nothing rather than failing.
TEST(BuiltInSearch, CopiesFindTheSameInTheirOwnTweaksAndOneMovedFromFindsNothing) {
    Catalog unsearched = Catalog::velmora();
    Catalog earlyCopy = unsearched;
    const std::vector<const Tweak*> hits = unsearched.search("jpeg");
    ASSERT_EQ(hits.size(), 1U);
    Catalog lateCopy = unsearched;
    for (const Catalog* copy : {&earlyCopy, &lateCopy}) {
        const std::vector<const Tweak*> found = copy->search("jpeg");
        ASSERT_EQ(found.size(), 1U);
        EXPECT_EQ(found[0]->id, hits[0]->id);
        EXPECT_EQ(found[0],
                  &copy->tweaks()[static_cast<std::size_t>(hits[0] - &unsearched.tweaks()[0])]);
    }
    Catalog taken = std::move(lateCopy);
    EXPECT_EQ(taken.search("jpeg").size(), 1U);
    EXPECT_TRUE(lateCopy.search("jpeg").empty());  // NOLINT(bugprone-use-after-move)
}

TEST(BuiltInRecommendations, TiesInCatalogOrderFieldBeatsGoalDesktopDropsLaptopOnly) {
    const Catalog& catalog = Catalog::velmora();
    const UserProfile developerForSpeed{{developer}, {speed}, DeviceKind::laptop, true};
    EXPECT_EQ(ids(catalog.recommendedRecipes(developerForSpeed, 4)),
              "speed-boost finder-power developer-setup screenshot-studio");
    EXPECT_EQ(ids(catalog.recommendedRecipes(developerForSpeed, 0)), "");
    EXPECT_EQ(ids(catalog.recommendedRecipes({{writer}, {speed}, DeviceKind::laptop, true}, 4)),
              "declutter-focus speed-boost finder-power developer-setup");
    UserProfile student{{UserField::student}, {battery}, DeviceKind::laptop, true};
    EXPECT_EQ(ids(catalog.recommendedTweaks(student, 8)),
              "menubar-battery-percentage perf-reduce-transparency perf-reduce-motion "
              "system-increase-contrast");
    student.device = DeviceKind::desktop;
    EXPECT_EQ(ids(catalog.recommendedTweaks(student, 8)),
              "perf-reduce-transparency perf-reduce-motion system-increase-contrast");
    EXPECT_EQ(ids(catalog.recommendedTweaks(student, 0)), "");
    EXPECT_EQ(ids(catalog.recommendedTweaks(UserProfile{}, 8)), "");
}

TEST(BuiltInCatalog, CategoriesOnceEachInTheOrderOfTheirFirstTweak) {
    std::string names;
    for (TweakCategory category : Catalog::velmora().categories()) {
        names += (names.empty() ? "" : ", ") + displayName(category);
    }
    // Network and power have no tweak of their own (power settings are not catalog tweaks).
    EXPECT_EQ(names,
              "Screenshots, Dock, Finder, Keyboard, System, Performance, Trackpad, Privacy, "
              "Mission Control, Menu Bar, Safari");
    EXPECT_TRUE(Catalog({}, {}).categories().empty());
}

}  // namespace
}  // namespace velmora
