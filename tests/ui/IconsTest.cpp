// Symbol lookups of recipes and power-ups, and their fallbacks.
#include <gtest/gtest.h>

#include <set>

#include "kit/Tweak.hpp"
#include "ui/Icons.hpp"

namespace velmora {
namespace {

TEST(Icons, RecipeLookupAndFallback) {
    EXPECT_EQ(Icons::recipeMap().size(), 5u);
    EXPECT_EQ(Icons::recipe("speed-boost"), "hare.fill");
    EXPECT_EQ(Icons::recipe("developer-setup"), "chevron.left.forwardslash.chevron.right");
    EXPECT_EQ(Icons::recipe("unknown"), "wand.and.stars");
    EXPECT_EQ(Icons::recipe(""), "wand.and.stars");
    // Exact matching: no case folding, no trimming.
    EXPECT_EQ(Icons::recipe("Speed-Boost"), "wand.and.stars");
    EXPECT_EQ(Icons::recipe("speed-boost "), "wand.and.stars");
}

TEST(Icons, TweakTableWinsOverTheCategory) {
    EXPECT_EQ(Icons::tweakMap().size(), 104u);
    for (TweakCategory category : allCases<TweakCategory>()) {
        EXPECT_EQ(Icons::tweak("slider-dock-size", category), "dock.rectangle");
    }
    EXPECT_EQ(Icons::tweak("power-wake-on-power", TweakCategory::finder), "powerplug");
    EXPECT_EQ(Icons::tweak("slider-trackpad-tracking", TweakCategory::trackpad),
              "rectangle.and.hand.point.up.left");
}

TEST(Icons, UnknownTweakFallsBackByCategory) {
    EXPECT_EQ(Icons::tweak("not-a-tweak", TweakCategory::power), "powersleep");
    EXPECT_EQ(Icons::tweak("not-a-tweak", TweakCategory::menubar), "menubar.rectangle");
    EXPECT_EQ(Icons::tweak("", TweakCategory::finder), "folder");
    EXPECT_EQ(Icons::tweak("Dock-Lock-Size", TweakCategory::missionControl), "rectangle.3.group");
    const std::set<std::string> fallbacks = [] {
        std::set<std::string> seen;
        for (TweakCategory category : allCases<TweakCategory>()) {
            seen.insert(Icons::categoryFallback(category));
        }
        return seen;
    }();
    EXPECT_EQ(fallbacks.size(), allCases<TweakCategory>().size());  // each category its own
}

TEST(Icons, RepeatedLookupsReturnTheSameStoredName) {
    EXPECT_EQ(&Icons::recipe("x"), &Icons::recipe("y"));
    EXPECT_EQ(&Icons::tweak("dock-lock-size", TweakCategory::dock),
              &Icons::tweakMap().at("dock-lock-size"));
}

}  // namespace
}  // namespace velmora
