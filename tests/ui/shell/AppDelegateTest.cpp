// The delegate: the launch sequence step by step, the main window it shows, the reopen handler, the
// open-window hook, and the status item's popover as the tray's clicks drive it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QFontDatabase>
#include <QFontInfo>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QWindow>
#include <optional>
#include <thread>

#include "tests/ui/Artefacts.hpp"
#include "tests/ui/ResidentFonts.hpp"
#include "ui/look/AppStyle.hpp"
#include "ui/look/MemoryTidy.hpp"
#include "ui/look/Theme.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/popover/MenuBarView.hpp"
#include "ui/shell/AppDelegate.hpp"
#include "ui/window/MainWindow.hpp"

namespace velmora {
namespace {

AppModel& model() {
    return AppModel::shared();
}
// Every refresh counts one revision.
long long revision() {
    return static_cast<long long>(model().revision());
}
bool hookInstalled() {
    return static_cast<bool>(model().requestOpenWindow);
}

// The sizes a widget is resized to, in order.
class SizesSeen : public QObject {
  public:
    explicit SizesSeen(QWidget& widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            sizes.append(static_cast<QWidget*>(watched)->size());
        }
        return false;
    }
    QList<QSize> sizes;
};

class Launched : public ::testing::Test {
  protected:
    void SetUp() override {
        delegate.applicationDidFinishLaunching();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate.window.get()));
    }
    AppDelegate delegate{TrayAvailability::absent};
};

TEST(LaunchSequence, EachStepHasItsEffectInItsOrder) {
    using enum LaunchStep;
    EXPECT_THAT(AppDelegate::launchSequence(),
                ::testing::ElementsAre(registerFonts, startAutomationMonitor, activationPolicy,
                                       statusItem, popover, mainWindow, openWindowHook,
                                       refreshModel, showWindow, activate));
    model().requestOpenWindow = {};
    AppDelegate delegate(TrayAvailability::present);
    const long long start = revision();
    delegate.runLaunchStep(registerFonts);
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Fraunces")));
    delegate.runLaunchStep(startAutomationMonitor);
    EXPECT_TRUE(model().automationTimer);
    QApplication::setWindowIcon(QIcon());
    delegate.runLaunchStep(activationPolicy);
    EXPECT_TRUE(QApplication::windowIcon().isNull()) << "the icon follows the first frame";
    // The application's own look for tool tips and menus, over Fusion.
    const auto* look = qobject_cast<const AppStyle*>(QApplication::style());
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(look->baseStyle()->name(), QStringLiteral("fusion"));
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), Theme::paper());
    // Text that sets no font of its own is Inter too, never the desktop's font.
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), QStringLiteral("Inter"));
    delegate.runLaunchStep(statusItem);
    EXPECT_FALSE(delegate.statusItem) << "the tray's icon follows the window's first frame";
    delegate.runLaunchStep(popover);
    EXPECT_EQ(delegate.popover->size(), QSize(326, 440));
    EXPECT_FALSE(delegate.popover->contentMade()) << "made when first wanted";
    delegate.runLaunchStep(mainWindow);
    ASSERT_TRUE(delegate.window);
    EXPECT_EQ(delegate.window->size(), QSize(840, 620));
    EXPECT_FALSE(hookInstalled());
    delegate.runLaunchStep(openWindowHook);
    EXPECT_TRUE(hookInstalled());
    EXPECT_EQ(revision(), start);
    delegate.runLaunchStep(refreshModel);
    EXPECT_EQ(revision(), start) << "the refresh waits for the window's first frame";
    EXPECT_FALSE(delegate.window->isVisible());
    delegate.runLaunchStep(showWindow);
    delegate.runLaunchStep(activate);
    EXPECT_TRUE(QTest::qWaitForWindowActive(delegate.window.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return revision() == start + 1; }));
    ASSERT_TRUE(delegate.statusItem);
    EXPECT_EQ(delegate.statusItem->toolTip(), QStringLiteral("Velmora"));
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_NE(qobject_cast<MenuBarView*>(delegate.popover->content()), nullptr);
    EXPECT_TRUE(delegate.popover->contentMade());
}

