// The launch sequence step by step, the main window it shows, the reopen handler and the hook.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QShortcut>
#include <QSignalSpy>
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
                EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Inter")));
                EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Fraunces")));
                EXPECT_FALSE(delegate.statusItem);
                break;
            case LaunchStep::startAutomationMonitor:
                EXPECT_TRUE(test::monitorRunning());
                EXPECT_EQ(revision(), startRevision);
                break;
            case LaunchStep::activationPolicy:
                EXPECT_EQ(QApplication::style()->name(), QStringLiteral("fusion"));
                EXPECT_EQ(QApplication::palette().color(QPalette::Window), Theme::paper());
                EXPECT_EQ(QApplication::palette().color(QPalette::WindowText), Theme::ink());
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

TEST(LaunchSequence, WithoutATrayTheWindowAloneServes) {
    AppDelegate delegate(TrayAvailability::absent);
    delegate.applicationDidFinishLaunching();
    EXPECT_FALSE(delegate.statusItem);
    EXPECT_TRUE(delegate.window->isVisible());
    // Nothing to click: the toggle has no item to hang the popover from.
    delegate.togglePopover();
    EXPECT_FALSE(delegate.popover->isShown());
}

TEST_F(Launched, WindowIsCentredWithItsTitleRootAndPaper) {
    AppWindow& window = *delegate.window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(window.size(), QSize(840, 620));
    const QPoint offCentre =
        window.frameGeometry().center() - window.screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), kFrameSlack) << offCentre.x() << ", " << offCentre.y();

    auto* root = qobject_cast<MainWindow*>(window.root());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(&root->model, &test::model());
    EXPECT_EQ(root->minimumSize(), QSize(840, 600));
    EXPECT_EQ(root->geometry(), window.rect());

    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), Theme::paper());
    EXPECT_EQ(shot.pixelColor(shot.width() - 5, shot.height() - 5), Theme::paper());
    EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("main-window.png"))));
}

TEST_F(Launched, WindowCannotBeMadeSmallerThanItsRoot) {
    delegate.window->resize(500, 300);
    EXPECT_GE(delegate.window->width(), 840);
    EXPECT_GE(delegate.window->height(), 600);
}

TEST_F(Launched, DraggingTheBackgroundMovesTheWindow) {
    AppWindow& window = *delegate.window;
    const QPoint before = window.pos();
    QWidget* background = window.root();
    QTest::mousePress(background, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(background, QPoint(130, 80));
    QTest::mouseRelease(background, Qt::LeftButton, {}, QPoint(130, 80));
    EXPECT_EQ(window.pos(), before + QPoint(30, -20));
    // Moving without a button held afterwards leaves it where it is.
    QTest::mouseMove(background, QPoint(10, 10));
    EXPECT_EQ(window.pos(), before + QPoint(30, -20));
}

TEST_F(Launched, CtrlQIsTheQuitCommand) {
    auto* quit = delegate.window->findChild<QShortcut*>();
    ASSERT_NE(quit, nullptr);
    // Disconnected first: the test must not end the application it runs in.
    QObject::disconnect(quit, &QShortcut::activated, nullptr, nullptr);
    QSignalSpy pressed(quit, &QShortcut::activated);
    QTest::keyClick(delegate.window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(pressed.count(), 1);
}

TEST_F(Launched, ReopenWithAVisibleWindowDoesNothingButAnswersTrue) {
    const long long before = revision();
    ASSERT_TRUE(delegate.hasVisibleWindows());
    EXPECT_TRUE(delegate.applicationShouldHandleReopen(delegate.hasVisibleWindows()));
    EXPECT_EQ(revision(), before);
    EXPECT_TRUE(delegate.window->isVisible());
}

TEST_F(Launched, SecondStartBringsAVisibleWindowForwardWithoutARefresh) {
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    const long long before = revision();
    delegate.reopenRequested();
    EXPECT_TRUE(QTest::qWaitForWindowActive(delegate.window.get()));
    EXPECT_EQ(revision(), before);
}

TEST_F(Launched, ReopenAfterClosingBringsTheSameWindowBackAfterARefresh) {
    AppWindow* window = delegate.window.get();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(delegate.hasVisibleWindows());
    EXPECT_EQ(delegate.window.get(), window);

    const long long before = revision();
    EXPECT_TRUE(delegate.applicationShouldHandleReopen(delegate.hasVisibleWindows()));
    EXPECT_EQ(revision(), before + 1);
    EXPECT_EQ(delegate.window.get(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

TEST_F(Launched, MinimisedWindowCountsAsHiddenAndIsRestored) {
    delegate.window->showMinimized();
    EXPECT_FALSE(delegate.hasVisibleWindows());
    EXPECT_TRUE(delegate.applicationShouldHandleReopen(delegate.hasVisibleWindows()));
    EXPECT_FALSE(delegate.window->isMinimized());
    EXPECT_TRUE(delegate.window->isVisible());
}

TEST_F(Launched, OpenVelmoraHookRefreshesAndBringsTheClosedWindowBack) {
    delegate.window->close();
    const long long before = revision();
    test::pressOpenVelmora();
    EXPECT_EQ(revision(), before + 1);
    EXPECT_TRUE(delegate.window->isVisible());
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
