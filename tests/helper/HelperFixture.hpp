// A velmora-helper started as root in a temporary system root, beside a fake pmset that records
// each run, and the raw socket exchanges the tests make with it.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "kit/HelperProtocol.hpp"
#include "platform/UnixSocket.hpp"
#include "tests/platform/PreferenceTestSupport.hpp"

extern char** environ;  // NOLINT: POSIX declares it only here

namespace velmora::test {

namespace fs = std::filesystem;
using testing::fileBytes;
using testing::putFile;
using Lines = std::vector<std::string>;

// Records its arguments, then behaves as the key asks: displaysleep fails with a message, womp
// floods both outputs.
inline constexpr std::string_view kFakePmset = R"(#!/bin/sh
{ printf '%s' "$#"; printf ' [%s]' "$@"; echo; } >> "$VELMORA_SYSTEM_ROOT/pmset-runs"
case "$2" in
  displaysleep) printf '  displaysleep: refused by the fake pmset\n\n' >&2; exit 1 ;;
  womp) head -c 2000000 /dev/zero; head -c 2000000 /dev/zero >&2; exit 0 ;;
esac
)";

inline Lines fileLines(const fs::path& path) {
    Lines lines;
    std::istringstream stream(fileBytes(path));
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Polls until the condition holds or a generous timeout passes; the condition's last answer.
inline bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (; !condition(); std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
    }
    return true;
}

// The log text after "[<time>] ", or the whole line when it lacks the stamp.
inline std::string messageOf(const std::string& line) {
    static const std::regex stamp(R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \+0000\] .*$)");
    return std::regex_match(line, stamp) ? line.substr(line.find("] ") + 2) : line;
}

class HelperProcess {
  public:
    // Lays out <tmp>/bin/velmora-helper, <tmp>/libexec/velmora/pmset and <tmp>/system, and starts
    // the helper unless told not to.
    explicit HelperProcess(bool startNow = true) {
        fs::create_directories(folder() / "bin");
        fs::copy_file(VELMORA_HELPER_PROGRAM, folder() / "bin" / "velmora-helper");
        const fs::path pmset = folder() / "libexec" / "velmora" / "pmset";
        putFile(pmset, std::string(kFakePmset));
        fs::permissions(pmset, fs::perms(0755));
        if (startNow && !start()) {
            throw std::runtime_error("the helper did not start");
        }
    }

    // Starts the helper and waits for its start line; false when it did not come.
    bool start() {
        const std::size_t linesBefore = fileLines(logPath()).size();
        // Tests run one at a time, so the test program's own environment can carry the root.
        ::setenv("VELMORA_SYSTEM_ROOT", systemRoot().c_str(), 1);
        std::string name = (folder() / "bin" / "velmora-helper").string();
        char* argv[] = {name.data(), nullptr};
        if (::posix_spawn(&child_.pid, name.c_str(), nullptr, nullptr, argv, environ) != 0) {
            throw std::runtime_error("cannot start " + name);
        }
        return eventually([&] {
            const Lines lines = fileLines(logPath());
            return lines.size() > linesBefore && messageOf(lines.back()) == "helper 2 started" &&
                   fs::exists(socketPath());
        });
    }

    pid_t pid() const { return child_.pid; }
    const fs::path& folder() const { return folder_.path(); }
    fs::path systemRoot() const { return folder() / "system"; }
    fs::path socketPath() const {
        return systemRoot() / "var/run/velmora/com.velmora.app.helper.sock";
    }
    fs::path logPath() const { return systemRoot() / "Library/Logs/Velmora-helper.log"; }

    // Waits until the log holds `count` lines after the start line; their texts after the stamp
    // (each line is checked for one) as they are then.
    Lines messages(std::size_t count) const {
        Lines lines;
        eventually([&] { return (lines = fileLines(logPath())).size() > count; });
        for (std::string& line : lines) {
            EXPECT_NE(messageOf(line), line) << "no stamp: " << line;
            line = messageOf(line);
        }
        return Lines(lines.begin() + 1, lines.end());
    }
    // One line per run of the fake pmset: the argument count and each argument in brackets.
    Lines pmsetRuns() const { return fileLines(systemRoot() / "pmset-runs"); }

    // Open descriptors, child processes and threads of the helper.
    std::vector<int> footprint() const {
        const fs::path self = "/proc/" + std::to_string(pid());
        // The kernel here may lack the per-task children lists, so look for our parent id instead.
        int children = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
            std::ifstream stat(entry.path() / "stat");
            std::string line;
            pid_t parent = 0;
            const auto nameEnd = std::getline(stat, line) ? line.rfind(") ") : std::string::npos;
            children += nameEnd != std::string::npos &&
                        std::sscanf(line.c_str() + nameEnd + 2, "%*c %d", &parent) == 1 &&
                        parent == pid();
        }
        const auto count = [](const fs::path& folder) {
            return static_cast<int>(std::distance(fs::directory_iterator(folder), {}));
        };
        return {count(self / "fd"), children, count(self / "task")};
    }

  private:
    struct Child {  // killed and reaped at the end
        ~Child() {
            if (pid > 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
        pid_t pid = 0;
    };
    testing::TempFolder folder_{"velmora-helper", testing::TempFolder::Reach::everyone};
    Child child_;
};

// Sends the bytes over one connection and returns everything the helper sent before it closed.
inline std::string exchangeBytes(const fs::path& socket, std::string_view bytes) {
    // Longer than the helper's own wait for a request, so its closing is what the test sees.
    constexpr timeval kReplyTimeout{15, 0};
    const UniqueFd fd = openUnixSocket(SocketBlocking::blocking);
    const auto address = unixSocketAddress(socket);
    if (!fd || !address ||
        ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &kReplyTimeout, sizeof kReplyTimeout) ||
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address)) {
        throw std::runtime_error("cannot connect to " + socket.string());
    }
    ::send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);  // it may hang up early
    std::string received;
    ssize_t got = 0;
    for (char buffer[4096]; (got = ::recv(fd.get(), buffer, sizeof buffer, 0)) > 0;) {
        received.append(buffer, static_cast<std::size_t>(got));
    }
    if (got < 0 && errno == EAGAIN) {
        throw std::runtime_error("the helper neither answered nor closed the connection");
    }
    return received;
}

// One request as the application's client sends it; the reply, or an exception (which fails the
// test) when no well-formed reply came.
inline HelperReply call(const fs::path& socket, const HelperRequest& request) {
    const std::string received = exchangeBytes(socket, *encodeRequest(request));
    if (received.empty() || received.find('\n') != received.size() - 1) {
        throw std::runtime_error("not exactly one reply line: \"" + received + "\"");
    }
    const auto reply =
        parseReply(std::string_view(received).substr(0, received.size() - 1), request.method);
    return reply ? reply.value() : throw std::runtime_error(reply.error());
}

}  // namespace velmora::test