// Nothing the first frame does not need runs before it: the launch's refresh and the monitor's
// battery readings (tool runs) come right after it, once each, and the monitor compares against
// readings taken then.
TEST(FirstPaint, TheLaunchsToolRunsComeRightAfterIt) {
    AppDelegate delegate(TrayAvailability::absent);
    model().lastOnBattery.reset();
    const long long start = revision();
    std::optional<long long> atFirstPaint;
    bool baselineAtFirstPaint = true;
    for (const LaunchStep step : AppDelegate::launchSequence()) {
        if (step == LaunchStep::showWindow) {
            delegate.window->onFirstPaint = [&] {
                atFirstPaint = revision();
                baselineAtFirstPaint = model().lastOnBattery.has_value();
            };
        }
        delegate.runLaunchStep(step);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return atFirstPaint.has_value(); }));
    EXPECT_EQ(*atFirstPaint, start);
    EXPECT_FALSE(baselineAtFirstPaint);
    EXPECT_TRUE(QTest::qWaitFor([&] { return revision() == start + 1; }));
    EXPECT_TRUE(model().lastOnBattery.has_value());
    QTest::qWait(AppDelegate::firstFrameWaitMs + 100);  // past the fallback: nothing runs twice
    EXPECT_EQ(revision(), start + 1);
}

// The first frame's font engines read their files whenever it comes; what they leave resident is
// given back once the window is quiet after it, however long the frame took to come.
TEST(FirstPaint, FontFilesReadForItAreLeftToThePageCacheOnceTheWindowIsQuiet) {
    AppDelegate delegate(TrayAvailability::absent);
    const int quietMs = static_cast<int>(MemoryTidy::quiet.count());
    bool painted = false;
    for (const LaunchStep step : AppDelegate::launchSequence()) {
        if (step == LaunchStep::showWindow) {
            QTest::qWait(quietMs * 2);  // a first frame slower than the window's own quiet
            delegate.window->onFirstPaint = [&] {
                testing::readFontFilesWhole();
                painted = true;
            };
        }
        delegate.runLaunchStep(step);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return painted; }));
    ASSERT_GT(testing::residentFontKib(), testing::fewFontKib());
    EXPECT_TRUE(QTest::qWaitFor([&] { return testing::residentFontKib() <= testing::fewFontKib(); },
                                quietMs * 4))
        << testing::residentFontKib() << " KiB resident";
}

// A window that is never painted (kept off screen) still gets its launch readings, a little later.
TEST(FirstPaint, WithoutAPaintTheLaunchsReadingsStillRun) {
    AppDelegate delegate(TrayAvailability::absent);
    model().lastOnBattery.reset();
    const long long start = revision();
    bool painted = false;
    for (const LaunchStep step : AppDelegate::launchSequence()) {
        if (step == LaunchStep::showWindow) {
            delegate.window->onFirstPaint = [&] { painted = true; };
        }
        delegate.runLaunchStep(step);
        if (step == LaunchStep::showWindow) {
            delegate.window->hide();  // before the event loop could paint it
        }
    }
    EXPECT_EQ(revision(), start);
    EXPECT_TRUE(QTest::qWaitFor([&] { return revision() == start + 1; },
                                AppDelegate::firstFrameWaitMs * 4));
    EXPECT_TRUE(model().lastOnBattery.has_value());
    EXPECT_FALSE(painted);
}

