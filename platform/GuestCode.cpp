// Finding and pinning the connecting process through SO_PEERCRED, SO_PEERPIDFD and /proc.
#include "platform/GuestCode.hpp"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

namespace velmora {

namespace {

// Older C libraries lack the name; the value is the kernel's generic one (Linux 6.5 and later).
#ifndef SO_PEERPIDFD
constexpr int SO_PEERPIDFD = 77;
#endif

constexpr std::string_view kProcRoot = "/proc/";
constexpr std::size_t kMaxStatBytes = 4096;
// Fields of /proc/<pid>/stat counted after the command name: state is field 3, starttime 22.
constexpr int kFirstFieldAfterName = 3;
constexpr int kStartTimeField = 22;

using Result = Decoded<GuestCode>;

std::string procPath(pid_t pid, std::string_view leaf) {
    return std::string(kProcRoot) + std::to_string(pid) + "/" + std::string(leaf);
}

struct StartStamp {
    char state = '?';
    unsigned long long startTime = 0;
    friend bool operator==(const StartStamp&, const StartStamp&) = default;
};

std::optional<StartStamp> readStartStamp(pid_t pid) {
    UniqueFd fd(::open(procPath(pid, "stat").c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        return std::nullopt;
    }
    char buffer[kMaxStatBytes];
    ssize_t got;
    do {
        got = ::read(fd.get(), buffer, sizeof buffer);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        return std::nullopt;
    }
    std::string_view text(buffer, static_cast<std::size_t>(got));
    // The command name may hold spaces and parentheses; it ends at the last ')'.
    const auto nameEnd = text.rfind(')');
    if (nameEnd == std::string_view::npos) {
        return std::nullopt;
    }
    text.remove_prefix(nameEnd + 1);
    StartStamp stamp;
    int field = kFirstFieldAfterName - 1;
    while (!text.empty()) {
        while (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        }
        const auto end = std::min(text.find(' '), text.size());
        const auto word = text.substr(0, end);
        text.remove_prefix(end);
        if (word.empty()) {
            break;
        }
        ++field;
        if (field == kFirstFieldAfterName) {
            stamp.state = word.front();
        } else if (field == kStartTimeField) {
            const auto [ptr, ec] =
                std::from_chars(word.data(), word.data() + word.size(), stamp.startTime);
            if (ec != std::errc() || ptr != word.data() + word.size()) {
                return std::nullopt;
            }
            return stamp;
        }
    }
    return std::nullopt;
}

bool isGone(const StartStamp& stamp) {
    return stamp.state == 'Z' || stamp.state == 'X';
}

std::optional<std::string> readExecutablePath(pid_t pid) {
    char buffer[PATH_MAX];
    const ssize_t got = ::readlink(procPath(pid, "exe").c_str(), buffer, sizeof buffer);
    if (got <= 0 || static_cast<std::size_t>(got) >= sizeof buffer) {
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(got));
}

// Opens the executable and reads where it lives; the caller decides whether the process was
// still the same one afterwards.
Result openExecutable(pid_t pid) {
    GuestCode code;
    code.pid = pid;
    code.executable = UniqueFd(::open(procPath(pid, "exe").c_str(), O_RDONLY | O_CLOEXEC));
    if (!code.executable) {
        return Result::failure("cannot open the executable of pid " + std::to_string(pid) + ": " +
                               std::strerror(errno));
    }
    auto path = readExecutablePath(pid);
    if (!path) {
        return Result::failure("cannot read the executable path of pid " + std::to_string(pid));
    }
    code.executablePath = std::move(*path);
    return Result::success(std::move(code));
}

bool hasExited(int pidfd) {
    pollfd entry{pidfd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&entry, 1, 0);
    } while (ready < 0 && errno == EINTR);
    // A pidfd turns readable when its process has exited; any failure counts as exited.
    return ready != 0;
}

Result pinnedByProcessFd(pid_t pid, const UniqueFd& pidfd) {
    if (hasExited(pidfd.get())) {
        return Result::failure("the peer has exited");
    }
    auto code = openExecutable(pid);
    // While the pidfd's process is alive its pid cannot be reused, so the file opened above was
    // that process's executable.
    if (code && hasExited(pidfd.get())) {
        return Result::failure("the peer exited while it was being checked");
    }
    return code;
}

Result pinnedByStartTime(pid_t pid) {
    const auto before = readStartStamp(pid);
    if (!before || isGone(*before)) {
        return Result::failure("the peer has exited");
    }
    auto code = openExecutable(pid);
    const auto after = readStartStamp(pid);
    if (code && (!after || isGone(*after) || !(*after == *before))) {
        return Result::failure("the peer exited while it was being checked");
    }
    return code;
}

std::optional<ucred> peerCredentials(int socketFd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
        size != sizeof credentials) {
        return std::nullopt;
    }
    return credentials;
}

}  // namespace

pid_t peerProcessId(int socketFd) {
    const auto credentials = peerCredentials(socketFd);
    return credentials ? credentials->pid : 0;
}

std::optional<uid_t> peerUserId(int socketFd) {
    const auto credentials = peerCredentials(socketFd);
    return credentials ? std::optional<uid_t>(credentials->uid) : std::nullopt;
}

Result GuestCode::fromConnection(int socketFd, PinMethod method) {
    const pid_t pid = peerProcessId(socketFd);
    if (pid <= 0) {
        return Result::failure("the connection carries no peer process");
    }
    if (method == PinMethod::processFdWhereAvailable) {
        int raw = -1;
        socklen_t size = sizeof raw;
        if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERPIDFD, &raw, &size) == 0) {
            const UniqueFd pidfd(raw);
            if (size != sizeof raw || !pidfd) {
                return Result::failure("the connection gave no process handle");
            }
            return pinnedByProcessFd(pid, pidfd);
        }
        // Only a kernel without the option falls back; any other failure (such as a peer that
        // is already gone) refuses.
        if (errno != ENOPROTOOPT && errno != EINVAL) {
            return Result::failure(std::string("cannot pin the peer: ") + std::strerror(errno));
        }
    }
    return pinnedByStartTime(pid);
}

}  // namespace velmora
