// A program the end-to-end run starts itself (X server, bus, window manager, tray, helper): it
// dies with the test process however that ends, and is stopped and reaped when its owner goes.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::e2e {

class ChildProcess {
  public:
    struct Options {
        // Added to (or, when empty, removed from) this process's environment.
        std::map<std::string, std::string> environment;
        // Standard output and error go here (appended), else to /dev/null.
        std::optional<std::filesystem::path> log;
        // A descriptor of this process the child keeps under the same number (-1: none).
        int inheritedFd = -1;
    };

    ChildProcess() = default;
    // Starts `program` with `arguments`; throws std::runtime_error when it cannot be started.
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const Options& options);
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Stops the child as `stop` does.
    ~ChildProcess();

    pid_t pid() const { return pid_; }
    bool running();
    // Its exit status once it has ended by itself (-1 for a signal).
    std::optional<int> exitStatus() const { return exitStatus_; }
    // SIGTERM, then SIGKILL after `grace`; reaps it. Does nothing once it has ended.
    void stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));

  private:
    pid_t pid_ = 0;
    std::optional<int> exitStatus_;
};

// Reads one line from `fd` (without its line feed), waiting at most `timeout`; none when the
// writer closed first or the time ran out.
std::optional<std::string> readLine(int fd, std::chrono::milliseconds timeout);

}  // namespace velmora::e2e
