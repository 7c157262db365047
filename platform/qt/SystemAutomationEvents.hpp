// The automation monitor's events from this machine: Qt's screen list, logind's sleep signal on
// the system bus, and application launches spotted in the process table.
#pragma once

#include <QDBusConnection>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/LaunchScanner.hpp"
#include "platform/qt/AutomationEvents.hpp"

class QScreen;

namespace velmora {

class SystemAutomationEvents final : public AutomationEvents {
    Q_OBJECT

  public:
    // Often enough that a launch is noticed while the user still looks at the application.
    static constexpr std::chrono::milliseconds launchPollInterval{1000};

    // The system bus and the application folders of `SystemPaths`.
    explicit SystemAutomationEvents(QObject* parent = nullptr);
    // Without a connected `bus` there are no wake events; without a QGuiApplication no screens.
    SystemAutomationEvents(const QDBusConnection& bus,
                           const std::vector<std::filesystem::path>& applicationFolders,
                           QObject* parent = nullptr);
    ~SystemAutomationEvents() override;

    int screenCount() const override;
    void watchLaunches(LaunchWatching watching) override;
    bool watchingLaunches() const { return launches_.has_value(); }

  private slots:
    // logind's PrepareForSleep: true before sleeping, false once resumed.
    void prepareForSleep(bool goingToSleep);

  private:
    void watchScreens();
    void watchScreen(QScreen* screen);
    void watchSleep(QDBusConnection bus);
    void pollLaunches();

    std::vector<std::filesystem::path> applicationFolders_;
    std::optional<LaunchScanner> launches_;  // while launches are watched
    QTimer launchTimer_;
};

}  // namespace velmora
