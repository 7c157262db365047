// Restarts a system process by terminating it with killall; the system relaunches what it
// supervises.
#pragma once

#include <string>

#include "kit/DefaultsBackend.hpp"

namespace velmora {

class KillallServiceController : public ServiceController {
  public:
    static const std::string& defaultKillallPath();

    explicit KillallServiceController(std::string killallPath = defaultKillallPath());

    // Blocks until killall has exited; a name that matches no running process is not an error.
    // Throws ProcessLaunchError when killall cannot be started, std::invalid_argument for a name
    // killall would read as an option.
    void restart(const std::string& processName) override;

  private:
    std::string killallPath_;
};

}  // namespace velmora
