// The helper's socket: made in a folder only root can write, served one thread per connection,
// each connection carrying one request and one reply.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>

#include "helper/HelperLog.hpp"
#include "helper/HelperService.hpp"
#include "kit/Decoded.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora {

class HelperListener {
  public:
    // Binds the socket, replacing a stale one; fails when the folder is not safe or another helper
    // is already listening there.
    static Decoded<HelperListener> bind(const std::filesystem::path& socketPath);

    // Accepts connections until the process is killed.
    [[noreturn]] void serve(HelperService& service, HelperLog& log);

  private:
    explicit HelperListener(UniqueFd socket) : socket_(std::move(socket)) {}
    UniqueFd socket_;
};

}  // namespace velmora
