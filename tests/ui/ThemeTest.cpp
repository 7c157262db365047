// The tint wrapping rule, which must take any index, and the palette built from the theme.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "ui/Theme.hpp"

namespace velmora {
namespace {

TEST(Theme, TintWrapsEveryIndex) {
    const std::pair<std::int64_t, int> table[] = {{6, 0},
                                                  {13, 1},
                                                  {-1, 5},
                                                  {-6, 0},
                                                  {-7, 5},
                                                  {std::numeric_limits<std::int64_t>::min(), 4},
                                                  {std::numeric_limits<std::int64_t>::max(), 1},
                                                  {std::numeric_limits<int>::min(), 4}};
    for (const auto& [index, wrapped] : table) {
        EXPECT_EQ(Theme::tint(index), Theme::tints()[static_cast<std::size_t>(wrapped)]) << index;
    }
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
