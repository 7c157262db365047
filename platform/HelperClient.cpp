// One request and one reply over the helper's Unix socket, all under a single monotonic deadline.
#include "platform/HelperClient.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>

#include "kit/HelperInfo.hpp"
#include "kit/HelperProtocol.hpp"
#include "kit/VelmoraError.hpp"
#include "platform/SystemPaths.hpp"
#include "platform/UniqueFd.hpp"

namespace velmora {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kReadChunkBytes = 512;
// A helper whose listen queue is full is busy, not absent: try again until the deadline.
constexpr std::chrono::milliseconds kBusyRetryInterval{10};

const char* const kTimedOut = "helper timed out";
const char* const kFailed = "helper failed";

// How one exchange with the helper ended. The three cases mirror what a caller must tell apart:
// no answer in time, a broken or refused connection, or a reply.
struct Exchange {
    enum class Ending { timedOut, connectionError, replied };
    Ending ending = Ending::connectionError;
    std::string error;  // connectionError: what went wrong
    HelperReply reply;  // replied

    static Exchange timedOut() { return {Ending::timedOut, {}, {}}; }
    static Exchange broken(std::string error) {
        return {Ending::connectionError, std::move(error), {}};
    }
    static Exchange answered(HelperReply reply) { return {Ending::replied, {}, std::move(reply)}; }
};

std::string systemError(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

class Deadline {
  public:
    explicit Deadline(std::chrono::milliseconds timeout) : end_(Clock::now() + timeout) {}
    bool passed() const { return Clock::now() >= end_; }
    // Whole milliseconds left for poll(), rounded up so we never wake just before the end.
    int pollTimeout() const {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now());
        return left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }

  private:
    Clock::time_point end_;
};

enum class Readiness { ready, timedOut, failed };

// Waits for `events` on the socket until the deadline; a hang-up counts as ready so the following
// read or write sees the actual error.
Readiness waitFor(int fd, short events, const Deadline& deadline, int& error) {
    while (true) {
        if (deadline.passed()) {
            return Readiness::timedOut;
        }
        pollfd entry{fd, events, 0};
        int count = ::poll(&entry, 1, deadline.pollTimeout());
        if (count > 0) {
            return Readiness::ready;
        }
        if (count < 0 && errno != EINTR) {
            error = errno;
            return Readiness::failed;
        }
    }
}

// Connects without blocking; a refused or missing socket fails at once.
std::optional<Exchange> connectTo(int fd, const std::filesystem::path& path,
                                  const Deadline& deadline) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.size() >= sizeof address.sun_path) {
        return Exchange::broken(systemError("cannot connect to the helper", ENAMETOOLONG));
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    while (true) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return std::nullopt;
        }
        int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error == EAGAIN) {
            if (deadline.passed()) {
                return Exchange::timedOut();
            }
            std::this_thread::sleep_for(kBusyRetryInterval);
            continue;
        }
        if (error != EINPROGRESS) {
            return Exchange::broken(systemError("cannot connect to the helper", error));
        }
        int pollError = 0;
        switch (waitFor(fd, POLLOUT, deadline, pollError)) {
            case Readiness::timedOut:
                return Exchange::timedOut();
            case Readiness::failed:
                return Exchange::broken(systemError("cannot connect to the helper", pollError));
            case Readiness::ready:
                break;
        }
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            error = errno;
        }
        if (error != 0) {
            return Exchange::broken(systemError("cannot connect to the helper", error));
        }
        return std::nullopt;
    }
}

