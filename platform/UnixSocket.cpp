// Unix stream socket steps: addresses, listening, and connecting and sending under a deadline.
#include "platform/UnixSocket.hpp"

#include <poll.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

namespace velmora {

namespace {

constexpr std::chrono::milliseconds kBusyRetryInterval{10};

std::string errnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Whole milliseconds left for poll(), rounded up so we never wake just before the end.
int pollTimeout(SocketClock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SocketClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// An open folder's own entry in /proc: the kernel resolves it to the folder itself.
constexpr const char* kProcessFds = "/proc/self/fd/";
constexpr mode_t kPermissionBits = 0777;

Decoded<UniqueFd> boundSocket(const sockaddr_un& address, const std::string& shown,
                              SocketBlocking blocking) {
    UniqueFd socket = openUnixSocket(blocking);
    if (!socket) {
        return Decoded<UniqueFd>::failure(errnoText("socket"));
    }
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return Decoded<UniqueFd>::failure(errnoText("bind " + shown));
    }
    return Decoded<UniqueFd>::success(std::move(socket));
}

Decoded<UniqueFd> listening(UniqueFd socket, const std::string& shown, int backlog) {
    if (::listen(socket.get(), backlog) != 0) {
        return Decoded<UniqueFd>::failure(errnoText("listen " + shown));
    }
    return Decoded<UniqueFd>::success(std::move(socket));
}

}  // namespace

std::optional<sockaddr_un> unixSocketAddress(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.size() >= sizeof address.sun_path) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return address;
}

UniqueFd openUnixSocket(SocketBlocking blocking) {
    const int flags = blocking == SocketBlocking::nonBlocking ? SOCK_NONBLOCK : 0;
    return UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0));
}

std::optional<sockaddr_un> unixSocketAddressIn(int folderFd, std::string_view name) {
    if (name.empty() || name.find('/') != std::string_view::npos) {
        return std::nullopt;
    }
    return unixSocketAddress(std::string(kProcessFds) + std::to_string(folderFd) + "/" +
                             std::string(name));
}

Decoded<UniqueFd> listenOnUnixSocket(const std::filesystem::path& path, mode_t mode, int backlog,
                                     SocketBlocking blocking) {
    using Result = Decoded<UniqueFd>;
    const std::optional<sockaddr_un> address = unixSocketAddress(path);
    if (!address) {
        return Result::failure("socket path is too long: " + path.string());
    }
    auto socket = boundSocket(*address, path.string(), blocking);
    if (!socket) {
        return socket;
    }
    if (::chmod(path.c_str(), mode) != 0) {
        return Result::failure(errnoText(path.string()));
    }
    return listening(std::move(socket.value()), path.string(), backlog);
}

Decoded<UniqueFd> listenOnUnixSocketIn(int folderFd, std::string_view name, mode_t mode,
                                       int backlog, SocketBlocking blocking) {
    using Result = Decoded<UniqueFd>;
    const std::optional<sockaddr_un> address = unixSocketAddressIn(folderFd, name);
    if (!address) {
        return Result::failure("not a socket name that fits: " + std::string(name));
    }
    const mode_t previous = ::umask(~mode & kPermissionBits);
    auto socket = boundSocket(*address, std::string(name), blocking);
    ::umask(previous);
    if (!socket) {
        return socket;
    }
    return listening(std::move(socket.value()), std::string(name), backlog);
}

SocketStep waitForSocket(int fd, short events, SocketClock::time_point deadline) {
    while (true) {
        if (SocketClock::now() >= deadline) {
            return SocketStep::timedOut();
        }
        pollfd entry{fd, events, 0};
        const int count = ::poll(&entry, 1, pollTimeout(deadline));
        if (count > 0) {
            return SocketStep::done();
        }
        if (count < 0 && errno != EINTR) {
            return SocketStep::failed(errno);
        }
    }
}

SocketStep connectUnixSocket(int fd, const std::filesystem::path& path,
                             SocketClock::time_point deadline) {
    const std::optional<sockaddr_un> address = unixSocketAddress(path);
    if (!address) {
        return SocketStep::failed(ENAMETOOLONG);
    }
    while (true) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0) {
            return SocketStep::done();
        }
        int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error == EAGAIN) {
            if (SocketClock::now() >= deadline) {
                return SocketStep::timedOut();
            }
            std::this_thread::sleep_for(kBusyRetryInterval);
            continue;
        }
        if (error != EINPROGRESS) {
            return SocketStep::failed(error);
        }
        if (const SocketStep ready = waitForSocket(fd, POLLOUT, deadline); !ready.ok()) {
            return ready;
        }
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            error = errno;
        }
        return error == 0 ? SocketStep::done() : SocketStep::failed(error);
    }
}

SocketStep sendAllBefore(int fd, std::string_view bytes, SocketClock::time_point deadline) {
    while (!bytes.empty()) {
        if (const SocketStep ready = waitForSocket(fd, POLLOUT, deadline); !ready.ok()) {
            return ready;
        }
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            return SocketStep::failed(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return SocketStep::done();
}

}  // namespace velmora
