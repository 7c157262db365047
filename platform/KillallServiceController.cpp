// killall with exactly one argument, its output discarded and its exit status ignored.
#include "platform/KillallServiceController.hpp"

#include <stdexcept>

#include "platform/ProcessRunner.hpp"

namespace velmora {

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
    // Nothing matching is the usual reason for a non-zero status and not a failure here.
    ProcessRunner::run(
        killallPath_, {processName},
        {.standardOutput = ProcessOutput::discard, .standardError = ProcessOutput::discard});
}

}  // namespace velmora
