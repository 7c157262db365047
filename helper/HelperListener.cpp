// Socket set-up, the accept loop and the life of one connection.
#include "helper/HelperListener.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "platform/GuestCode.hpp"
#include "platform/UnixSocket.hpp"

namespace velmora {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Clients run as the logged-in user; the signature check, not the file mode, decides who is served.
constexpr mode_t kSocketMode = 0666;
constexpr int kBacklog = 128;
// A client sends its request right after connecting; one that does not is cut off.
constexpr auto kRequestTimeout = std::chrono::seconds(5);
constexpr auto kReplyTimeout = std::chrono::seconds(5);
// After the reply, how long a client that keeps the connection open is watched for a second
// request; ours closes at once, which ends the wait.
constexpr auto kAfterReplyWatch = std::chrono::seconds(1);
constexpr std::size_t kReadChunkBytes = 1024;
// After a failed accept (out of descriptors, say) wait a little instead of spinning.
constexpr auto kAcceptBackoff = std::chrono::milliseconds(10);

std::string errnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

constexpr const char* kLockSuffix = ".lock";
constexpr mode_t kLockMode = 0600;

// The lock a running helper holds beside its socket; failure when another helper holds it.
Decoded<UniqueFd> takeLock(const TrustedFolder& folder, const std::string& socketName) {
    const std::string name = socketName + kLockSuffix;
    const fs::path shown = folder.path / name;
    UniqueFd lock(::openat(folder.fd.get(), name.c_str(),
                           O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, kLockMode));
    struct stat info {};
    if (!lock || ::fstat(lock.get(), &info) != 0) {
        return Decoded<UniqueFd>::failure(errnoText(shown.string()));
    }
    if (!S_ISREG(info.st_mode)) {
        return Decoded<UniqueFd>::failure(shown.string() + " is not a regular file");
    }
    while (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            return Decoded<UniqueFd>::failure("another helper is already running, listening on " +
                                              (folder.path / socketName).string());
        }
        if (errno != EINTR) {
            return Decoded<UniqueFd>::failure(errnoText(shown.string()));
        }
    }
    return Decoded<UniqueFd>::success(std::move(lock));
}

