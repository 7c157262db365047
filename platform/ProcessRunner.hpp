// Runs a child program to completion and hands back how it ended and what it printed.
#pragma once

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {

// The program could not be started at all (missing, not executable, not an absolute path, …).
class ProcessLaunchError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class ProcessOutput {
    capture,  // collected into the result
    discard   // sent to /dev/null
};

struct ProcessOptions {
    ProcessOutput standardOutput = ProcessOutput::capture;
    ProcessOutput standardError = ProcessOutput::capture;
    // Replaces the child's whole environment ("NAME=value" entries); none: inherit ours.
    std::optional<std::vector<std::string>> environment = std::nullopt;
    // The child is killed (SIGKILL) once this much time has passed; none: wait as long as it runs.
    std::optional<std::chrono::milliseconds> timeout = std::nullopt;
};

struct ProcessResult {
    enum class Ending { exited, signalled };

    Ending ending = Ending::exited;
    int exitStatus = 0;  // when exited
    int signal = 0;      // when signalled
    bool timedOut = false;
    std::string standardOutput;
    std::string standardError;

    bool succeeded() const { return ending == Ending::exited && exitStatus == 0; }
};

class ProcessRunner {
  public:
    // Starts `program` (an absolute path; no shell, no PATH search) with `arguments` after the
    // program name, standard input from /dev/null and no descriptor of ours beyond 0–2, then waits
    // for it to end. Throws ProcessLaunchError when it cannot be started.
    static ProcessResult run(const std::string& program, const std::vector<std::string>& arguments,
                             const ProcessOptions& options = {});
};

}  // namespace velmora
