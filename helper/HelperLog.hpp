// The helper's append-only log: one time-stamped line per event, never truncated, never
// interleaved with another thread's line.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

namespace velmora {

class HelperLog {
  public:
    explicit HelperLog(std::filesystem::path path) : path_(std::move(path)) {}

    // Appends "[<UTC time>] <message>\n". Failures are ignored: the log never affects a reply.
    void write(std::string_view message);

    // "[yyyy-MM-dd HH:mm:ss +0000] message\n", with control characters of the message shown as
    // \xNN so that text from a client or a tool can never start a line of its own.
    static std::string line(std::string_view message);

  private:
    std::filesystem::path path_;
    std::mutex mutex_;
};

}  // namespace velmora
