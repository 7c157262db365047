// Socket set-up, the accept loop and the life of one connection.
#include "helper/HelperListener.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/GuestCode.hpp"
#include "platform/UnixSocket.hpp"

namespace velmora {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr mode_t kFolderMode = 0755;
constexpr mode_t kGroupOrOtherWrite = 0022;
// Clients run as the logged-in user; the signature check, not the file mode, decides who is served.
constexpr mode_t kSocketMode = 0666;
constexpr int kBacklog = 128;
// A client sends its request right after connecting; one that does not is cut off.
constexpr auto kRequestTimeout = std::chrono::seconds(5);
constexpr auto kReplyTimeout = std::chrono::seconds(5);
// Beyond this many open connections new ones are closed at once rather than given a thread.
constexpr int kMaxConnections = 256;
constexpr std::size_t kReadChunkBytes = 1024;
// After a failed accept (out of descriptors, say) wait a little instead of spinning.
constexpr auto kAcceptBackoff = std::chrono::milliseconds(10);

std::string errnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// The folder must be a real directory owned by us (root) that nobody else can write.
Decoded<bool> secureFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder.parent_path(), error);
    if (::mkdir(folder.c_str(), kFolderMode) != 0 && errno != EEXIST) {
        return Decoded<bool>::failure(errnoText(folder.string()));
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return Decoded<bool>::failure(errnoText(folder.string()));
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
        return Decoded<bool>::failure(folder.string() + " is not a folder owned by the helper");
    }
    if ((info.st_mode & kGroupOrOtherWrite) != 0 && ::chmod(folder.c_str(), kFolderMode) != 0) {
        return Decoded<bool>::failure(errnoText(folder.string()));
    }
    return Decoded<bool>::success(true);
}

// A socket nobody answers on is left over from an earlier run and may go; anything else stays.
Decoded<bool> removeStaleSocket(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? Decoded<bool>::success(true)
                               : Decoded<bool>::failure(errnoText(path.string()));
    }
    if (!S_ISSOCK(info.st_mode)) {
        return Decoded<bool>::failure(path.string() + " exists and is not a socket");
    }
    const UniqueFd probe = openUnixSocket(SocketBlocking::blocking);
    const std::optional<sockaddr_un> address = unixSocketAddress(path);
    if (probe && address &&
        ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) ==
            0) {
        return Decoded<bool>::failure("another helper is already listening on " + path.string());
    }
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return Decoded<bool>::failure(errnoText(path.string()));
    }
    return Decoded<bool>::success(true);
}

enum class ReadOutcome { line, closed, timedOut, tooLong, trailingBytes, failed };

// Reads the one request line. Bytes after it mean a second request, which the protocol forbids.
ReadOutcome readRequest(int fd, HelperLineReader& reader) {
    const auto deadline = Clock::now() + kRequestTimeout;
    char buffer[kReadChunkBytes];
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return ReadOutcome::timedOut;
        }
        pollfd entry{fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return ReadOutcome::failed;
        }
        if (ready == 0) {
            return ReadOutcome::timedOut;
        }
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return ReadOutcome::failed;
        }
        if (got == 0) {
            return ReadOutcome::closed;
        }
        const std::string_view bytes(buffer, static_cast<std::size_t>(got));
        switch (reader.feed(bytes)) {
            case HelperLineReader::Status::needMore:
                break;
            case HelperLineReader::Status::tooLong:
                return ReadOutcome::tooLong;
            case HelperLineReader::Status::complete: {
                if (bytes.find('\n') + 1 != bytes.size()) {
                    return ReadOutcome::trailingBytes;
                }
                char extra = 0;
                if (::recv(fd, &extra, 1, MSG_DONTWAIT | MSG_PEEK) > 0) {
                    return ReadOutcome::trailingBytes;
                }
                return ReadOutcome::line;
            }
        }
    }
}

