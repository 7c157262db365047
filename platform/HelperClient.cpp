// One request and one reply over the helper's Unix socket, all under a single monotonic deadline.
#include "platform/HelperClient.hpp"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "kit/HelperInfo.hpp"
#include "kit/HelperProtocol.hpp"
#include "kit/VelmoraError.hpp"
#include "platform/SystemPaths.hpp"
#include "platform/UniqueFd.hpp"
#include "platform/UnixSocket.hpp"

namespace velmora {

namespace {

constexpr std::size_t kReadChunkBytes = 512;

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

// The exchange's one end point, shared by every step.
class Deadline {
  public:
    explicit Deadline(std::chrono::milliseconds timeout) : end_(SocketClock::now() + timeout) {}
    SocketClock::time_point end() const { return end_; }

  private:
    SocketClock::time_point end_;
};

// A step that did not finish, as the caller must see it.
std::optional<Exchange> unfinished(const SocketStep& step, const char* what) {
    switch (step.kind) {
        case SocketStep::Kind::done:
            return std::nullopt;
        case SocketStep::Kind::timedOut:
            return Exchange::timedOut();
        case SocketStep::Kind::failed:
            break;
    }
    return Exchange::broken(systemError(what, step.error));
}

Exchange receiveReply(int fd, HelperMethod method, const Deadline& deadline) {
    HelperLineReader reader;
    std::array<char, kReadChunkBytes> buffer{};
    while (true) {
        if (auto failed = unfinished(waitForSocket(fd, POLLIN, deadline.end()),
                                     "cannot read from the helper")) {
            return *failed;
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
    const UniqueFd socket = openUnixSocket(SocketBlocking::nonBlocking);
    if (!socket) {
        return Exchange::broken(systemError("cannot open a socket", errno));
    }
    if (auto failed =
            unfinished(connectUnixSocket(socket.get(), endpoint.socketPath, deadline.end()),
                       "cannot connect to the helper")) {
        return *failed;
    }
    if (auto failed = unfinished(sendAllBefore(socket.get(), *line, deadline.end()),
                                 "cannot write to the helper")) {
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
