// The tint wrapping rule, which must take any index without overflowing.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "ui/look/Theme.hpp"

namespace velmora {
namespace {

TEST(Theme, TintWrapsEveryIndex) {
    using Limits = std::numeric_limits<std::int64_t>;
    // Past the ends of a 64-bit and a 32-bit index too.
    const std::int64_t lo = Limits::min(), hi = Limits::max(), lo32 = -(1LL << 31);
    const std::pair<std::int64_t, int> table[] = {{6, 0},  {13, 1}, {-1, 5}, {-6, 0},
                                                  {-7, 5}, {lo, 4}, {hi, 1}, {lo32, 4}};
    for (const auto& [index, wrapped] : table) {
        EXPECT_EQ(Theme::tint(index), Theme::tints()[static_cast<std::size_t>(wrapped)]) << index;
    }
}

}  // namespace
}  // namespace velmora
