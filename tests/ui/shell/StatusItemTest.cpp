// The status item and its popover, driven through the delegate as the tray's clicks drive them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <thread>

#include "tests/ui/Artefacts.hpp"
#include "tests/ui/shell/ModelProbe.hpp"
#include "ui/shell/AppDelegate.hpp"

namespace velmora {
namespace {

using test::revision;

class WithTray : public ::testing::Test {
  protected:
    void SetUp() override {
        delegate.applicationDidFinishLaunching();
        ASSERT_TRUE(delegate.statusItem);
    }
    void waitOutTheGuard() {
        std::this_thread::sleep_for(Popover::reopenGuard + std::chrono::milliseconds(50));
    }
    AppDelegate delegate{TrayAvailability::present};
};

TEST_F(WithTray, ToggleOpensAfterARefreshAndClosesOnTheSecondClick) {
    const long long before = revision();
    delegate.togglePopover();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate.popover.get()));
    EXPECT_EQ(revision(), before + 1);
    EXPECT_EQ(delegate.popover->size(), QSize(326, 440));
    EXPECT_TRUE(delegate.popover->windowFlags().testFlag(Qt::Popup));
    EXPECT_TRUE(delegate.popover->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(delegate.popover->grab().save(test::artefactPath(QStringLiteral("popover.png"))));

    delegate.togglePopover();
    EXPECT_FALSE(delegate.popover->isShown());
    EXPECT_EQ(revision(), before + 1);
}

TEST_F(WithTray, AClickElsewhereClosesItAndTheSameClickOnTheIconDoesNotReopenIt) {
    delegate.togglePopover();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate.popover.get()));
    ASSERT_EQ(QApplication::activePopupWidget(), delegate.popover.get());
    // Through the window system, as a real click arrives, so that Qt's popup handling sees it.
    const QPoint elsewhere(delegate.window->width() - 20, delegate.window->height() - 20);
    ASSERT_FALSE(delegate.popover->geometry().contains(delegate.window->mapToGlobal(elsewhere)));
    QTest::mouseClick(delegate.window->windowHandle(), Qt::LeftButton, {}, elsewhere);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !delegate.popover->isShown(); }));
    // Qt closes the popup on the press outside it; a click on the icon then reaches the item.
    delegate.togglePopover();
    EXPECT_FALSE(delegate.popover->isShown());
    waitOutTheGuard();
    delegate.togglePopover();
    EXPECT_TRUE(delegate.popover->isShown());
}

TEST_F(WithTray, OpenVelmoraClosesThePopoverAndBringsTheClosedWindowBack) {
    delegate.window->close();
    delegate.togglePopover();
    ASSERT_TRUE(delegate.popover->isShown());
    const long long before = revision();
    test::pressOpenVelmora();
    EXPECT_EQ(revision(), before + 1);
    EXPECT_FALSE(delegate.popover->isShown());
    EXPECT_TRUE(delegate.window->isVisible());
}

TEST_F(WithTray, WithoutAnIconRectangleItOpensAtThePointerOnScreen) {
    // The offscreen tray reports no rectangle for its icon, as some trays do.
    ASSERT_FALSE(delegate.statusItem->geometry().isValid());
    QCursor::setPos(500, 300);
    delegate.togglePopover();
    ASSERT_TRUE(delegate.popover->isShown());
    EXPECT_EQ(delegate.popover->pos(), QPoint(500 - 163, 301));
    delegate.popover->performClose();

    waitOutTheGuard();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCursor::setPos(available.bottomRight());
    delegate.togglePopover();
    ASSERT_TRUE(delegate.popover->isShown());
    EXPECT_TRUE(available.contains(delegate.popover->geometry()));
}

}  // namespace
}  // namespace velmora
