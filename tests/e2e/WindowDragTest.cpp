// The window moves by its background as a person moves it: a quick click there leaves the window
// where it is (a click is not a drag), while a press held and dragged past the drag distance
// carries the window with the pointer, through the window manager, until the button is let go.
#include <QGuiApplication>
#include <QStyleHints>
#include <QTest>

#include "tests/e2e/EndToEnd.hpp"

namespace velmora::e2e {
namespace {

// A drag as a hand makes it: a few dozen pixels in small steps, a moment apart.
constexpr QPoint kDragBy(90, 60);
constexpr int kDragSteps = 12;
constexpr std::chrono::milliseconds kStepPause{25};
// Below the sidebar's last entry: nothing there takes a click, so the window's background does.
constexpr int kBelowLastEntry = 24;

class WindowDrag : public EndToEnd {
  protected:
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
    const QRect lastEntry = shown({{"check box", "Automations"}}).extents();
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

    x().press(blank);
    for (int step = 1; step <= kDragSteps; ++step) {
        x().moveTo(blank + kDragBy * step / kDragSteps);
        QTest::qWait(static_cast<int>(kStepPause.count()));
    }
    const QPoint target = *before + kDragBy;
    // The window manager moves it from the drag distance on, so it trails by at most that much.
    const auto followed = [&] {
        const std::optional<QPoint> now = windowOrigin();
        return now && (*now - target).manhattanLength() <=
                          QGuiApplication::styleHints()->startDragDistance() * 2;
    };
    EXPECT_TRUE(waitFor(followed))
        << "the window follows the pointer: " << windowOrigin().value_or(QPoint()).x() << ","
        << windowOrigin().value_or(QPoint()).y() << " for " << target.x() << "," << target.y();
    x().release();
    const std::optional<QPoint> dropped = windowOrigin();
    // Let go, it stays: the pointer moving on no longer carries it.
    x().moveTo(blank);
    goTo("Home");
    EXPECT_EQ(windowOrigin(), dropped) << "the move ended with the release";
}

}  // namespace
}  // namespace velmora::e2e