// A socket nobody answers on is left over from an earlier run and may go; anything else stays.
Decoded<bool> removeStaleSocket(const TrustedFolder& folder, const std::string& name) {
    const fs::path shown = folder.path / name;
    struct stat info {};
    if (::fstatat(folder.fd.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? Decoded<bool>::success(true)
                               : Decoded<bool>::failure(errnoText(shown.string()));
    }
    if (!S_ISSOCK(info.st_mode)) {
        return Decoded<bool>::failure(shown.string() + " exists and is not a socket");
    }
    const UniqueFd probe = openUnixSocket(SocketBlocking::blocking);
    const std::optional<sockaddr_un> address = unixSocketAddressIn(folder.fd.get(), name);
    if (probe && address &&
        ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) ==
            0) {
        return Decoded<bool>::failure("another helper is already listening on " + shown.string());
    }
    if (::unlinkat(folder.fd.get(), name.c_str(), 0) != 0 && errno != ENOENT) {
        return Decoded<bool>::failure(errnoText(shown.string()));
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

// Whether the client sent anything after its request, watched until it hangs up or for a moment.
// Our reply is complete by then, so the client's end sees its end of file at once.
bool sentMoreAfterReply(int fd) {
    ::shutdown(fd, SHUT_WR);
    const auto deadline = Clock::now() + kAfterReplyWatch;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{fd, POLLIN, 0};
        const int ready = left.count() > 0 ? ::poll(&entry, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        char byte = 0;
        return ::recv(fd, &byte, 1, MSG_DONTWAIT) > 0;
    }
}

// Whether the client has closed its end: it gave up waiting (the helper was stopped or busy past
// its deadline) and has told its user the change failed, so the change must not be made after
// all. A client that only shut down its sending side still waits for the reply.
bool clientGone(int fd) {
    pollfd entry{fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, 0);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (entry.revents & (POLLHUP | POLLERR)) != 0;
}

void serveConnection(UniqueFd connection, HelperService& service, HelperLog& log) {
    const pid_t pid = peerProcessId(connection.get());
    const auto rejected = [&](const std::string& why) {
        log.write("rejected request from pid " + std::to_string(pid) + ": " + why);
    };
    if (!service.isValidClient(connection.get())) {
        log.write("rejected connection from pid " + std::to_string(pid) +
                  " (signature check failed)");
        return;
    }
    HelperLineReader reader;
    const ReadOutcome outcome = readRequest(connection.get(), reader);
    if (outcome != ReadOutcome::line) {
        rejected(outcomeText(outcome));
        return;
    }
    const auto request = parseRequest(reader.line());
    if (!request) {
        rejected(request.error());
        return;
    }
    if (clientGone(connection.get())) {
        rejected("the client hung up before it could be served");
        return;
    }
    sendAll(connection.get(), encodeReply(service.handle(request.value())));
    if (sentMoreAfterReply(connection.get())) {
        rejected(outcomeText(ReadOutcome::trailingBytes));
    }
}

// Counts the connections being served, in all and per user.
class ConnectionSlots {
  public:
    // Gives its place back when it ends.
    class Slot {
      public:
        Slot(ConnectionSlots& slots, uid_t user) : slots_(&slots), user_(user) {}
        Slot(Slot&& other) noexcept
            : slots_(std::exchange(other.slots_, nullptr)), user_(other.user_) {}
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;
        Slot& operator=(Slot&&) = delete;
        ~Slot() {
            if (slots_ != nullptr) {
                slots_->release(user_);
            }
        }

      private:
        ConnectionSlots* slots_;
        uid_t user_;
    };

    std::optional<Slot> take(uid_t user) {
        const std::lock_guard lock(mutex_);
        int& mine = perUser_[user];
        if (total_ >= HelperListener::maxConnections ||
            mine >= HelperListener::maxConnectionsPerUser) {
            if (mine == 0) {
                perUser_.erase(user);
            }
            return std::nullopt;
        }
        ++total_;
        ++mine;
        return std::optional<Slot>(std::in_place, *this, user);
    }

  private:
    void release(uid_t user) {
        const std::lock_guard lock(mutex_);
        --total_;
        if (--perUser_[user] == 0) {
            perUser_.erase(user);
        }
    }

    std::mutex mutex_;
    int total_ = 0;
    std::map<uid_t, int> perUser_;
};

}  // namespace

Decoded<HelperListener> HelperListener::bind(const TrustedFolder& systemRoot,
                                             const fs::path& relative) {
    using Result = Decoded<HelperListener>;
    const auto folder =
        RootOwnedPath::openFolder(systemRoot, relative.parent_path(), MissingFolders::create);
    if (!folder) {
        return Result::failure(folder.error());
    }
    const std::string name = relative.filename().string();
    auto lock = takeLock(folder.value(), name);
    if (!lock) {
        return Result::failure(lock.error());
    }
    if (const auto removed = removeStaleSocket(folder.value(), name); !removed) {
        return Result::failure(removed.error());
    }
    auto socket = listenOnUnixSocketIn(folder.value().fd.get(), name, kSocketMode, kBacklog,
                                       SocketBlocking::blocking);
    if (!socket) {
        return Result::failure((folder.value().path / name).string() + ": " + socket.error());
    }
    return Result::success(HelperListener(std::move(lock.value()), std::move(socket.value()),
                                          folder.value().path / name));
}

void HelperListener::serve(HelperService& service, HelperLog& log) {
    ConnectionSlots slots;
    for (;;) {
        UniqueFd connection(::accept4(socket_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection) {
            if (errno != EINTR && errno != ECONNABORTED) {
                std::this_thread::sleep_for(kAcceptBackoff);
            }
            continue;
        }
        // Closing a connection we cannot take tells its client we are busy.
        const std::optional<uid_t> user = peerUserId(connection.get());
        std::optional<ConnectionSlots::Slot> slot = user ? slots.take(*user) : std::nullopt;
        if (!slot) {
            continue;
        }
        try {
            std::thread([connection = std::move(connection), slot = std::move(*slot), &service,
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
