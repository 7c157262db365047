// killall with exactly one argument, its output discarded; only a normal exit with status 0 or 1
// is a restart.
#include "platform/KillallServiceController.hpp"

#include <cstring>
#include <stdexcept>

#include "platform/ProcessRunner.hpp"

namespace velmora {

namespace {
// What killall answers when no process had the name: the usual case, and not a failure here.
constexpr int nothingMatched = 1;
}  // namespace

const std::string& KillallServiceController::defaultKillallPath() {
    static const std::string path = "/usr/bin/killall";
    return path;
}

KillallServiceController::KillallServiceController(std::string killallPath)
    : killallPath_(std::move(killallPath)) {}

void KillallServiceController::restart(const std::string& processName) {
    // killall takes a leading '-' as an option ("-9", "-u root"), and an empty name as nothing.
    if (processName.empty() || processName.front() == '-') {
        throw std::invalid_argument("“" + processName +
                                    "” is not a process name that can be restarted.");
    }
    const ProcessResult result = ProcessRunner::run(
        killallPath_, {processName},
        {.standardOutput = ProcessOutput::discard, .standardError = ProcessOutput::discard});
    const std::string what = "“" + processName + "” was not restarted: killall ";
    if (result.ending == ProcessResult::Ending::signalled) {
        throw ServiceRestartError(what + "was ended by signal " + std::to_string(result.signal) +
                                  " (" + ::strsignal(result.signal) + ")");
    }
    if (result.exitStatus != 0 && result.exitStatus != nothingMatched) {
        throw ServiceRestartError(what + "exited with status " + std::to_string(result.exitStatus));
    }
}

}  // namespace velmora
