// Appending log lines with O_APPEND, one write per line under a lock, through checked folders.
#include "helper/HelperLog.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/UniqueFd.hpp"

namespace velmora {

namespace {

namespace fs = std::filesystem;

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

// Opened per line, as the file may be moved aside by whoever reads it; the folders are walked
// again each time for the same reason.
Decoded<UniqueFd> HelperLog::open() const {
    using Result = Decoded<UniqueFd>;
    const auto folder =
        RootOwnedPath::openFolder(root_, relative_.parent_path(), MissingFolders::create);
    if (!folder) {
        return Result::failure(folder.error());
    }
    const fs::path shown = folder.value().path / relative_.filename();
    // Non-blocking, so that a FIFO in the file's place cannot stall us before it is refused.
    UniqueFd fd(::openat(
        folder.value().fd.get(), relative_.filename().c_str(),
        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, kLogMode));
    if (!fd) {
        return Result::failure(shown.string() + ": " + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return Result::failure(shown.string() + ": " + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return Result::failure(shown.string() + " is not a regular file");
    }
    // A second name would be a file somewhere else that we would be appending to.
    if (info.st_nlink != 1) {
        return Result::failure(shown.string() + " has more than one name (a hard link)");
    }
    if (auto why = RootOwnedPath::untrusted(info, shown)) {
        return Result::failure(*why);
    }
    return Result::success(std::move(fd));
}

void HelperLog::write(std::string_view message) {
    const std::string text = line(message);
    const std::lock_guard lock(mutex_);
    auto fd = open();
    std::string error = fd ? std::string() : fd.error();
    std::string_view rest = text;
    while (fd && !rest.empty()) {
        const ssize_t put = ::write(fd.value().get(), rest.data(), rest.size());
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            error = (root_.path / relative_).string() + ": " +
                    (put < 0 ? std::strerror(errno) : "nothing written");
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(put));
    }
    if (error.empty()) {
        failing_ = false;
    } else if (!failing_) {
        failing_ = true;
        std::fprintf(stderr, "velmora-helper: cannot write the log: %s; serving on without it\n",
                     error.c_str());
    }
}

}  // namespace velmora
