// The launch sequence step by step, the main window it shows, the reopen handler and the hook.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include "tests/ui/Artefacts.hpp"
#include "tests/ui/shell/ModelProbe.hpp"
#include "ui/Theme.hpp"
#include "ui/popover/MenuBarView.hpp"
#include "ui/shell/AppDelegate.hpp"
#include "ui/window/MainWindow.hpp"

namespace velmora {
namespace {

using test::hookInstalled;
using test::revision;

// Rounding of odd differences.
constexpr int kFrameSlack = 1;

class Launched : public ::testing::Test {
  protected:
    void SetUp() override {
        test::removeHook();
        delegate.applicationDidFinishLaunching();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate.window.get()));
    }
    AppDelegate delegate{TrayAvailability::absent};
};

TEST(LaunchSequence, EachStepHasItsEffectAndNoLaterOneRunsEarly) {
    test::removeHook();
    AppDelegate delegate(TrayAvailability::present);
    const long long startRevision = revision();
    for (const LaunchStep step : AppDelegate::launchSequence()) {
        delegate.runLaunchStep(step);
        switch (step) {
            case LaunchStep::registerFonts:
                EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Fraunces")));
                EXPECT_FALSE(delegate.statusItem);
                break;
            case LaunchStep::startAutomationMonitor:
                EXPECT_TRUE(test::model().automationTimer);
                EXPECT_EQ(revision(), startRevision);
                break;
            case LaunchStep::activationPolicy:
                EXPECT_EQ(QApplication::style()->name(), QStringLiteral("fusion"));
                EXPECT_EQ(QApplication::palette().color(QPalette::Window), Theme::paper());
                break;
            case LaunchStep::statusItem:
                ASSERT_TRUE(delegate.statusItem);
                EXPECT_EQ(delegate.statusItem->toolTip(), QStringLiteral("Velmora"));
                EXPECT_FALSE(delegate.statusItem->icon().isNull());
                EXPECT_FALSE(delegate.popover->content());
                break;
            case LaunchStep::popover:
                EXPECT_EQ(delegate.popover->size(), QSize(326, 440));
                EXPECT_NE(qobject_cast<MenuBarView*>(delegate.popover->content()), nullptr);
                EXPECT_FALSE(delegate.popover->isShown());
                EXPECT_FALSE(delegate.window);
                break;
            case LaunchStep::mainWindow:
                ASSERT_TRUE(delegate.window);
                EXPECT_EQ(delegate.window->size(), QSize(840, 620));
                EXPECT_FALSE(delegate.window->isVisible());
                EXPECT_FALSE(hookInstalled());
                break;
            case LaunchStep::openWindowHook:
                EXPECT_TRUE(hookInstalled());
                EXPECT_EQ(revision(), startRevision);
                break;
            case LaunchStep::refreshModel:
                EXPECT_EQ(revision(), startRevision + 1);
                EXPECT_FALSE(delegate.window->isVisible());
                break;
            case LaunchStep::showWindow:
                EXPECT_TRUE(delegate.window->isVisible());
                break;
            case LaunchStep::activate:
                EXPECT_TRUE(QTest::qWaitForWindowActive(delegate.window.get()));
                break;
        }
    }
    EXPECT_EQ(revision(), startRevision + 1);
    EXPECT_FALSE(delegate.popover->isShown());
}

TEST_F(Launched, WindowIsCentredWithItsTitleRootAndPaperIsDraggableAndServesAloneWithoutATray) {
    AppWindow& window = *delegate.window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Velmora"));
    const QPoint offCentre =
        window.frameGeometry().center() - window.screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), kFrameSlack) << offCentre.x() << ", " << offCentre.y();
    auto* root = qobject_cast<MainWindow*>(window.root());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(&root->model, &test::model());
    EXPECT_EQ(root->geometry(), window.rect());
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), Theme::paper());
    EXPECT_EQ(shot.pixelColor(shot.width() - 5, shot.height() - 5), Theme::paper());
    EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("main-window.png"))));

    const QPoint before = window.pos();
    QTest::mousePress(root, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(root, QPoint(130, 80));
    QTest::mouseRelease(root, Qt::LeftButton, {}, QPoint(130, 80));
    EXPECT_EQ(window.pos(), before + QPoint(30, -20));
    // Moving without a button held afterwards leaves it where it is.
    QTest::mouseMove(root, QPoint(10, 10));
    EXPECT_EQ(window.pos(), before + QPoint(30, -20));
    // Never smaller than its root's minimum.
    window.resize(500, 300);
    EXPECT_EQ(window.size(), QSize(840, 600));
    // Without a tray the window alone serves: there is no item to hang the popover from.
    EXPECT_FALSE(delegate.statusItem);
    delegate.togglePopover();
    EXPECT_FALSE(delegate.popover->isShown());
}

TEST_F(Launched, ReopenOrASecondStartBringsAVisibleWindowForwardWithoutARefresh) {
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    const long long before = revision();
    ASSERT_TRUE(delegate.hasVisibleWindows());
    EXPECT_TRUE(delegate.applicationShouldHandleReopen(delegate.hasVisibleWindows()));
    delegate.reopenRequested();
    EXPECT_TRUE(QTest::qWaitForWindowActive(delegate.window.get()));
    EXPECT_EQ(revision(), before);
}

TEST_F(Launched, ReopenBringsTheSameWindowBackAfterARefreshOnceClosedOrMinimised) {
    AppWindow* window = delegate.window.get();
    for (bool minimise : {false, true}) {
        SCOPED_TRACE(minimise);
        if (minimise) {
            window->showMinimized();
        } else {
            window->close();
        }
        EXPECT_FALSE(delegate.hasVisibleWindows());
        const long long before = revision();
        EXPECT_TRUE(delegate.applicationShouldHandleReopen(delegate.hasVisibleWindows()));
        EXPECT_EQ(revision(), before + 1);
        EXPECT_EQ(delegate.window.get(), window);
        EXPECT_FALSE(window->isMinimized());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }
}

TEST(OpenWindowHook, DoesNothingOnceTheDelegateIsGone) {
    test::removeHook();
    {
        AppDelegate delegate(TrayAvailability::absent);
        delegate.applicationDidFinishLaunching();
        ASSERT_TRUE(hookInstalled());
    }
    const long long before = revision();
    test::pressOpenVelmora();
    EXPECT_EQ(revision(), before);
}

}  // namespace
}  // namespace velmora
