// Lookups, search and recommendations over the built-in catalog, with the exact ids expected.
#include <algorithm>
#include <thread>

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

TEST(BuiltInCatalog, IsBuiltOnceForEveryThread) {
    const Catalog* seen[2] = {nullptr, nullptr};
    std::thread first([&] { seen[0] = &Catalog::velmora(); });
    std::thread second([&] { seen[1] = &Catalog::velmora(); });
    first.join();
    second.join();
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], &Catalog::velmora());
    EXPECT_EQ(Catalog::velmora().tweaks().size(), 94U);
    EXPECT_EQ(ids(Catalog::velmora().recipes()),
              (Ids{"screenshot-studio", "speed-boost", "finder-power", "developer-setup",
                   "declutter-focus"}));
}

TEST(BuiltInCatalog, LookupsByIdCategoryAndTier) {
    const Catalog& catalog = Catalog::velmora();
    ASSERT_TRUE(catalog.tweak("dock-lock-size").has_value());
    EXPECT_EQ(catalog.tweak("dock-lock-size")->title, catalog.tweaks()[12].title);
    EXPECT_FALSE(catalog.tweak("Dock-Lock-Size").has_value());
    EXPECT_FALSE(catalog.tweak("lid-close").has_value());
    EXPECT_TRUE(catalog.tweaks(TweakCategory::network).empty());
    EXPECT_TRUE(catalog.tweaks(TweakCategory::power).empty());
    const auto menubar = catalog.tweaks(TweakCategory::menubar);
    ASSERT_EQ(menubar.size(), 13U);
    EXPECT_EQ(menubar.front().id, "menubar-battery-percentage");
    EXPECT_EQ(menubar.back().id, "menubar-show-user-switcher");
    EXPECT_EQ(catalog.tweaks(TweakTier::simple).size() + catalog.tweaks(TweakTier::advanced).size(),
              94U);
}

TEST(BuiltInSearch, TokensQueriesWithoutWordsAndCase) {
    EXPECT_EQ(search(""), Ids{});
    EXPECT_EQ(search("   "), Ids{});
    EXPECT_EQ(search("!!!"), Ids{});
    EXPECT_EQ(search("DOCK"), search("dock"));
    EXPECT_EQ(search("FINDER"), search("finder"));
    // A hyphen or underscore splits a word in two, and both halves must be found.
    EXPECT_EQ(search("ds_store"), (Ids{"finder-no-dsstore-usb", "dev-no-dsstore-on-network"}));
    EXPECT_EQ(search("wifi"), (Ids{"dev-no-dsstore-on-network", "menubar-show-wifi"}));
}

TEST(BuiltInSearch, WideningByGroupWords) {
    EXPECT_EQ(search("lag"), kGroupOne);  // three characters: widened
    EXPECT_EQ(search("fas"), kGroupOne);  // a beginning of "fast"
    EXPECT_EQ(
        search("keyboards"),
        (Ids{"dev-fast-key-repeat", "dev-short-initial-key-repeat", "dev-disable-press-and-hold",
             "kb-full-keyboard-access", "kb-disable-autocorrect", "kb-disable-smart-quotes",
             "kb-disable-auto-capitalization", "kb-disable-auto-period", "kb-function-keys"}));
    EXPECT_EQ(search("screenshots"),
              (Ids{"screenshot-disable-shadow", "screenshot-disable-thumbnail",
                   "screenshot-format-jpg", "screenshot-show-clicks", "screenshot-no-date-in-name",
                   "dev-fast-key-repeat", "privacy-require-password-immediately",
                   "system-photos-no-autoopen", "menubar-show-screen-mirroring"}));
}

TEST(BuiltInSearch, SubstringHitsInsideLongerWords) {
    EXPECT_EQ(search("cat"), (Ids{"system-no-diskimage-verify", "finder-spawn-tab"}));
    // Two letters are not widened, but still found inside words.
    EXPECT_EQ(search("sp"),
              (Ids{"dock-fast-autohide-animation", "dock-fast-mission-control",
                   "dock-minimize-to-app-icon", "finder-show-status-bar",
                   "perf-no-window-animations", "perf-reduce-transparency", "perf-fast-launchpad",
                   "perf-fast-quicklook", "kb-disable-autocorrect", "kb-disable-auto-period",
                   "mc-no-rearrange-spaces", "safari-develop-menu", "mc-no-space-autoswitch",
                   "safari-web-inspector", "dock-spring-load"}));
}

