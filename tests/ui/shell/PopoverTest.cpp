// Where the status item's popover opens: under its icon, above it in a bottom panel, on screen.
#include <gtest/gtest.h>

#include "ui/shell/Popover.hpp"

namespace velmora {
namespace {

TEST(PopoverPosition, CentredBelowOrAboveTheIconAndKeptOnScreen) {
    const QSize popup(326, 440);
    const QRect screen(0, 0, 1280, 800);
    const struct {
        const char* name;
        QRect icon;
        QRect available;
        QPoint expected;
    } cases[] = {
        {"below", QRect(600, 0, 24, 24), screen, QPoint(611 - 163, 24)},
        {"bottom panel", QRect(600, 776, 24, 24), screen, QPoint(611 - 163, 776 - 440)},
        {"right corner", QRect(1260, 0, 20, 20), screen, QPoint(1280 - 326, 20)},
        {"left corner", QRect(0, 0, 20, 20), screen, QPoint(0, 20)},
        // A screen that is not the first one, with a panel on its left.
        {"second screen", QRect(1285, 100, 20, 20), QRect(1320, 0, 984, 768), QPoint(1320, 120)},
        {"no room", QRect(600, 200, 24, 24), QRect(0, 0, 1280, 500), QPoint(448, 60)},
        // Larger than the screen: the top-left corner stays visible.
        {"tiny screen", QRect(100, 100, 10, 10), QRect(0, 0, 300, 300), QPoint(0, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(popoverPosition(c.icon, popup, c.available), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace velmora
