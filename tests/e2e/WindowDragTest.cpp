// The window moves by its background as a person moves it: a quick click there leaves the window
// where it is (a click is not a drag), while a press held and dragged past the drag distance
// carries the window with the pointer, through the window manager, until the button is let go.
// A sheet over it (the first start's questionnaire) is part of the window: no frame or window of
// its own, and it moves with the window.
#include <QGuiApplication>
#include <QStyleHints>
#include <QTest>

#include <set>

#include "tests/e2e/Desktop.hpp"
#include "tests/e2e/EndToEnd.hpp"

namespace velmora::e2e {
namespace {

// A drag as a hand makes it: a few dozen pixels in small steps, a moment apart.
constexpr QPoint kDragBy(90, 60);
constexpr int kDragSteps = 12;
constexpr std::chrono::milliseconds kStepPause{25};
// Below the sidebar's last entry: nothing there takes a click, so the window's background does.
constexpr int kBelowLastEntry = 24;

// Half the height of the window manager's title bar above the window's content.
constexpr int kIntoTitleBar = 10;

class WindowDrag : public EndToEnd {
  protected:
    // The program's windows the window manager frames and shows (not its tray icon).
    std::vector<XSession::Window> managedWindows() {
        std::set<XSession::WindowId> icons;
        for (const XSession::Window& icon :
             x().trayIconsOf(app().pid(), Desktop::current().trayPid())) {
            icons.insert(icon.id);
        }
        std::vector<XSession::Window> managed = x().windowsOf(app().pid());
        std::erase_if(managed, [&](const XSession::Window& window) {
            return !window.viewable || window.overrideRedirect || icons.contains(window.id);
        });
        return managed;
    }
    // Presses at `from`, moves by `by` in small steps a moment apart, and waits until the window
    // has followed (it may trail by the drag distance) before letting go; where it ended.
    std::optional<QPoint> dragWindow(QPoint from, QPoint by, QPoint origin) {
        x().press(from);
        for (int step = 1; step <= kDragSteps; ++step) {
            x().moveTo(from + by * step / kDragSteps);
            QTest::qWait(static_cast<int>(kStepPause.count()));
        }
        const QPoint target = origin + by;
        const auto followed = [&] {
            const std::optional<QPoint> now = windowOrigin();
            return now && (*now - target).manhattanLength() <=
                              QGuiApplication::styleHints()->startDragDistance() * 2;
        };
        EXPECT_TRUE(waitFor(followed))
            << "the window follows the pointer: " << windowOrigin().value_or(QPoint()).x() << ","
            << windowOrigin().value_or(QPoint()).y() << " for " << target.x() << "," << target.y();
        x().release();
        return windowOrigin();
    }
    // The window's place on the screen as the X server has it (its content's corner).
    std::optional<QPoint> windowOrigin() {
        for (const XSession::Window& window : x().windowsOf(app().pid())) {
            if (window.name == "Velmora" && window.viewable && !window.overrideRedirect) {
                return window.geometry.topLeft();
            }
        }
        return std::nullopt;
    }
};

TEST_F(WindowDrag, AQuickClickOnTheBackgroundLeavesTheWindowAndADragCarriesIt) {
    storeOnboardedProfile();
    launch();
    const QRect lastEntry = shown({{"page tab", "Automations"}}).extents();
    const QPoint blank(lastEntry.center().x(), lastEntry.bottom() + kBelowLastEntry);
    const std::optional<Accessible> main = window("Velmora");
    ASSERT_TRUE(main.has_value());
    const Accessible under = main->objectAt(blank);
    ASSERT_EQ(under.role(), "filler") << "background under " << blank.x() << "," << blank.y()
                                      << ": [" << under.role() << "] " << under.name();
    std::optional<QPoint> before;
    ASSERT_TRUE(waitFor([&] { return (before = windowOrigin()).has_value(); }));

    x().click(blank);
    // The click was handled once a click after it has been: Browse comes up.
    goTo("Browse all");
    EXPECT_EQ(windowOrigin(), before) << "a click is not a drag";

    const std::optional<QPoint> dropped = dragWindow(blank, kDragBy, *before);
    // Let go, it stays: the pointer moving on no longer carries it.
    x().moveTo(blank);
    goTo("Home");
    EXPECT_EQ(windowOrigin(), dropped) << "the move ended with the release";
}

TEST_F(WindowDrag, TheQuestionnaireIsPartOfTheWindowAndMovesWithIt) {
    launch();  // a first start: the questionnaire comes up over the window
    const std::vector<Seek> question{{"heading", "What do you do most?"}};
    const QRect asked = shown(question).extents();
    std::vector<XSession::Window> managed;
    EXPECT_TRUE(waitFor([&] { return !(managed = managedWindows()).empty(); }));
    ASSERT_EQ(managed.size(), 1u) << "one framed window, the sheet has none of its own";
    EXPECT_EQ(managed.front().name, "Velmora");
    const std::optional<Accessible> main = window("Velmora");
    ASSERT_TRUE(main.has_value());
    EXPECT_TRUE(findVisible(*main, question).has_value()) << "a screen reader finds it there";
    EXPECT_TRUE(main->extents().contains(asked)) << "it lies over the window";
    screenshot(QStringLiteral("sheet"));

    // Moved by the window manager's title bar, as a person moves a window with a sheet up.
    const QPoint origin = managed.front().geometry.topLeft();
    const QPoint titleBar(managed.front().geometry.center().x(), origin.y() - kIntoTitleBar);
    const std::optional<QPoint> dropped = dragWindow(titleBar, kDragBy, origin);
    ASSERT_TRUE(dropped.has_value());
    const QPoint moved = *dropped - origin;
    EXPECT_TRUE(waitFor([&] { return shown(question).extents() == asked.translated(moved); }))
        << "the questionnaire moved with the window by " << moved.x() << "," << moved.y();
    EXPECT_EQ(managedWindows().size(), 1u);
}

}  // namespace
}  // namespace velmora::e2e
