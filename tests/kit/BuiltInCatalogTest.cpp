// Lookups, search and recommendations over the built-in catalog, with the exact ids expected.
#include <gtest/gtest.h>

#include "kit/Catalog.hpp"

namespace velmora {
namespace {

using Ids = std::vector<std::string>;
using enum UserField;
using enum UserGoal;

template <class Item>
Ids ids(const std::vector<Item>& items) {
    Ids out;
    for (const Item& item : items) {
        out.push_back(item.id);
    }
    return out;
}

Ids search(std::string_view query) {
    return ids(Catalog::velmora().search(query));
}

const Ids kGroupOne{"dock-instant-autohide-delay",
                    "dock-fast-autohide-animation",
                    "dock-fast-mission-control",
                    "dev-fast-key-repeat",
                    "perf-no-window-animations",
                    "perf-fast-window-resize",
                    "perf-reduce-transparency",
                    "perf-no-app-resume",
                    "perf-fast-launchpad",
                    "perf-disable-finder-animations",
                    "perf-fast-quicklook",
                    "perf-disable-smooth-scroll",
                    "privacy-require-password-immediately",
                    "perf-reduce-motion",
                    "menubar-show-user-switcher"};

TEST(BuiltInCatalog, LookupsAreExactAndKeepCatalogOrder) {
    const Catalog& catalog = Catalog::velmora();
    EXPECT_EQ(catalog.tweak("dock-lock-size").value().title, catalog.tweaks()[12].title);
    EXPECT_FALSE(catalog.tweak("Dock-Lock-Size").has_value());
    const auto menubar = catalog.tweaks(TweakCategory::menubar);
    ASSERT_EQ(menubar.size(), 13U);
    EXPECT_EQ(menubar.back().id, "menubar-show-user-switcher");
    EXPECT_EQ(catalog.tweaks(TweakTier::advanced).size(), 35U);
}

TEST(BuiltInSearch, TokensWideningSubstringsAndEveryWord) {
    // A hyphen or underscore splits a word in two, and both halves must be found.
    EXPECT_EQ(search("ds_store"), (Ids{"finder-no-dsstore-usb", "dev-no-dsstore-on-network"}));
    EXPECT_EQ(search("wifi"), (Ids{"dev-no-dsstore-on-network", "menubar-show-wifi"}));
    EXPECT_EQ(search("lag"), kGroupOne);  // three characters: widened
    EXPECT_EQ(search("fas"), kGroupOne);  // a beginning of "fast"
    // Found inside longer words.
    EXPECT_EQ(search("cat"), (Ids{"system-no-diskimage-verify", "finder-spawn-tab"}));
    EXPECT_EQ(search("dock finder"), (Ids{"finder-list-view-default",
                                          "declutter-hide-desktop-icons", "dock-spring-load"}));
    // Both words widen to group 18, so each needs one of its terms.
    EXPECT_EQ(search("dark mode"),
              (Ids{"screenshot-show-clicks", "system-increase-contrast", "dock-single-app-mode"}));
}

TEST(BuiltInSearch, DomainsAndKeywordsAreSearchedButNotKeysOrValues) {
    EXPECT_EQ(search("universalaccess"),
              (Ids{"perf-reduce-transparency", "perf-reduce-motion", "system-increase-contrast"}));
    EXPECT_EQ(search("dotfiles"), (Ids{"dev-show-hidden-files"}));
    EXPECT_EQ(search("jpeg"), (Ids{"screenshot-format-jpg"}));
    EXPECT_EQ(search("FXPreferredViewStyle"), Ids{});  // a key
    EXPECT_EQ(search("Nlsv"), Ids{});                  // a value
}

TEST(BuiltInRecommendations, TiesInCatalogOrderFieldBeatsGoalDesktopDropsLaptopOnly) {
    const Catalog& catalog = Catalog::velmora();
    const UserProfile developerForSpeed{{developer}, {speed}, DeviceKind::laptop, true};
    EXPECT_EQ(ids(catalog.recommendedRecipes(developerForSpeed, 4)),
              (Ids{"speed-boost", "finder-power", "developer-setup", "screenshot-studio"}));
    EXPECT_EQ(ids(catalog.recommendedRecipes(developerForSpeed, 0)), Ids{});
    const UserProfile writerForSpeed{{writer}, {speed}, DeviceKind::laptop, true};
    EXPECT_EQ(ids(catalog.recommendedRecipes(writerForSpeed, 4)),
              (Ids{"declutter-focus", "speed-boost", "finder-power", "developer-setup"}));

    UserProfile student{{UserField::student}, {battery}, DeviceKind::laptop, true};
    EXPECT_EQ(ids(catalog.recommendedTweaks(student, 8)),
              (Ids{"menubar-battery-percentage", "perf-reduce-transparency", "perf-reduce-motion",
                   "system-increase-contrast"}));
    student.device = DeviceKind::desktop;
    EXPECT_EQ(ids(catalog.recommendedTweaks(student, 8)),
              (Ids{"perf-reduce-transparency", "perf-reduce-motion", "system-increase-contrast"}));
    EXPECT_EQ(ids(catalog.recommendedTweaks(student, 0)), Ids{});
    EXPECT_EQ(ids(catalog.recommendedTweaks(UserProfile{}, 8)), Ids{});
}

}  // namespace
}  // namespace velmora
