// A scripted stand-in for the privileged helper: listens on a socket and serves one connection.
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/UniqueFd.hpp"

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
        listener_.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        if (!listener_ ||
            ::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_.get(), 4) != 0) {
            throw std::runtime_error("cannot listen on " + path.string());
        }
        if (script_ != Script::neverAccept) {
            thread_ = std::thread([this] { serve(); });
        }
    }
    ~FakeHelper() { stop(); }
    FakeHelper(const FakeHelper&) = delete;
    FakeHelper& operator=(const FakeHelper&) = delete;

    // The request line as received, newline included; read after the call returned.
    std::string received() {
        stop();
        return received_;
    }

  private:
    static constexpr int pollSliceMs = 20;

    void stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    bool waitReadable(int fd) {
        while (!stop_) {
            pollfd entry{fd, POLLIN, 0};
            if (::poll(&entry, 1, pollSliceMs) > 0) {
                return true;
            }
        }
        return false;
    }

    void serve() {
        if (!waitReadable(listener_.get())) {
            return;
        }
        const UniqueFd connection(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        char byte = 0;
        while (waitReadable(connection.get()) && ::read(connection.get(), &byte, 1) == 1) {
            received_ += byte;
            if (byte == '\n') {
                break;
            }
        }
        if (script_ == Script::reply) {
            (void)::send(connection.get(), reply_.data(), reply_.size(), MSG_NOSIGNAL);
        } else if (script_ == Script::neverAnswer) {
            waitReadable(connection.get());  // until the test ends or the client gives up
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
