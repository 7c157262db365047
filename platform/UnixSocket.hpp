// Unix stream socket steps shared by the helper, its client and the single-instance check.
#pragma once

#include <sys/socket.h>
#include <sys/types.h>
#include <sys/un.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>

#include "kit/Decoded.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora {

using SocketClock = std::chrono::steady_clock;

// How one step on a socket ended; `error` is the errno of a failure.
struct SocketStep {
    enum class Kind { done, timedOut, failed };
    Kind kind = Kind::done;
    int error = 0;

    static SocketStep done() { return {Kind::done, 0}; }
    static SocketStep timedOut() { return {Kind::timedOut, 0}; }
    static SocketStep failed(int error) { return {Kind::failed, error}; }
    bool ok() const { return kind == Kind::done; }
};

enum class SocketBlocking { blocking, nonBlocking };

// The address of a socket file; none when the path does not fit.
std::optional<sockaddr_un> unixSocketAddress(const std::filesystem::path& path);

// A new close-on-exec stream socket.
UniqueFd openUnixSocket(SocketBlocking blocking);

// The address of the entry `name` in an open folder, reached through the descriptor so that no
// link or renamed folder on the way can redirect it; none when it does not fit.
std::optional<sockaddr_un> unixSocketAddressIn(int folderFd, std::string_view name);

// Binds a socket at `path` (which must not exist yet), gives the file `mode`, then listens. The
// mode is set on the path after binding: for a folder nobody but the caller can write.
Decoded<UniqueFd> listenOnUnixSocket(const std::filesystem::path& path, mode_t mode, int backlog,
                                     SocketBlocking blocking);

// Binds a socket as the entry `name` of an open folder and listens. The file is made with `mode`
// through the umask, so no path is ever changed after the fact; the umask is the process's, so
// call this while no other thread makes files.
Decoded<UniqueFd> listenOnUnixSocketIn(int folderFd, std::string_view name, mode_t mode,
                                       int backlog, SocketBlocking blocking);

// Waits for `events` until the deadline; a hang-up counts as ready so the following read or
// write sees the actual error.
SocketStep waitForSocket(int fd, short events, SocketClock::time_point deadline);

// Connects a non-blocking socket. A listener whose queue is full is busy, not absent, and is
// tried again until the deadline; a refused or missing socket fails at once.
SocketStep connectUnixSocket(int fd, const std::filesystem::path& path,
                             SocketClock::time_point deadline);

// Sends every byte before the deadline. A peer that hung up gives an error, never SIGPIPE.
SocketStep sendAllBefore(int fd, std::string_view bytes, SocketClock::time_point deadline);

}  // namespace velmora
