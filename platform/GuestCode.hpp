// The code of the process at the other end of a Unix socket, looked up from the connection and
// pinned so that a recycled process identifier can never stand in for the process that connected.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "kit/Decoded.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora {

enum class PinMethod {
    processFdWhereAvailable,  // SO_PEERPIDFD, else the start-time check
    startTime,                // pid plus start time, read before and after opening the executable
};

// The peer's process identifier as the kernel recorded it at connect time; 0 when unknown.
pid_t peerProcessId(int socketFd);
// The peer's effective user as the kernel recorded it at connect time; none when unknown.
std::optional<uid_t> peerUserId(int socketFd);

class GuestCode {
  public:
    static Decoded<GuestCode> fromConnection(int socketFd,
                                             PinMethod method = PinMethod::processFdWhereAvailable);

    pid_t pid = 0;
    UniqueFd executable;         // the file the process runs, opened through /proc/<pid>/exe
    std::string executablePath;  // where the file was when the process ran it
};

}  // namespace velmora
