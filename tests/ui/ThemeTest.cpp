// Palette values, the tint wrapping rule and the category tints.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "ui/Theme.hpp"

namespace velmora {
namespace {

TEST(Theme, ColoursAreTheFixedSrgbValues) {
    EXPECT_EQ(Theme::paper(), QColor(0xF4, 0xF1, 0xEA));
    EXPECT_EQ(Theme::card(), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(Theme::ink(), QColor(0x23, 0x1F, 0x1A));
    EXPECT_EQ(Theme::secondary(), QColor(0x7C, 0x75, 0x68));
    EXPECT_EQ(Theme::faint(), QColor(0xAA, 0xA2, 0x94));
    EXPECT_EQ(Theme::hairline(), QColor(0xEA, 0xE4, 0xD7));
    EXPECT_EQ(Theme::accent(), QColor(0xC1, 0x62, 0x3B));
    EXPECT_EQ(Theme::shadow().rgb() & 0xFFFFFF, 0u);
    EXPECT_NEAR(Theme::shadow().alphaF(), 0.035, 0.002);
    EXPECT_EQ(&Theme::ink(), &Theme::ink());
}

TEST(Theme, TintsInOrder) {
    const QColor expected[] = {{237, 232, 245}, {226, 236, 221}, {224, 233, 242},
                               {245, 236, 213}, {243, 226, 213}, {233, 234, 236}};
    for (int i = 0; i < Theme::tintCount; ++i) {
        EXPECT_EQ(Theme::tints()[static_cast<std::size_t>(i)], expected[i]);
        EXPECT_EQ(Theme::tint(i), expected[i]) << i;
    }
}

TEST(Theme, TintWrapsEveryIndex) {
    EXPECT_EQ(Theme::tint(6), Theme::tint(0));
    EXPECT_EQ(Theme::tint(13), Theme::tint(1));
    EXPECT_EQ(Theme::tint(-1), Theme::tint(5));
    EXPECT_EQ(Theme::tint(-6), Theme::tint(0));
    EXPECT_EQ(Theme::tint(-7), Theme::tint(5));
    EXPECT_EQ(Theme::tint(std::numeric_limits<std::int64_t>::min()), Theme::tint(4));
    EXPECT_EQ(Theme::tint(std::numeric_limits<std::int64_t>::max()), Theme::tint(1));
    EXPECT_EQ(Theme::tint(std::numeric_limits<int>::min()), Theme::tint(4));
}

TEST(Theme, CategoryTints) {
    const std::pair<TweakCategory, int> table[] = {
        {TweakCategory::finder, 2},      {TweakCategory::dock, 1},
        {TweakCategory::screenshots, 4}, {TweakCategory::keyboard, 3},
        {TweakCategory::network, 2},     {TweakCategory::power, 5},
        {TweakCategory::safari, 0},      {TweakCategory::system, 5},
        {TweakCategory::privacy, 0},     {TweakCategory::performance, 2},
        {TweakCategory::trackpad, 1},    {TweakCategory::missionControl, 3},
        {TweakCategory::menubar, 4},
    };
    for (const auto& [category, index] : table) {
        EXPECT_EQ(categoryTintIndex(category), index) << rawValue(category);
    }
    EXPECT_EQ(std::size(table), allCases<TweakCategory>().size());
}

TEST(Theme, LightPaletteIsBuiltFromTheTheme) {
    const QPalette& palette = Theme::lightPalette();
    EXPECT_EQ(palette.color(QPalette::Window), Theme::paper());
    EXPECT_EQ(palette.color(QPalette::WindowText), Theme::ink());
    EXPECT_EQ(palette.color(QPalette::Base), Theme::card());
    EXPECT_EQ(palette.color(QPalette::Highlight), Theme::accent());
}

}  // namespace
}  // namespace velmora
