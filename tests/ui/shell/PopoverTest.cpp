// The status item's popover: where it opens, how the item toggles it and how it closes.
#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <thread>

#include "ui/shell/Popover.hpp"

namespace velmora {
namespace {

const QSize kPopup(326, 440);
const QRect kScreen(0, 0, 1280, 800);

TEST(PopoverPosition, CentredBelowTheIcon) {
    const QRect icon(600, 0, 24, 24);
    EXPECT_EQ(popoverPosition(icon, kPopup, kScreen), QPoint(611 - 163, 24));
}

TEST(PopoverPosition, AboveAnIconInABottomPanel) {
    const QRect icon(600, 776, 24, 24);
    EXPECT_EQ(popoverPosition(icon, kPopup, kScreen), QPoint(611 - 163, 776 - 440));
}

TEST(PopoverPosition, KeptInsideTheScreenNearItsCorners) {
    EXPECT_EQ(popoverPosition(QRect(1260, 0, 20, 20), kPopup, kScreen), QPoint(1280 - 326, 20));
    EXPECT_EQ(popoverPosition(QRect(0, 0, 20, 20), kPopup, kScreen), QPoint(0, 20));
    // A screen that is not the first one, with a panel on its left.
    const QRect second(1280, 0, 1024, 768);
    const QRect available = second.adjusted(40, 0, 0, 0);
    EXPECT_EQ(popoverPosition(QRect(1285, 100, 20, 20), kPopup, available), QPoint(1320, 120));
}

TEST(PopoverPosition, NoRoomAboveOrBelowStaysOnScreen) {
    const QRect shortScreen(0, 0, 1280, 500);
    EXPECT_EQ(popoverPosition(QRect(600, 200, 24, 24), kPopup, shortScreen), QPoint(448, 60));
    // Larger than the screen: the top-left corner stays visible.
    const QRect tiny(0, 0, 300, 300);
    EXPECT_EQ(popoverPosition(QRect(100, 100, 10, 10), kPopup, tiny), QPoint(0, 0));
}

TEST(Popover, ClosingStartsTheGuardThatLapsesAfterItsInterval) {
    Popover popover;
    popover.configure(std::make_unique<QWidget>());
    EXPECT_EQ(popover.size(), QSize(326, 440));
    EXPECT_FALSE(popover.closedJustNow());
    popover.showBelow(QRect(600, 0, 24, 24));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
    EXPECT_FALSE(popover.closedJustNow());
    popover.performClose();
    EXPECT_FALSE(popover.isShown());
    EXPECT_TRUE(popover.closedJustNow());
    std::this_thread::sleep_for(Popover::reopenGuard + std::chrono::milliseconds(50));
    EXPECT_FALSE(popover.closedJustNow());
}

}  // namespace
}  // namespace velmora
