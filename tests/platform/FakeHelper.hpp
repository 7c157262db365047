// A scripted stand-in for the privileged helper: listens on a socket and serves one connection.
#pragma once

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/UnixSocket.hpp"

namespace velmora::testing {

class FakeHelper {
  public:
    enum class Script {
        reply,        // read the request line, send `reply` verbatim (may be empty), hang up
        neverAnswer,  // read the request line, then hold the connection until the test ends
        // take no connection for `acceptDelay` (the queue is full, so a client cannot even
        // connect), then behave as neverAnswer
        acceptLateNeverAnswer,
    };
    static constexpr std::chrono::milliseconds acceptDelay{600};

    FakeHelper(const std::filesystem::path& path, Script script, std::string reply = {})
        : reply_(std::move(reply)) {
        std::filesystem::create_directories(path.parent_path());
        // A queue of one, filled by our own connection while we are late.
        const int backlog = script == Script::acceptLateNeverAnswer ? 0 : 4;
        auto listener = listenOnUnixSocket(path, 0600, backlog, SocketBlocking::blocking);
        if (!listener) {
            throw std::runtime_error(listener.error());
        }
        if (script == Script::acceptLateNeverAnswer) {
            filler_ = openUnixSocket(SocketBlocking::nonBlocking);
            connectUnixSocket(filler_.get(), path, SocketClock::now() + acceptDelay);
        }
        thread_ = std::thread([this, script, fd = std::move(listener.value())] {
            if (script == Script::acceptLateNeverAnswer) {
                std::this_thread::sleep_for(acceptDelay);
                const UniqueFd filler(::accept(fd.get(), nullptr, nullptr));
            }
            const UniqueFd connection =
                readable(fd.get()) ? UniqueFd(::accept(fd.get(), nullptr, nullptr)) : UniqueFd();
            for (char byte = 0; byte != '\n' && readable(connection.get()) &&
                                ::read(connection.get(), &byte, 1) == 1;) {
                received_ += byte;
            }
            if (script == Script::reply) {
                (void)::send(connection.get(), reply_.data(), reply_.size(), MSG_NOSIGNAL);
            } else {
                readable(connection.get());  // until the test ends or the client gives up
            }
        });
    }
    ~FakeHelper() { received(); }

    // The request line as received, newline included; read after the call returned.
    std::string received() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        return received_;
    }

  private:
    // Short slices, so that the end of the test ends any wait.
    bool readable(int fd) {
        while (fd >= 0 && !stop_) {
            if (waitForSocket(fd, POLLIN, SocketClock::now() + std::chrono::milliseconds(20))
                    .ok()) {
                return true;
            }
        }
        return false;
    }

    std::string reply_;
    std::string received_;
    std::atomic<bool> stop_{false};
    UniqueFd filler_;
    std::thread thread_;
};

}  // namespace velmora::testing
