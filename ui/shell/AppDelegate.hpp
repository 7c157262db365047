// Builds the whole interface at launch (status item, popover, main window) and answers reopen.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "ui/look/AppFonts.hpp"
#include "ui/shell/AppWindow.hpp"
#include "ui/shell/Popover.hpp"

namespace velmora {

// The launch steps, in the order the delegate runs them.
enum class LaunchStep {
    registerFonts,
    startAutomationMonitor,
    activationPolicy,
    statusItem,
    popover,
    mainWindow,
    openWindowHook,
    refreshModel,
    showWindow,
    activate,
};

// Whether the desktop offers a tray for the status item; tests choose instead of detecting.
enum class TrayAvailability { detect, present, absent };

class AppDelegate : public QObject {
    Q_OBJECT

  public:
    static constexpr int statusIconSize = 18;
    static constexpr const char* statusToolTip = "Velmora";

    static const std::array<LaunchStep, 10>& launchSequence();

    explicit AppDelegate(TrayAvailability tray = TrayAvailability::detect);
    ~AppDelegate() override;

    // Runs every launch step once, in order. A font registration the program started as soon as
    // it had its application object serves as the first step instead of a new one.
    void applicationDidFinishLaunching(std::unique_ptr<AppFonts::Pending> fonts = nullptr);
    void runLaunchStep(LaunchStep step);

    // The status item's action: closes the popover when it is shown, otherwise refreshes the
    // model and shows it below the item.
    void togglePopover();
    // A second start of the application (the reopen request); always answers true.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    // A second start of the program, standing in for a click on the Dock icon: like the Dock, it
    // first activates the application (bringing a visible window forward), then asks the reopen
    // handler.
    void reopenRequested();
    // Whether any of our windows is on screen and not minimised.
    bool hasVisibleWindows() const;

    // None when the desktop has no tray: the main window alone then serves.
    std::unique_ptr<QSystemTrayIcon> statusItem;
    std::unique_ptr<Popover> popover;
    std::unique_ptr<AppWindow> window;

    // The longest the launch's readings wait for the window's first paint, should it never come
    // (a window manager that keeps it off screen).
    static constexpr int firstFrameWaitMs = 500;

  private:
    void bringWindowForward();
    // The status item with its icon, tool tip and action, where the desktop has a tray.
    void makeStatusItem();
    // Runs, once, what the launch left until the window was on screen.
    void runAfterFirstFrame();

    TrayAvailability tray_;
    // What the first frame does not need, in launch order: the launch's tool runs (the model's
    // refresh, the monitor's battery baselines), where the window shows the state the model read
    // at its creation, a few milliseconds earlier, and the refresh corrects it a frame later; the
    // window's icon; the status item.
    std::vector<std::function<void()>> afterFirstFrame_;
};

}  // namespace velmora
