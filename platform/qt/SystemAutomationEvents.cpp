// The automation monitor's events from this machine: Qt's screen list, logind's sleep signal on
// the system bus, and application launches spotted in the process table.
#include "platform/qt/SystemAutomationEvents.hpp"

#include <QGuiApplication>
#include <QScreen>

#include "platform/SystemPaths.hpp"

namespace velmora {

namespace {

constexpr const char* logindService = "org.freedesktop.login1";
constexpr const char* logindPath = "/org/freedesktop/login1";
constexpr const char* logindManager = "org.freedesktop.login1.Manager";
constexpr const char* sleepSignal = "PrepareForSleep";

QGuiApplication* guiApplication() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
}

}  // namespace

SystemAutomationEvents::SystemAutomationEvents(QObject* parent)
    : SystemAutomationEvents(QDBusConnection::systemBus(), SystemPaths::applicationFolders(),
                             parent) {}

SystemAutomationEvents::SystemAutomationEvents(
    const QDBusConnection& bus, const std::vector<std::filesystem::path>& applicationFolders,
    QObject* parent)
    : AutomationEvents(parent), applicationFolders_(applicationFolders) {
    watchScreens();
    watchSleep(bus);
    launchTimer_.setInterval(launchPollInterval);
    connect(&launchTimer_, &QTimer::timeout, this, &SystemAutomationEvents::pollLaunches);
}

SystemAutomationEvents::~SystemAutomationEvents() = default;

int SystemAutomationEvents::screenCount() const {
    return guiApplication() != nullptr ? static_cast<int>(QGuiApplication::screens().size()) : 0;
}

void SystemAutomationEvents::watchLaunches(LaunchWatching watching) {
    if (watching == LaunchWatching::off) {
        launchTimer_.stop();
        launches_.reset();
        return;
    }
    if (launches_) {
        return;
    }
    // Only new processes are read at each look; the first look only records what already runs.
    launches_.emplace(applicationFolders_, LaunchScanner::defaultProcRoot,
                      ProcessReading::newProcesses);
    launches_->scan();
    launchTimer_.start();
}

void SystemAutomationEvents::watchScreens() {
    QGuiApplication* app = guiApplication();
    if (app == nullptr) {
        return;
    }
    for (QScreen* screen : QGuiApplication::screens()) {
        watchScreen(screen);
    }
    connect(app, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        emit screensChanged();
    });
    connect(app, &QGuiApplication::screenRemoved, this, [this] { emit screensChanged(); });
}

void SystemAutomationEvents::watchScreen(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, &AutomationEvents::screensChanged,
            Qt::UniqueConnection);
}

void SystemAutomationEvents::watchSleep(QDBusConnection bus) {
    if (!bus.isConnected()) {
        return;
    }
    bus.connect(logindService, logindPath, logindManager, sleepSignal, this,
                SLOT(prepareForSleep(bool)));
}

void SystemAutomationEvents::prepareForSleep(bool goingToSleep) {
    if (!goingToSleep) {
        emit woke();
    }
}

void SystemAutomationEvents::pollLaunches() {
    if (!launches_) {
        return;
    }
    for (const std::string& id : launches_->scan()) {
        emit applicationLaunched(QString::fromStdString(id));
    }
}

}  // namespace velmora
