// The launch sequence, the popover's toggle, the open-window hook and the reopen handler.
#include "ui/shell/AppDelegate.hpp"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <cstdio>
#include <utility>

#include "ui/look/AppFonts.hpp"
#include "ui/look/AppStyle.hpp"
#include "ui/look/MemoryTidy.hpp"
#include "ui/look/MenuBarIcon.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/popover/MenuBarView.hpp"
#include "ui/window/MainWindow.hpp"

namespace velmora {

namespace {

bool trayPresent(TrayAvailability tray) {
    switch (tray) {
        case TrayAvailability::present:
            return true;
        case TrayAvailability::absent:
            return false;
        case TrayAvailability::detect:
            break;
    }
    return QSystemTrayIcon::isSystemTrayAvailable();
}

}  // namespace

const std::array<LaunchStep, 10>& AppDelegate::launchSequence() {
    static const std::array<LaunchStep, 10> steps{
        LaunchStep::registerFonts,    LaunchStep::startAutomationMonitor,
        LaunchStep::activationPolicy, LaunchStep::statusItem,
        LaunchStep::popover,          LaunchStep::mainWindow,
        LaunchStep::openWindowHook,   LaunchStep::refreshModel,
        LaunchStep::showWindow,       LaunchStep::activate,
    };
    return steps;
}

AppDelegate::AppDelegate(TrayAvailability tray)
    : popover(std::make_unique<Popover>()), tray_(tray) {}

// The hook installed at launch holds the delegate weakly and does nothing once it is gone.
AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching(std::unique_ptr<AppFonts::Pending> fonts) {
    // Registering the fonts is mostly the font configuration's own set-up, and making the model
    // mostly waits for the tool runs of its first refresh; neither needs the other, so the fonts
    // are registered on a worker meanwhile. Every later step measures or draws text and waits for
    // them.
    for (const LaunchStep step : launchSequence()) {
        if (step == LaunchStep::registerFonts) {
            if (!fonts) {
                fonts = AppFonts::registerInBackground();
            }
            continue;
        }
        if (fonts && step != LaunchStep::startAutomationMonitor) {
            std::fputs(fonts->finish().c_str(), stderr);
            fonts.reset();
        }
        runLaunchStep(step);
    }
}

void AppDelegate::runLaunchStep(LaunchStep step) {
    switch (step) {
        case LaunchStep::registerFonts:
            AppFonts::registerFonts();
            return;
        case LaunchStep::startAutomationMonitor:
            AppModel::shared().startAutomationMonitor(BatteryBaseline::takenLater);
            afterFirstFrame_.emplace_back([] { AppModel::shared().takeBatteryBaseline(); });
            return;
        case LaunchStep::activationPolicy:
            // A regular application with the one light look, whatever the desktop's scheme.
            AppStyle::install();
            // The icon goes to the window manager with a picture at each tray size, which the
            // first frame does not show.
            afterFirstFrame_.emplace_back(
                [] { QApplication::setWindowIcon(MenuBarIcon::shared()); });
            return;
        case LaunchStep::statusItem:
            // The tray's icon is not part of the window's first frame; it follows right after.
            afterFirstFrame_.emplace_back([this] { makeStatusItem(); });
            return;
        case LaunchStep::popover:
            popover->configure([] { return std::make_unique<MenuBarView>(AppModel::shared()); });
            return;
        case LaunchStep::mainWindow:
            window = std::make_unique<AppWindow>(std::make_unique<MainWindow>(AppModel::shared()));
            window->centreOnScreen();
            // The first frame makes the font engines, which read their files, and draws the
            // pictures ahead on workers: what they leave unused is given back once it is done.
            afterFirstFrame_.emplace_back([] { MemoryTidy::afterChange(); });
            return;
        case LaunchStep::openWindowHook:
            AppModel::shared().requestOpenWindow = [delegate = QPointer<AppDelegate>(this)] {
                if (delegate) {
                    AppModel::shared().refresh();
                    delegate->bringWindowForward();
                }
            };
            return;
        case LaunchStep::refreshModel:
            afterFirstFrame_.emplace_back([] { AppModel::shared().refresh(); });
            return;
        case LaunchStep::showWindow:
            connect(window.get(), &AppWindow::firstPainted, this, &AppDelegate::runAfterFirstFrame,
                    Qt::SingleShotConnection);
            QTimer::singleShot(firstFrameWaitMs, this, &AppDelegate::runAfterFirstFrame);
            window->show();
            window->raise();
            return;
        case LaunchStep::activate:
            window->activateWindow();
            return;
    }
}

void AppDelegate::makeStatusItem() {
    if (statusItem || !trayPresent(tray_)) {
        return;
    }
    statusItem = std::make_unique<QSystemTrayIcon>(MenuBarIcon::shared());
    statusItem->setToolTip(QString::fromLatin1(statusToolTip));
    connect(statusItem.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    togglePopover();
                }
            });
    statusItem->show();
}

void AppDelegate::runAfterFirstFrame() {
    std::vector<std::function<void()>> work = std::exchange(afterFirstFrame_, {});
    for (const std::function<void()>& step : work) {
        step();
    }
}

void AppDelegate::togglePopover() {
    if (!statusItem) {
        return;
    }
    if (popover->isShown()) {
        popover->performClose();
        return;
    }
    if (popover->closedJustNow()) {
        return;
    }
    AppModel::shared().refresh();
    popover->showBelow(statusItem->geometry());
}

bool AppDelegate::applicationShouldHandleReopen(bool visibleWindows) {
    if (visibleWindows) {
        return true;
    }
    AppModel::shared().refresh();
    bringWindowForward();
    return true;
}

void AppDelegate::reopenRequested() {
    const bool visibleWindows = hasVisibleWindows();
    if (window && window->isShownToUser()) {
        // Qt closes a popup when another window gains the focus, but an already focused window
        // brought forward gains nothing: the popover is transient and goes all the same.
        if (popover->isShown()) {
            popover->performClose();
        }
        window->raise();
        window->activateWindow();
    }
    applicationShouldHandleReopen(visibleWindows);
}

bool AppDelegate::hasVisibleWindows() const {
    return (window && window->isShownToUser()) || popover->isShown();
}

void AppDelegate::bringWindowForward() {
    // The popover is transient: the window coming forward is an interaction outside it.
    if (popover->isShown()) {
        popover->performClose();
    }
    if (window) {
        window->bringForward();
    }
}

}  // namespace velmora
