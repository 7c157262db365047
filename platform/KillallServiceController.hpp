// Restarts a system process by terminating it with killall; the system relaunches what it
// supervises.
#pragma once

#include <stdexcept>
#include <string>

#include "kit/DefaultsBackend.hpp"

namespace velmora {

// killall ran but the process was not restarted: it was killed, or it failed for a reason other
// than finding nothing to terminate.
class ServiceRestartError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class KillallServiceController : public ServiceController {
  public:
    static const std::string& defaultKillallPath();

    explicit KillallServiceController(std::string killallPath = defaultKillallPath());

    // Blocks until killall has exited; a name that matches no running process (status 1) is not
    // an error. Throws ProcessLaunchError when killall cannot be started, ServiceRestartError when
    // it ends by a signal or with another status, std::invalid_argument for a name killall would
    // read as an option.
    void restart(const std::string& processName) override;

  private:
    std::string killallPath_;
};

}  // namespace velmora
