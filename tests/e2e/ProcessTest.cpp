// The installed program as a process on the desktop: a second start brings the first one's window
// back, and "Quit" in the tray's panel ends it with status 0, leaving neither its instance lock
// and socket nor a temporary file beside the domain files it wrote.
#include <QProcess>
#include <set>

#include "tests/e2e/Desktop.hpp"
#include "tests/e2e/EndToEnd.hpp"
#include "tests/e2e/RootAgent.hpp"

namespace velmora::e2e {
namespace {

class Process : public EndToEnd {
  protected:
    // The first instance's runtime folder, which a second start shares.
    fs::path runtime() const { return workFolder() / "rt"; }

    std::optional<XSession::Window> mainWindowOf(pid_t pid) {
        for (const XSession::Window& window : x().windowsOf(pid)) {
            if (window.name == "Velmora" && !window.overrideRedirect) {
                return window;
            }
        }
        return std::nullopt;
    }
    // Shown, made active by the window manager, and holding the keyboard.
    bool windowShownAndActive(pid_t pid) {
        const auto window = mainWindowOf(pid);
        return window && window->viewable && x().activeWindow() == window->id &&
               x().inputFocus() == window->id;
    }
    // Closed windows are unmapped or destroyed.
    bool windowClosed(pid_t pid) {
        const auto window = mainWindowOf(pid);
        return !window || !window->viewable;
    }
};

TEST_F(Process, ASecondStartBringsTheClosedWindowBackAndEnds) {
    storeOnboardedProfile();
    VelmoraProcess& first = launch();
    ASSERT_TRUE(waitFor([&] { return windowShownAndActive(first.pid()); })) << first.errors();
    // Closed as a user closes it: the window manager's Alt+F4.
    x().chord({"Alt_L", "F4"});
    ASSERT_TRUE(waitFor([&] { return windowClosed(first.pid()); })) << "the window closed";
    EXPECT_TRUE(waitFor([&] { return !window("Velmora"); })) << "nor does a screen reader find it";
    EXPECT_TRUE(first.running()) << "closing the window is not quitting";

    VelmoraProcess second(runtime());
    ASSERT_TRUE(second.ended(patience));
    EXPECT_EQ(second.errors(), "");
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return windowShownAndActive(first.pid()); }))
        << "the first instance's window is back in front";
    EXPECT_TRUE(waitFor([&] { return window("Velmora").has_value(); }));
    screenshot(QStringLiteral("reopened"));
}

TEST_F(Process, QuitInTheTrayPanelEndsWithStatusZeroAndLeavesNothingBehind) {
    storeOnboardedProfile();  // no sheet comes up to take the focus from the panel
    VelmoraProcess& velmora = launch();
    const Accessible panel = openPanel();
    EXPECT_EQ(panel.extents().size(), QSize(326, 440));

    // Something to store first, so that there are domain files to leave clean.
    click({{"check box", "Developer Setup"}});
    EXPECT_TRUE(waitFor([&] {
        return defaultsRead("com.apple.finder", "AppleShowAllFiles").has_value();
    })) << "Developer Setup applied";
    screenshot(QStringLiteral("before-quit"));
    click({{"push button", "Quit"}});
    ASSERT_TRUE(velmora.ended(patience)) << "Quit ends the program";
    EXPECT_EQ(velmora.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(velmora.process().exitCode(), 0);
    EXPECT_FALSE(fs::exists(runtime() / "velmora/instance.sock"));
    EXPECT_FALSE(fs::exists(runtime() / "velmora/instance.lock"));
    // Beside each domain file only the store's lock file may stay: it is kept on purpose, since
    // removing a lock file another process may be about to take is a race. A temporary file of
    // an unfinished write would be anything else.
    std::vector<std::string> strays;
    const fs::path preferences = homeRoot() / "Library/Preferences";
    for (const auto& entry : fs::directory_iterator(preferences)) {
        const std::string name = entry.path().filename().string();
        const bool domain = name.ends_with(".plist");
        const bool lock = name.ends_with(".plist.lock") &&
                          fs::exists(preferences / name.substr(0, name.size() - 5));
        if (!entry.is_regular_file() || !(domain || lock)) {
            strays.push_back(name);
        }
    }
    EXPECT_TRUE(strays.empty()) << ::testing::PrintToString(strays);
}

}  // namespace
}  // namespace velmora::e2e
