// A scripted stand-in for the privileged helper: listens on a socket and serves one connection.
#pragma once

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/UnixSocket.hpp"

namespace velmora::testing {

class FakeHelper {
  public:
    enum class Script {
        reply,          // read the request line, then send `reply` verbatim
        closeSilently,  // read the request line, then hang up
        neverAnswer,    // accept and read, then hold the connection until the test ends
        neverAccept,    // listen only; the connection waits in the queue
    };

    FakeHelper(const std::filesystem::path& path, Script script, std::string reply = {})
        : script_(script), reply_(std::move(reply)) {
        std::filesystem::create_directories(path.parent_path());
        auto listener = listenOnUnixSocket(path, 0600, 4, SocketBlocking::blocking);
        if (!listener) {
            throw std::runtime_error(listener.error());
        }
        listener_ = std::move(listener.value());
        if (script_ != Script::neverAccept) {
            thread_ = std::thread([this] { serve(); });
        }
    }
    ~FakeHelper() { stop(); }

    // The request line as received, newline included; read after the call returned.
    std::string received() {
        stop();
        return received_;
    }

  private:
    void stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    // Short slices, so that the end of the test ends any wait.
    bool readable(int fd) {
        while (!stop_) {
            if (waitForSocket(fd, POLLIN, SocketClock::now() + std::chrono::milliseconds(20))
                    .ok()) {
                return true;
            }
        }
        return false;
    }

    void serve() {
        if (!readable(listener_.get())) {
            return;
        }
        const UniqueFd connection(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        char byte = 0;
        while (byte != '\n' && readable(connection.get()) &&
               ::read(connection.get(), &byte, 1) == 1) {
            received_ += byte;
        }
        if (script_ == Script::reply) {
            (void)::send(connection.get(), reply_.data(), reply_.size(), MSG_NOSIGNAL);
        } else if (script_ == Script::neverAnswer) {
            readable(connection.get());  // until the test ends or the client gives up
        }
    }

    UniqueFd listener_;
    Script script_;
    std::string reply_;
    std::string received_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace velmora::testing
