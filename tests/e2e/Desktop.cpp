// Bringing the run's desktop up, part by part, waiting on each part's own sign of readiness.
#include "tests/e2e/Desktop.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/UniqueFd.hpp"
#include "tests/e2e/XSession.hpp"

namespace velmora::e2e {

namespace fs = std::filesystem;

namespace {

// The display the run is to use (":220" or "220"); unset, the server picks a free one.
constexpr const char* kDisplayVariable = "VELMORA_E2E_DISPLAY";

// Generous: a loaded two-core machine starts an X server in well under a second.
constexpr std::chrono::seconds kReadyTimeout{20};
constexpr std::chrono::milliseconds kReadyPoll{20};

struct Pipe {
    UniqueFd readEnd;
    UniqueFd writeEnd;
};

Pipe makePipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot make a pipe");
    }
    return {UniqueFd(ends[0]), UniqueFd(ends[1])};
}

std::string logOf(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void waitUntil(const std::function<bool()>& ready, ChildProcess& process, const fs::path& log,
               const std::string& what) {
    const auto deadline = std::chrono::steady_clock::now() + kReadyTimeout;
    while (!ready()) {
        if (!process.running()) {
            throw std::runtime_error(what + " ended at its start:\n" + logOf(log));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw std::runtime_error(what + " did not come up:\n" + logOf(log));
        }
        std::this_thread::sleep_for(kReadyPoll);
    }
}

}  // namespace

namespace {
Desktop* running = nullptr;
}  // namespace

Desktop& Desktop::current() {
    if (running == nullptr) {
        throw std::logic_error("no desktop runs");
    }
    return *running;
}

Desktop::Desktop(const fs::path& folder) : folder_(folder) {
    const fs::path home = folder_ / "desktop-home";
    fs::create_directories(home);
    // The desktop's programs keep their settings and caches in a home of their own.
    const std::map<std::string, std::string> ownHome{{"HOME", home.string()},
                                                     {"XDG_CONFIG_HOME", ""},
                                                     {"XDG_CACHE_HOME", ""},
                                                     {"WAYLAND_DISPLAY", ""}};

    // The server writes its display number once it accepts connections. It picks a free one,
    // unless the run is given its own (a machine whose display numbers are shared out among
    // several runs).
    Pipe ready = makePipe();
    ChildProcess::Options serverOptions{ownHome, folder_ / "xvfb.log", ready.writeEnd.get()};
    std::vector<std::string> serverArguments{
        "-displayfd",
        std::to_string(ready.writeEnd.get()),
        "-screen",
        "0",
        std::to_string(screenWidth) + "x" + std::to_string(screenHeight) + "x24",
        "-nolisten",
        "tcp",
        "-dpi",
        "96"};
    if (const char* given = std::getenv(kDisplayVariable); given != nullptr && *given != '\0') {
        serverArguments.insert(serverArguments.begin(),
                               *given == ':' ? std::string(given) : ":" + std::string(given));
    }
    server_ = ChildProcess("/usr/bin/Xvfb", serverArguments, serverOptions);
    ready.writeEnd.reset();
    const auto number = readLine(ready.readEnd.get(), kReadyTimeout);
    if (!number) {
        throw std::runtime_error("Xvfb did not come up:\n" + logOf(folder_ / "xvfb.log"));
    }
    display_ = ":" + *number;
    ::setenv("DISPLAY", display_.c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");

    // A bus of the run's own, so that nothing autolaunches one that would outlive it.
    Pipe address = makePipe();
    ChildProcess::Options busOptions{ownHome, folder_ / "dbus.log", address.writeEnd.get()};
    bus_ = ChildProcess("/usr/bin/dbus-daemon",
                        {"--session", "--nofork", "--nopidfile",
                         "--print-address=" + std::to_string(address.writeEnd.get())},
                        busOptions);
    address.writeEnd.reset();
    const auto busAddress = readLine(address.readEnd.get(), kReadyTimeout);
    if (!busAddress) {
        throw std::runtime_error("dbus-daemon did not come up:\n" + logOf(folder_ / "dbus.log"));
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", busAddress->c_str(), 1);

    // The server said it accepts connections: a refusal now is the server's, told by its log.
    std::optional<XSession> connected;
    try {
        connected.emplace(display_);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(std::string(error.what()) +
                                 (server_.running() ? "" : " (Xvfb has ended)") + ":\n" +
                                 logOf(folder_ / "xvfb.log"));
    }
    XSession& x = *connected;
    windowManager_ =
        ChildProcess("/usr/bin/openbox", {"--sm-disable"}, {ownHome, folder_ / "openbox.log"});
    waitUntil([&] { return x.windowManagerRunning(); }, windowManager_, folder_ / "openbox.log",
              "openbox");
    // A tray along the top right corner, as a panel's would be.
    tray_ = ChildProcess("/usr/bin/trayer",
                         {"--edge", "top", "--align", "right", "--widthtype", "request", "--height",
                          std::to_string(trayHeight), "--SetDockType", "true", "--transparent",
                          "false", "--expand", "true"},
                         {ownHome, folder_ / "trayer.log"});
    waitUntil([&] { return x.trayRunning(); }, tray_, folder_ / "trayer.log", "trayer");
    running = this;
}

Desktop::~Desktop() {
    running = nullptr;
    tray_.stop();
    windowManager_.stop();
    server_.stop();
    bus_.stop();
}

}  // namespace velmora::e2e
