// The helper's append-only log: one time-stamped line per event, never truncated, never
// interleaved with another thread's line, never written through a link or another user's folder.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

#include "helper/RootOwnedPath.hpp"
#include "kit/Decoded.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora {

class HelperLog {
  public:
    // `relative` is the log's place below the open system root, which must outlive the log.
    HelperLog(const TrustedFolder& systemRoot, std::filesystem::path relative)
        : root_(systemRoot), relative_(std::move(relative)) {}

    // Appends "[<UTC time>] <message>\n". A line that cannot be written is lost, never a reply;
    // the first failure after a success is said once on standard error.
    void write(std::string_view message);

    // "[yyyy-MM-dd HH:mm:ss +0000] message\n", with control characters of the message shown as
    // \xNN so that text from a client or a tool can never start a line of its own.
    static std::string line(std::string_view message);

  private:
    Decoded<UniqueFd> open() const;

    const TrustedFolder& root_;
    std::filesystem::path relative_;
    std::mutex mutex_;
    bool failing_ = false;
};

}  // namespace velmora
