// A real desktop of the run's own: an X server (Xvfb), a session bus, a window manager (openbox)
// and a system tray (trayer), started and stopped by the test itself.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

#include "tests/e2e/ChildProcess.hpp"

namespace velmora::e2e {

class Desktop {
  public:
    static constexpr int screenWidth = 1440;
    static constexpr int screenHeight = 900;
    static constexpr int trayHeight = 24;

    // Starts the four in order, each once the one before is ready, and points this process's
    // DISPLAY and DBUS_SESSION_BUS_ADDRESS at them; `folder` receives their logs and home.
    // Throws std::runtime_error naming the part that did not come up.
    explicit Desktop(const std::filesystem::path& folder);
    // Stops them in reverse order: no server, bus or daemon outlives the run.
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    const std::string& display() const { return display_; }
    pid_t trayPid() const { return tray_.pid(); }
    // The desktop the run brought up (main makes one before the cases run).
    static Desktop& current();

  private:
    std::filesystem::path folder_;
    std::string display_;
    ChildProcess server_;
    ChildProcess bus_;
    ChildProcess windowManager_;
    ChildProcess tray_;
};

}  // namespace velmora::e2e
