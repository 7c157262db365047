// The value text beside a slider.
#include <algorithm>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "kit/Catalog.hpp"

namespace velmora {
namespace {

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
        {"slider-mouse-tracking", 0, "0\u00d7"},
        {"slider-mouse-tracking", 1.25, "1.2\u00d7"},
        {"slider-mouse-tracking", 0.0001, "0.0001\u00d7"},
        {"slider-mouse-tracking", 123, "1.2e+02\u00d7"},
    };
    const auto& sliders = Catalog::sliderTweaks();
    for (const auto& [id, value, text] : cases) {
        SCOPED_TRACE(std::string(id) + " " + std::to_string(value));
        const auto slider = std::find_if(sliders.begin(), sliders.end(),
                                         [&](const SliderTweak& s) { return s.id == id; });
        ASSERT_NE(slider, sliders.end());
        EXPECT_EQ(slider->display(value), text);
    }
}

}  // namespace
}  // namespace velmora
