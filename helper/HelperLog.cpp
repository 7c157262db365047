// Appending log lines with O_APPEND, one write per line under a lock.
#include "helper/HelperLog.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/UniqueFd.hpp"

namespace velmora {

namespace {

constexpr mode_t kLogMode = 0644;
constexpr std::size_t kStampBytes = 32;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

std::string utcStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char text[kStampBytes];
    const std::size_t size = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &utc);
    return std::string(text, size);
}

}  // namespace

std::string HelperLog::line(std::string_view message) {
    // Appended piece by piece: GCC 12 at -O3 misreads `"[" + utcStamp()` as an overlapping memcpy
    // (-Wrestrict), which breaks the warnings-as-errors Release build.
    std::string text = "[";
    text += utcStamp();
    text += "] ";
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstPrintable || byte == kDelete) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        } else {
            text += c;
        }
    }
    text += '\n';
    return text;
}

void HelperLog::write(std::string_view message) {
    const std::string text = line(message);
    const std::lock_guard lock(mutex_);
    // Opened per line, as the file may be moved aside by whoever reads it; never through a link.
    const UniqueFd fd(::open(path_.c_str(),
                             O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                             kLogMode));
    if (!fd) {
        return;
    }
    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t put = ::write(fd.get(), rest.data(), rest.size());
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return;
        }
        rest.remove_prefix(static_cast<std::size_t>(put));
    }
}

}  // namespace velmora
