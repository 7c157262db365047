// The installed velmora started as its own process on the run's desktop, over the case's
// simulated Mac (this process's environment), with Qt's accessibility bridge on as a screen
// reader's desktop turns it on; killed at the end of the case, and with the test process.
#pragma once

#include <sys/types.h>

#include <QProcess>
#include <chrono>
#include <filesystem>
#include <string>

namespace velmora::e2e {

class VelmoraProcess {
  public:
    // `runtime` is the session's private runtime folder, where the instance lock and socket go.
    explicit VelmoraProcess(const std::filesystem::path& runtime);
    ~VelmoraProcess();
    VelmoraProcess(const VelmoraProcess&) = delete;
    VelmoraProcess& operator=(const VelmoraProcess&) = delete;

    // The velmora beside this program: the installed one when the run moved into its install.
    static std::filesystem::path program();

    pid_t pid() const { return static_cast<pid_t>(process_.processId()); }
    bool running() const { return process_.state() != QProcess::NotRunning; }
    // True once it has ended, waiting at most `within`.
    bool ended(std::chrono::milliseconds within);
    // Its standard error so far, for a failure's message (and the cases that read it).
    std::string errors();
    QProcess& process() { return process_; }

  private:
    QProcess process_;
    std::string errors_;
};

}  // namespace velmora::e2e
