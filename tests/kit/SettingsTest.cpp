// The built-in power and slider settings and the value text beside a slider.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "kit/Catalog.hpp"

namespace velmora {
namespace {

TEST(PowerToggles, OnIsTheOnValueStringOnly) {
    std::vector<std::string> onWhenZero;
    for (const PowerTweak& toggle : Catalog::powerToggles()) {
        EXPECT_TRUE((toggle.onValue == "0" && toggle.offValue == "1") ||
                    (toggle.onValue == "1" && toggle.offValue == "0"))
            << toggle.id;
        if (toggle.onValue == "0") {
            onWhenZero.push_back(toggle.id);
        }
    }
    EXPECT_EQ(onWhenZero,
              (std::vector<std::string>{"power-disable-powernap", "power-no-network-wake",
                                        "power-no-tcp-keepalive"}));
    EXPECT_EQ(Catalog::powerToggles().size(), 5U);
}

TEST(SliderTweaks, OnlyMagnificationHasACompanionAndTheFirstThreeRestart) {
    const auto& list = Catalog::sliderTweaks();
    ASSERT_EQ(list.size(), 5U);
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].companionKey.has_value(), i == 1) << list[i].id;
        EXPECT_EQ(list[i].restartService.has_value(), i < 3) << list[i].id;
    }
    EXPECT_EQ(list[1].id, "slider-dock-magnification");
    EXPECT_EQ(list[1].companionKey, (DefaultsKey{"com.apple.dock", "magnification"}));
    EXPECT_EQ(list[1].companionValue, TweakValue::boolean(true));
}

// Whole-number sliders round half away from zero; fractional ones keep two significant digits
// (%.2g); C-locale text, no grouping; unusual values still give short text.
TEST(SliderDisplay, TextPerUnitAndValue) {
    struct Case {
        const char* id;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {"slider-dock-size", 47.5, "48px"},
        {"slider-dock-size", -0.5, "-1px"},
        {"slider-dock-size", -0.4, "0px"},
        {"slider-dock-size", 1e6, "1000000px"},
        {"slider-dock-size", 1e300, "1e+300px"},
        {"slider-dock-size", std::numeric_limits<double>::infinity(), "infpx"},
        {"slider-dock-size", std::nan(""), "nanpx"},
        {"slider-finder-sidebar-size", 2.5, "3"},
        {"slider-mouse-tracking", 1, "1\u00d7"},
        {"slider-mouse-tracking", 0, "0\u00d7"},
        {"slider-mouse-tracking", 1.25, "1.2\u00d7"},
        {"slider-mouse-tracking", 0.0001, "0.0001\u00d7"},
        {"slider-mouse-tracking", 123, "1.2e+02\u00d7"},
    };
    for (const auto& [id, value, text] : cases) {
        SCOPED_TRACE(id);
        bool found = false;
        for (const SliderTweak& slider : Catalog::sliderTweaks()) {
            if (slider.id == id) {
                found = true;
                EXPECT_EQ(slider.display(value), text) << value;
            }
        }
        EXPECT_TRUE(found);
    }
}

}  // namespace
}  // namespace velmora
