// Symbol lookups of recipes and tweaks: the tables win, unknown ids fall back.
#include <gtest/gtest.h>

#include "kit/Tweak.hpp"
#include "ui/Icons.hpp"

namespace velmora {
namespace {

TEST(Icons, LookupsAreExactAndFallBack) {
    EXPECT_EQ(Icons::recipe("speed-boost"), "hare.fill");
    for (const char* unknown : {"unknown", "", "Speed-Boost", "speed-boost "}) {
        EXPECT_EQ(Icons::recipe(unknown), "wand.and.stars") << '"' << unknown << '"';
    }
    // The tweak table wins over the category passed in.
    EXPECT_EQ(Icons::tweak("power-wake-on-power", TweakCategory::finder), "powerplug");
    EXPECT_EQ(Icons::tweak("not-a-tweak", TweakCategory::power), "powersleep");
    EXPECT_EQ(Icons::tweak("", TweakCategory::finder), "folder");
    EXPECT_EQ(Icons::tweak("Dock-Lock-Size", TweakCategory::missionControl), "rectangle.3.group");
}

}  // namespace
}  // namespace velmora
