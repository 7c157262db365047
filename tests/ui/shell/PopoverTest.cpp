// Where the status item's popover opens: under its icon, above it in a bottom panel, on screen.
#include <gtest/gtest.h>

#include "ui/shell/Popover.hpp"

namespace velmora {
namespace {

TEST(PopoverPosition, CentredBelowOrAboveTheIconAndKeptOnScreen) {
    const QRect screen(0, 0, 1280, 800);
    // Below; above in a bottom panel; both corners; a second screen with a panel on its left; no
    // room either way; larger than the screen, where the top-left corner stays visible.
    const std::tuple<QRect, QRect, QPoint> cases[] = {
        {QRect(600, 0, 24, 24), screen, QPoint(611 - 163, 24)},
        {QRect(600, 776, 24, 24), screen, QPoint(611 - 163, 776 - 440)},
        {QRect(1260, 0, 20, 20), screen, QPoint(1280 - 326, 20)},
        {QRect(0, 0, 20, 20), screen, QPoint(0, 20)},
        {QRect(1285, 100, 20, 20), QRect(1320, 0, 984, 768), QPoint(1320, 120)},
        {QRect(600, 200, 24, 24), QRect(0, 0, 1280, 500), QPoint(448, 60)},
        {QRect(100, 100, 10, 10), QRect(0, 0, 300, 300), QPoint(0, 0)},
    };
    for (const auto& [icon, available, expected] : cases) {
        EXPECT_EQ(popoverPosition(icon, QSize(326, 440), available), expected) << icon.x();
    }
}

}  // namespace
}  // namespace velmora