std::optional<Exchange> sendAll(int fd, std::string_view bytes, const Deadline& deadline) {
    while (!bytes.empty()) {
        int pollError = 0;
        switch (waitFor(fd, POLLOUT, deadline, pollError)) {
            case Readiness::timedOut:
                return Exchange::timedOut();
            case Readiness::failed:
                return Exchange::broken(systemError("cannot write to the helper", pollError));
            case Readiness::ready:
                break;
        }
        // MSG_NOSIGNAL: a helper that hung up must give an error here, not kill us with SIGPIPE.
        ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            return Exchange::broken(systemError("cannot write to the helper", errno));
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return std::nullopt;
}

Exchange receiveReply(int fd, HelperMethod method, const Deadline& deadline) {
    HelperLineReader reader;
    std::array<char, kReadChunkBytes> buffer{};
    while (true) {
        int pollError = 0;
        switch (waitFor(fd, POLLIN, deadline, pollError)) {
            case Readiness::timedOut:
                return Exchange::timedOut();
            case Readiness::failed:
                return Exchange::broken(systemError("cannot read from the helper", pollError));
            case Readiness::ready:
                break;
        }
        ssize_t received = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (received < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            return Exchange::broken(systemError("cannot read from the helper", errno));
        }
        if (received == 0) {
            return Exchange::broken("helper closed the connection without a reply");
        }
        switch (reader.feed(std::string_view(buffer.data(), static_cast<std::size_t>(received)))) {
            case HelperLineReader::Status::needMore:
                continue;
            case HelperLineReader::Status::tooLong:
                return Exchange::broken("invalid reply from the helper: longer than " +
                                        std::to_string(kHelperMaxMessageBytes) + " bytes");
            case HelperLineReader::Status::complete:
                break;
        }
        auto reply = parseReply(reader.line(), method);
        if (!reply) {
            return Exchange::broken("invalid reply from the helper: " + reply.error());
        }
        return Exchange::answered(std::move(reply.value()));
    }
}

// Whoever can write the socket's folder can put a helper of their own there that reports
// settings as changed. Accept only a folder owned by root or by us that nobody else can write.
std::optional<Exchange> untrustedFolder(const std::filesystem::path& socketPath) {
    std::filesystem::path folder = socketPath.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return Exchange::broken(systemError("cannot connect to the helper", errno));
    }
    bool trustedOwner = info.st_uid == 0 || info.st_uid == ::geteuid();
    if (!S_ISDIR(info.st_mode) || !trustedOwner || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return Exchange::broken("helper socket folder " + folder.string() +
                                " is not protected from other users");
    }
    return std::nullopt;
}

// Connect, send one line, read one line, close: every step shares the one deadline.
Exchange exchange(const HelperRequest& request, const HelperClient::Endpoint& endpoint) {
    Deadline deadline(endpoint.timeout);
    auto line = encodeRequest(request);
    if (!line) {
        return Exchange::broken("request too long for the helper");
    }
    if (auto failed = untrustedFolder(endpoint.socketPath)) {
        return *failed;
    }
    const UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket) {
        return Exchange::broken(systemError("cannot open a socket", errno));
    }
    if (auto failed = connectTo(socket.get(), endpoint.socketPath, deadline)) {
        return *failed;
    }
    if (auto failed = sendAll(socket.get(), *line, deadline)) {
        return *failed;
    }
    return receiveReply(socket.get(), request.method, deadline);
}

void call(const HelperRequest& request, const HelperClient::Endpoint& endpoint) {
    Exchange result = exchange(request, endpoint);
    switch (result.ending) {
        case Exchange::Ending::timedOut:
            throw VelmoraError::powerCommandFailed(kTimedOut);
        case Exchange::Ending::connectionError:
            throw VelmoraError::powerCommandFailed(std::move(result.error));
        case Exchange::Ending::replied:
            break;
    }
    if (result.reply.ok) {
        return;
    }
    throw VelmoraError::powerCommandFailed(result.reply.message.value_or(kFailed));
}

}  // namespace

HelperClient::Endpoint HelperClient::defaultEndpoint() {
    return {SystemPaths::helperSocket(HelperInfo::machServiceName()),
            std::chrono::duration_cast<std::chrono::milliseconds>(kHelperCallTimeout)};
}

void HelperClient::setPmset(const std::string& key, const std::string& value) {
    setPmset(key, value, defaultEndpoint());
}

void HelperClient::setPmset(const std::string& key, const std::string& value,
                            const Endpoint& endpoint) {
    call(HelperRequest::setPmset(key, value), endpoint);
}

void HelperClient::setDisableSleep(bool disable) {
    setDisableSleep(disable, defaultEndpoint());
}

void HelperClient::setDisableSleep(bool disable, const Endpoint& endpoint) {
    call(HelperRequest::setDisableSleep(disable), endpoint);
}

bool HelperClient::isAvailable(std::chrono::milliseconds timeout) {
    return isAvailable(Endpoint{defaultEndpoint().socketPath, timeout});
}

bool HelperClient::isAvailable(const Endpoint& endpoint) {
    // The version is not compared: any well-formed answer means a helper is there.
    return exchange(HelperRequest::ping(), endpoint).ending == Exchange::Ending::replied;
}

}  // namespace velmora
