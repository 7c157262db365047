// Spots applications started since the last look by comparing snapshots of the process table.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velmora {

// Nothing here announces application launches, so the process table stands in: a process counts
// as a launch when it is first seen running an executable inside an application bundle of the
// application folders, unless its parent runs from the same bundle (an application's own worker
// processes are not launches). Not thread-safe; one owner polls it.
class LaunchScanner {
  public:
    static constexpr const char* defaultProcRoot = "/proc";

    // `folders` are made canonical once here, since the process table names resolved paths.
    explicit LaunchScanner(const std::vector<std::filesystem::path>& folders,
                           std::filesystem::path procRoot = defaultProcRoot);

    // The bundle identifiers of the launches since the previous call, in process-id order. The
    // first call only takes the baseline: what already runs was not launched now. A process that
    // replaces its program (exec) is looked at again. Launches of bundles without an identifier
    // are left out.
    std::vector<std::string> scan();

  private:
    std::vector<std::filesystem::path> folders_;
    std::filesystem::path procRoot_;
    std::map<pid_t, std::string> executables_;  // by process id, as seen at the last look
    bool primed_ = false;

    std::string executableOf(pid_t pid) const;
    pid_t parentOf(pid_t pid) const;
};

}  // namespace velmora