TEST_F(Launched, WindowIsCentredWithItsTitleAndPaperIsDraggableAndServesAloneWithoutATray) {
    AppWindow& window = *delegate.window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Velmora"));
    const QPoint offCentre =
        window.frameGeometry().center() - window.screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 1) << "rounding only";
    auto* root = qobject_cast<MainWindow*>(window.root());
    ASSERT_NE(root, nullptr);
    // A first launch: the questionnaire lies over the window, whose paper is dimmed behind it.
    ASSERT_NE(root->presentedSheet(), nullptr);
    const QImage dimmed = window.grab().toImage();
    EXPECT_LT(dimmed.pixelColor(dimmed.width() - 5, dimmed.height() - 5).lightness(),
              Theme::paper().lightness());
    root->change([](WindowState& state) { state.showOnboarding = false; });
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(root->presentedSheet(), nullptr);
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() - 5, shot.height() - 5), Theme::paper());
    EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("main-window.png"))));

    const QPoint before = window.pos();
    // A click, and a press that wanders less than the desktop's drag distance, move nothing.
    QTest::mouseClick(root, Qt::LeftButton, {}, QPoint(100, 100));
    const int nudge = QApplication::startDragDistance() - 1;
    QTest::mousePress(root, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(root, QPoint(100 + nudge, 100));
    QTest::mouseRelease(root, Qt::LeftButton, {}, QPoint(100 + nudge, 100));
    QTest::mouseMove(root, QPoint(160, 160));
    EXPECT_EQ(window.pos(), before) << "nothing follows the pointer after the button is up";
    // A drag moves it with the pointer, from where the button went down.
    QTest::mousePress(root, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(root, QPoint(130, 80));
    QTest::mouseRelease(root, Qt::LeftButton, {}, QPoint(130, 80));
    EXPECT_EQ(window.pos(), before + QPoint(30, -20));
    window.resize(500, 300);
    EXPECT_EQ(window.size(), QSize(840, 600)) << "never smaller than its root's minimum";
    delegate.togglePopover();
    EXPECT_FALSE(delegate.popover->isShown()) << "no item to hang the popover from";
}

// Moved to a screen of another pixel ratio, X keeps a window's size in the screen's pixels, so
// from an ordinary screen to a double-density one the window would show a quarter of its content,
// far below its minimum. It keeps its size in its own units instead; a resize by the user there
// stays as made.
TEST_F(Launched, MovedToAScreenOfAnotherRatioTheWindowKeepsItsSize) {
    AppWindow& window = *delegate.window;
    const QSize before = window.size();
    ASSERT_EQ(window.devicePixelRatioF(), 1.0);
    QScreen* doubled = QGuiApplication::screens().last();
    ASSERT_EQ(doubled->devicePixelRatio(), 2.0);
    window.move(doubled->geometry().topLeft() + QPoint(40, 40));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.devicePixelRatioF() == 2.0; }));
    // What the X server reports: the same pixels, half as many of the window's units.
    SizesSeen seen(window);
    window.windowHandle()->resize(before / 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.sizes.contains(before / 2); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.size(), before) << window.width() << "x" << window.height();
    window.resize(before + QSize(60, 40));
    QTest::qWait(10);
    EXPECT_EQ(window.size(), before + QSize(60, 40));
    window.centreOnScreen();
}

TEST_F(Launched, ReopenBringsAVisibleWindowForwardAloneAndAHiddenOneBackAfterARefresh) {
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    long long before = revision();
    delegate.reopenRequested();
    EXPECT_TRUE(QTest::qWaitForWindowActive(delegate.window.get()));
    EXPECT_EQ(revision(), before);

    AppWindow* window = delegate.window.get();
    for (bool minimise : {false, true}) {
        SCOPED_TRACE(minimise);
        minimise ? window->showMinimized() : static_cast<void>(window->close());
        before = revision();
        EXPECT_TRUE(delegate.applicationShouldHandleReopen(delegate.hasVisibleWindows()));
        EXPECT_EQ(revision(), before + 1);
        EXPECT_EQ(delegate.window.get(), window);
        EXPECT_FALSE(window->isMinimized());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }
}

// Counts the paints a widget gets.
class PaintCount : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// The start-up benchmark's mark: once, after the window's content (which covers the whole frame)
// is first painted, and never again for later paints.
TEST(FirstPaint, TheHookRunsOnceAfterTheWindowsContentIsFirstPainted) {
    AppDelegate delegate(TrayAvailability::absent);
    int calls = 0;
    bool contentPainted = false;
    for (const LaunchStep step : AppDelegate::launchSequence()) {
        if (step == LaunchStep::showWindow) {
            delegate.window->onFirstPaint = [&] {
                ++calls;
                contentPainted = !delegate.window->root()->grab().isNull();
            };
        }
        delegate.runLaunchStep(step);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls > 0; }));
    EXPECT_TRUE(contentPainted);
    PaintCount painted;
    delegate.window->root()->installEventFilter(&painted);
    delegate.window->root()->repaint();
    EXPECT_TRUE(QTest::qWaitFor([&] { return painted.paints > 0; }));
    QCoreApplication::processEvents();  // one more turn, for anything the paint queued
    EXPECT_EQ(calls, 1);
}

