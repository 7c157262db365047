// The installed program as a process on the desktop: a second start brings the first one's window
// back, and "Quit" in the tray's panel ends it with status 0, leaving neither its instance lock
// and socket nor a temporary file beside the domain files it wrote.
#include <signal.h>
#include <sys/prctl.h>

#include <QProcess>
#include <QTest>
#include <set>

#include "tests/e2e/Desktop.hpp"
#include "tests/e2e/EndToEnd.hpp"
#include "tests/e2e/RootAgent.hpp"
#include "ui/model/AppModel.hpp"

namespace velmora::e2e {
namespace {

// The velmora beside this program: the installed one when the run moved into its install.
QString program() {
    return QString::fromStdString(
        (fs::read_symlink("/proc/self/exe").parent_path() / "velmora").string());
}

// One started velmora on the run's desktop, over the case's simulated Mac; killed at the end.
class Velmora {
  public:
    explicit Velmora(const fs::path& runtime) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.string()));
        process.setProcessEnvironment(env);
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process.start(program(), {});
        process.waitForStarted();
    }
    ~Velmora() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    pid_t pid() const { return static_cast<pid_t>(process.processId()); }
    bool ended(std::chrono::milliseconds within) {
        return process.state() == QProcess::NotRunning ||
               process.waitForFinished(static_cast<int>(within.count()));
    }

    QProcess process;
};

class Process : public EndToEnd {
  protected:
    void SetUp() override {
        EndToEnd::SetUp();
        fs::create_directories(runtime());
        fs::permissions(runtime(), fs::perms::owner_all);
    }
    // Short: the instance socket's whole path must fit a socket address (108 bytes).
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
    // The program's popup on screen, not counting its icon in the tray.
    std::optional<XSession::Window> shownPanelOf(pid_t pid) {
        std::set<XSession::WindowId> icons;
        for (const XSession::Window& icon : x().trayIconsOf(pid, Desktop::current().trayPid())) {
            icons.insert(icon.id);
        }
        for (const XSession::Window& window : x().windowsOf(pid)) {
            if (window.overrideRedirect && window.viewable && !icons.contains(window.id)) {
                return window;
            }
        }
        return std::nullopt;
    }
};

TEST_F(Process, ASecondStartBringsTheClosedWindowBackAndEnds) {
    storeOnboardedProfile();
    Velmora first(runtime());
    ASSERT_TRUE(waitFor([&] { return windowShownAndActive(first.pid()); }))
        << first.process.readAllStandardError().toStdString();
    // Closed as a user closes it: the window manager's Alt+F4.
    x().chord({"Alt_L", "F4"});
    ASSERT_TRUE(waitFor([&] { return windowClosed(first.pid()); })) << "the window closed";
    EXPECT_EQ(first.process.state(), QProcess::Running) << "closing the window is not quitting";

    Velmora second(runtime());
    ASSERT_TRUE(second.ended(patience));
    EXPECT_EQ(second.process.readAllStandardError().toStdString(), "");
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return windowShownAndActive(first.pid()); }))
        << "the first instance's window is back in front";
    screenshot(QStringLiteral("reopened"));
}

// Where a widget of the panel sits, relative to the panel's corner: a panel of the same build
// over the same stored settings, laid out in this process without being shown.
QPoint offsetInPanel(AppDelegate& twin, const QString& name) {
    QWidget* widget = twin.popover->findChild<QWidget*>(name);
    if (widget == nullptr) {
        ADD_FAILURE() << "the panel has no " << name.toStdString();
        return {};
    }
    return widget->mapTo(twin.popover.get(), widget->rect().center());
}

TEST_F(Process, QuitInTheTrayPanelEndsWithStatusZeroAndLeavesNothingBehind) {
    storeOnboardedProfile();  // no sheet comes up to take the focus from the panel
    const Recipe recipe = model().recipes().front();
    const DefaultsToggle written =
        model().catalog().tweak(recipe.items.front().tweakID)->toggles.front();
    AppDelegate twin(TrayAvailability::absent);
    for (const LaunchStep step :
         {LaunchStep::registerFonts, LaunchStep::activationPolicy, LaunchStep::popover}) {
        twin.runLaunchStep(step);
    }
    twin.popover->setAttribute(Qt::WA_DontShowOnScreen);
    twin.popover->show();
    QCoreApplication::processEvents();
    const QPoint rowOffset =
        offsetInPanel(twin, QStringLiteral("menu.row.") + QString::fromStdString(recipe.id));
    const QPoint quitOffset = offsetInPanel(twin, QStringLiteral("menu.quit"));
    twin.popover->hide();

    Velmora velmora(runtime());
    std::vector<XSession::Window> icons;
    ASSERT_TRUE(waitFor([&] {
        icons = x().trayIconsOf(velmora.pid(), Desktop::current().trayPid());
        return icons.size() == 1 && icons.front().viewable;
    })) << velmora.process.readAllStandardError().toStdString();
    x().click(icons.front().geometry.center());
    std::optional<XSession::Window> panel;
    ASSERT_TRUE(waitFor([&] { return (panel = shownPanelOf(velmora.pid())).has_value(); }));
    EXPECT_EQ(panel->geometry.size(), QSize(326, 440));

    // Something to store first, so that there are domain files to leave clean.
    x().click(panel->geometry.topLeft() + rowOffset);
    EXPECT_TRUE(waitFor([&] {
        return defaultsRead(written.key.domain, written.key.key).has_value();
    })) << recipe.id
        << " applied";
    screenshot(QStringLiteral("before-quit"));
    x().click(panel->geometry.topLeft() + quitOffset);
    ASSERT_TRUE(velmora.ended(patience)) << "Quit ends the program";
    EXPECT_EQ(velmora.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(velmora.process.exitCode(), 0);

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
