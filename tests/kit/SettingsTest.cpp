// The built-in power and slider settings and the value text beside a slider.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "kit/Catalog.hpp"

namespace velmora {
namespace {

const SliderTweak& slider(const std::string& id) {
    for (const SliderTweak& entry : Catalog::sliderTweaks()) {
        if (entry.id == id) {
            return entry;
        }
    }
    throw std::out_of_range(id);
}

TEST(PowerToggles, OnIsTheOnValueStringOnly) {
    std::vector<std::string> onWhenZero;
    for (const PowerTweak& toggle : Catalog::powerToggles()) {
        if (toggle.onValue == "0") {
            onWhenZero.push_back(toggle.id);
            EXPECT_EQ(toggle.offValue, "1");
        } else {
            EXPECT_EQ(toggle.onValue, "1");
            EXPECT_EQ(toggle.offValue, "0");
        }
    }
    EXPECT_EQ(onWhenZero,
              (std::vector<std::string>{"power-disable-powernap", "power-no-network-wake",
                                        "power-no-tcp-keepalive"}));
    EXPECT_EQ(Catalog::powerToggles().back().id, "power-wake-on-power");
    EXPECT_EQ(Catalog::powerToggles().size(), 5U);
}

TEST(SliderTweaks, OnlyMagnificationHasACompanionAndTheFirstThreeRestart) {
    const auto& list = Catalog::sliderTweaks();
    ASSERT_EQ(list.size(), 5U);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const bool companion = list[i].id == "slider-dock-magnification";
        EXPECT_EQ(list[i].companionKey.has_value(), companion) << list[i].id;
        EXPECT_EQ(list[i].companionValue.has_value(), companion) << list[i].id;
        EXPECT_EQ(list[i].restartService.has_value(), i < 3) << list[i].id;
    }
    EXPECT_EQ(list[1].companionKey, (DefaultsKey{"com.apple.dock", "magnification"}));
    EXPECT_EQ(list[1].companionValue, TweakValue::boolean(true));
    EXPECT_EQ(list[2].summary, "Size of the icons in Finder's sidebar (1 small \u2013 3 large).");
    EXPECT_EQ(list[3].category, TweakCategory::trackpad);
}

TEST(SliderDisplay, WholeValuesRoundHalfAwayFromZero) {
    const SliderTweak& dock = slider("slider-dock-size");
    EXPECT_EQ(dock.display(48), "48px");
    EXPECT_EQ(dock.display(47.6), "48px");
    EXPECT_EQ(dock.display(47.5), "48px");
    EXPECT_EQ(dock.display(-0.5), "-1px");
    EXPECT_EQ(dock.display(-0.4), "0px");
    EXPECT_EQ(dock.display(1e6), "1000000px");  // no grouping, no exponent
    const SliderTweak& sidebar = slider("slider-finder-sidebar-size");
    EXPECT_EQ(sidebar.display(2), "2");
    EXPECT_EQ(sidebar.display(2.5), "3");
}

TEST(SliderDisplay, FractionsShowTwoSignificantDigits) {
    const SliderTweak& mouse = slider("slider-mouse-tracking");
    EXPECT_EQ(mouse.display(0.5), "0.5\u00d7");
    EXPECT_EQ(mouse.display(1), "1\u00d7");
    EXPECT_EQ(mouse.display(2.5), "2.5\u00d7");
    EXPECT_EQ(mouse.display(0), "0\u00d7");
    EXPECT_EQ(mouse.display(1.25), "1.2\u00d7");  // %.2g keeps two digits
    EXPECT_EQ(mouse.display(0.0001), "0.0001\u00d7");
    EXPECT_EQ(mouse.display(123), "1.2e+02\u00d7");
}

TEST(SliderDisplay, UnusualValuesStillGiveShortText) {
    const SliderTweak& dock = slider("slider-dock-size");
    EXPECT_EQ(dock.display(std::numeric_limits<double>::infinity()), "infpx");
    EXPECT_EQ(dock.display(1e300), "1e+300px");
    EXPECT_EQ(dock.display(std::nan("")), "nanpx");
}

}  // namespace
}  // namespace velmora