std::string outcomeText(ReadOutcome outcome) {
    switch (outcome) {
        case ReadOutcome::closed:
            return "connection closed before a complete request";
        case ReadOutcome::timedOut:
            return "no request in time";
        case ReadOutcome::tooLong:
            return "request longer than " + std::to_string(kHelperMaxMessageBytes) + " bytes";
        case ReadOutcome::trailingBytes:
            return "more than one request on a connection";
        case ReadOutcome::failed:
            return "cannot read the request";
        case ReadOutcome::line:
            break;
    }
    return {};
}

void sendAll(int fd, std::string_view bytes) {
    const timeval timeout{static_cast<time_t>(kReplyTimeout.count()), 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    while (!bytes.empty()) {
        const ssize_t put = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

void serveConnection(UniqueFd connection, HelperService& service, HelperLog& log) {
    const pid_t pid = peerProcessId(connection.get());
    if (!service.isValidClient(connection.get())) {
        log.write("rejected connection from pid " + std::to_string(pid) +
                  " (signature check failed)");
        return;
    }
    HelperLineReader reader;
    const ReadOutcome outcome = readRequest(connection.get(), reader);
    if (outcome != ReadOutcome::line) {
        log.write("rejected request from pid " + std::to_string(pid) + ": " + outcomeText(outcome));
        return;
    }
    const auto request = parseRequest(reader.line());
    if (!request) {
        log.write("rejected request from pid " + std::to_string(pid) + ": " + request.error());
        return;
    }
    sendAll(connection.get(), encodeReply(service.handle(request.value())));
}

// Counts the connections being served, so that a flood cannot start threads without end.
class ConnectionSlot {
  public:
    static std::atomic<int>& open() {
        static std::atomic<int> count{0};
        return count;
    }
    ConnectionSlot() : taken_(open().fetch_add(1) < kMaxConnections) {}
    ConnectionSlot(const ConnectionSlot&) = delete;
    ConnectionSlot& operator=(const ConnectionSlot&) = delete;
    ConnectionSlot(ConnectionSlot&& other) noexcept : taken_(other.taken_), owns_(other.owns_) {
        other.owns_ = false;
    }
    ~ConnectionSlot() {
        if (owns_) {
            open().fetch_sub(1);
        }
    }
    bool taken() const { return taken_; }

  private:
    bool taken_;
    bool owns_ = true;
};

}  // namespace

Decoded<HelperListener> HelperListener::bind(const fs::path& socketPath) {
    using Result = Decoded<HelperListener>;
    if (const auto folder = secureFolder(socketPath.parent_path()); !folder) {
        return Result::failure(folder.error());
    }
    if (!unixSocketAddress(socketPath)) {
        return Result::failure("socket path is too long: " + socketPath.string());
    }
    if (const auto removed = removeStaleSocket(socketPath); !removed) {
        return Result::failure(removed.error());
    }
    auto socket = listenOnUnixSocket(socketPath, kSocketMode, kBacklog, SocketBlocking::blocking);
    if (!socket) {
        return Result::failure(socket.error());
    }
    return Result::success(HelperListener(std::move(socket.value())));
}

void HelperListener::serve(HelperService& service, HelperLog& log) {
    for (;;) {
        UniqueFd connection(::accept4(socket_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection) {
            if (errno != EINTR && errno != ECONNABORTED) {
                std::this_thread::sleep_for(kAcceptBackoff);
            }
            continue;
        }
        ConnectionSlot slot;
        if (!slot.taken()) {
            continue;  // closing it tells the client we are busy
        }
        try {
            std::thread([connection = std::move(connection), slot = std::move(slot), &service,
                         &log]() mutable {
                try {
                    serveConnection(std::move(connection), service, log);
                } catch (...) {
                    // Nothing may end the service; the connection closes without a reply.
                }
            }).detach();
        } catch (const std::system_error&) {
            // No thread to be had: the connection closes and the client sees the failure.
        }
    }
}

}  // namespace velmora
