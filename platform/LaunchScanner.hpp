// Spots applications started since the last look by comparing snapshots of the process table.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Which processes a look reads the executable of.
enum class ProcessReading {
    // Every process, at every look: a long-running process that replaces its program is seen.
    everyProcess,
    // Only what is new: processes first seen at this look, and those first seen at the previous
    // one (a new process usually replaces its program just after it starts). A look costs one
    // listing of the process table and a read per new process, not one per process; and while
    // the system has started no process since the last look and none is that young, it costs one
    // small read instead of the listing.
    newProcesses,
};

// Nothing here announces application launches, so the process table stands in: a process counts
// as a launch when it is first seen running an executable inside an application bundle of the
// application folders (or an interpreter running a script there), unless its parent runs from the
// same bundle (an application's own worker processes are not launches). Not thread-safe; one owner
// polls it.
class LaunchScanner {
  public:
    static constexpr const char* defaultProcRoot = "/proc";

    // `folders` are made canonical once here, since the process table names resolved paths.
    explicit LaunchScanner(const std::vector<std::filesystem::path>& folders,
                           std::filesystem::path procRoot = defaultProcRoot,
                           ProcessReading reading = ProcessReading::everyProcess);

    // The bundle identifiers of the launches since the previous call, in process-id order. The
    // first call only takes the baseline: what already runs was not launched now. A process that
    // replaces its program (exec) is looked at again (with `newProcesses`, only while it is new).
    // Launches of bundles without an identifier are left out.
    std::vector<std::string> scan();

    // How many executables the last look read (what a look costs).
    std::size_t executablesRead() const { return executablesRead_; }

  private:
    struct Process {
        std::string executable;
        bool young = false;  // first seen at the last look
    };

    std::vector<std::filesystem::path> folders_;
    std::filesystem::path procRoot_;
    std::string procPrefix_;  // procRoot_ as text with its separator, to make paths cheaply
    ProcessReading reading_;
    std::map<pid_t, Process> processes_;  // by process id, as seen at the last look
    bool primed_ = false;
    bool anyYoung_ = false;    // a process of processes_ is young
    std::string lastStarted_;  // lastStartedId() when the table was last listed
    std::size_t executablesRead_ = 0;

    // Whether nothing can have changed that a look reads: see ProcessReading::newProcesses.
    bool nothingNew(const std::string& lastStarted) const;
    // The id the system gave the process (or thread) it started last, as the table's "loadavg"
    // ends with; empty when that cannot be read.
    std::string lastStartedId() const;
    std::vector<pid_t> processIds() const;
    std::string executableOf(pid_t pid) const;
    std::optional<std::filesystem::path> bundleOf(const std::filesystem::path& path) const;
    // The bundle the process runs from: its executable's, or for a script the interpreter runs,
    // the script's (the process table names the interpreter as the executable).
    std::optional<std::filesystem::path> bundleRunBy(pid_t pid,
                                                     const std::string& executable) const;
    std::vector<std::string> leadingArguments(pid_t pid) const;
    pid_t parentOf(pid_t pid) const;
};

}  // namespace velmora