TEST(OpenWindowHook, DoesNothingOnceTheDelegateIsGone) {
    {
        AppDelegate delegate(TrayAvailability::absent);
        delegate.applicationDidFinishLaunching();
        ASSERT_TRUE(hookInstalled());
    }
    const long long before = revision();
    hookInstalled() ? model().requestOpenWindow() : void();  // as "Open Velmora" calls it
    EXPECT_EQ(revision(), before);
}

class WithTray : public ::testing::Test {
  protected:
    void SetUp() override {
        // Past the questionnaire: its sheet coming forward would close the popover, as any
        // window of ours does, and these tests are about the popover alone.
        if (model().needsOnboarding()) {
            model().saveProfile({}, {}, DeviceKind::laptop);
        }
        delegate.applicationDidFinishLaunching();
        // The status item follows the window's first frame.
        ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.statusItem != nullptr; }));
    }
    // The model is shared by every case of the process: a case run after these (as in a shuffled
    // or repeated run) must still find the first launch it expects.
    void TearDown() override { model().setProfile(profileBefore); }
    void waitOutTheGuard() {
        std::this_thread::sleep_for(Popover::reopenGuard + std::chrono::milliseconds(50));
    }
    const UserProfile profileBefore = model().profile();
    AppDelegate delegate{TrayAvailability::present};
    Popover& popover = *delegate.popover;
};

TEST_F(WithTray, ToggleOpensAfterARefreshAndClosesOnTheSecondClick) {
    const long long before = revision();
    delegate.togglePopover();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
    EXPECT_EQ(revision(), before + 1);
    EXPECT_TRUE(popover.windowFlags().testFlags(Qt::Popup | Qt::FramelessWindowHint));
    EXPECT_TRUE(popover.grab().save(test::artefactPath(QStringLiteral("popover.png"))));
    delegate.togglePopover();
    EXPECT_FALSE(popover.isShown());
    EXPECT_EQ(revision(), before + 1);
}

TEST_F(WithTray, AClickElsewhereClosesItAndTheSameClickOnTheIconDoesNotReopenIt) {
    delegate.togglePopover();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
    // Through the window system, as a real click arrives, so that Qt's popup handling sees it.
    const QPoint elsewhere(delegate.window->width() - 20, delegate.window->height() - 20);
    ASSERT_FALSE(popover.geometry().contains(delegate.window->mapToGlobal(elsewhere)));
    QTest::mouseClick(delegate.window->windowHandle(), Qt::LeftButton, {}, elsewhere);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popover.isShown(); }));
    delegate.togglePopover();  // the click that closed it reaches the item next
    EXPECT_FALSE(popover.isShown());
    waitOutTheGuard();
    delegate.togglePopover();
    EXPECT_TRUE(popover.isShown());
}

TEST_F(WithTray, AnotherOfItsWindowsComingForwardClosesIt) {
    delegate.togglePopover();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
    QWidget sheet;  // a window of ours that is not the main window, as a sheet would be
    sheet.show();
    sheet.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popover.isShown(); }));
    waitOutTheGuard();
    delegate.togglePopover();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
    delegate.reopenRequested();  // a second start brings the main window forward
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popover.isShown(); }));
}

TEST_F(WithTray, TheWindowAndThePanelReadAsWindowsNamedVelmora) {
    delegate.togglePopover();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
    for (QWidget* window :
         {static_cast<QWidget*>(delegate.window.get()), static_cast<QWidget*>(&popover)}) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->role(), QAccessible::Window) << window->objectName().toStdString();
        EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Velmora"))
            << window->objectName().toStdString();
    }
}

TEST_F(WithTray, WithoutAnIconRectangleItOpensAtThePointer) {
    ASSERT_TRUE(delegate.statusItem && !delegate.statusItem->geometry().isValid());
    QCursor::setPos(500, 300);
    delegate.togglePopover();
    EXPECT_EQ(popover.pos(), QPoint(500 - 163, 301));
}

}  // namespace
}  // namespace velmora