TEST(BuiltInSearch, EveryWordOfTheQueryMustMatch) {
    EXPECT_EQ(search("dock finder"), (Ids{"finder-list-view-default",
                                          "declutter-hide-desktop-icons", "dock-spring-load"}));
    // Both words widen to group 18, so each needs one of its terms.
    EXPECT_EQ(search("dark mode"),
              (Ids{"screenshot-show-clicks", "system-increase-contrast", "dock-single-app-mode"}));
    EXPECT_EQ(
        search("wi-fi"),
        (Ids{"finder-show-path-bar", "finder-show-status-bar", "finder-folders-on-top",
             "finder-list-view-default", "finder-posix-path-in-title", "finder-new-window-home",
             "finder-no-empty-trash-warning", "perf-fast-quicklook", "trackpad-three-finger-drag",
             "finder-open-window-on-mount", "finder-spawn-tab", "menubar-show-wifi"}));
}

TEST(BuiltInSearch, DomainsAndKeywordsAreSearchedButNotKeysOrValues) {
    EXPECT_EQ(search("universalaccess"),
              (Ids{"perf-reduce-transparency", "perf-reduce-motion", "system-increase-contrast"}));
    EXPECT_EQ(search("adlib"), (Ids{"privacy-no-personalized-ads"}));
    EXPECT_EQ(search("dotfiles"), (Ids{"dev-show-hidden-files"}));
    EXPECT_EQ(search("jpeg"), (Ids{"screenshot-format-jpg"}));
    const Ids dock = search("dock");
    EXPECT_NE(std::find(dock.begin(), dock.end(), "perf-fast-launchpad"), dock.end());
    EXPECT_EQ(dock.size(), 21U);
    EXPECT_EQ(search("FXPreferredViewStyle"), Ids{});  // a key
    EXPECT_EQ(search("Nlsv"), Ids{});                  // a value
}

TEST(BuiltInRecommendations, TiesKeepCatalogOrder) {
    const UserProfile developerForSpeed{{developer}, {speed}, DeviceKind::laptop, true};
    EXPECT_EQ(ids(Catalog::velmora().recommendedRecipes(developerForSpeed, 4)),
              (Ids{"speed-boost", "finder-power", "developer-setup", "screenshot-studio"}));
    EXPECT_EQ(ids(Catalog::velmora().recommendedRecipes(developerForSpeed, 0)), Ids{});
}

TEST(BuiltInRecommendations, AFieldBeatsAGoal) {
    const UserProfile writerForSpeed{{writer}, {speed}, DeviceKind::laptop, true};
    EXPECT_EQ(ids(Catalog::velmora().recommendedRecipes(writerForSpeed, 4)),
              (Ids{"declutter-focus", "speed-boost", "finder-power", "developer-setup"}));
}

TEST(BuiltInRecommendations, ADesktopDropsTheLaptopOnlyTweak) {
    UserProfile student{{UserField::student}, {battery}, DeviceKind::laptop, true};
    EXPECT_EQ(ids(Catalog::velmora().recommendedTweaks(student, 8)),
              (Ids{"menubar-battery-percentage", "perf-reduce-transparency", "perf-reduce-motion",
                   "system-increase-contrast"}));
    student.device = DeviceKind::desktop;
    EXPECT_EQ(ids(Catalog::velmora().recommendedTweaks(student, 8)),
              (Ids{"perf-reduce-transparency", "perf-reduce-motion", "system-increase-contrast"}));
    EXPECT_EQ(ids(Catalog::velmora().recommendedTweaks(student, 0)), Ids{});
    EXPECT_EQ(ids(Catalog::velmora().recommendedTweaks(UserProfile{}, 8)), Ids{});
}

}  // namespace
}  // namespace velmora
