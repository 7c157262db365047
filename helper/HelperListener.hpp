// The helper's socket: made in a folder only root can write, served one thread per connection,
// each connection carrying one request and one reply.
#pragma once

#include <filesystem>

#include "helper/HelperLog.hpp"
#include "helper/HelperService.hpp"
#include "helper/RootOwnedPath.hpp"
#include "kit/Decoded.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora {

class HelperListener {
  public:
    // Connections served at once, in all and from any one user, so that one user can neither
    // start threads without end nor lock the others out. Beyond either, a connection is closed.
    static constexpr int maxConnections = 256;
    static constexpr int maxConnectionsPerUser = 32;

    // Binds the socket at `relative` below the open system root, replacing a stale one. Fails
    // when a folder on the way is not root's alone or another helper already listens there: a
    // running helper holds a lock beside its socket, so a second one learns of it without
    // connecting (which the first would log as a refused client). Sets the process umask for a
    // moment: call it before serving.
    static Decoded<HelperListener> bind(const TrustedFolder& systemRoot,
                                        const std::filesystem::path& relative);

    // Accepts connections until the process is killed.
    [[noreturn]] void serve(HelperService& service, HelperLog& log);

    // Where the socket is, as it was reached.
    const std::filesystem::path& path() const { return path_; }

  private:
    HelperListener(UniqueFd lock, UniqueFd socket, std::filesystem::path path)
        : lock_(std::move(lock)), socket_(std::move(socket)), path_(std::move(path)) {}
    UniqueFd lock_;  // held while the process runs
    UniqueFd socket_;
    std::filesystem::path path_;
};

}  // namespace velmora
