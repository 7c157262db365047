// A velmora-helper started as root from a root-owned temporary folder, beside a fake pmset that
// records each run, serving a temporary system root; and the raw socket exchanges tests make.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
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

// Records its arguments, then behaves as the key asks: lowpowermode records the environment it
// was given, displaysleep fails with a message, womp floods both outputs, acwake never ends.
inline constexpr std::string_view kFakePmset = R"(#!/bin/sh
{ printf '%s' "$#"; printf ' [%s]' "$@"; echo; } >> "$VELMORA_SYSTEM_ROOT/pmset-runs"
case "$2" in
  lowpowermode) tr '\0' '\n' < /proc/$$/environ > "$VELMORA_SYSTEM_ROOT/pmset-environment" ;;
  displaysleep) printf '  displaysleep: refused by the fake pmset\n\n' >&2; exit 1 ;;
  womp) head -c 2000000 /dev/zero; head -c 2000000 /dev/zero >&2; exit 0 ;;
  acwake) exec sleep 60 ;;
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

// One request as the application's client sends it; the reply, or an exception (which fails the
// test) when no well-formed reply came.
inline HelperReply call(const fs::path& socket, const HelperRequest& request);

class HelperProcess {
  public:
    enum class Start { now, later };

    // Lays out the helper beside a fake pmset in <tmp>/libexec/velmora, as the install step does,
    // and a system root in <tmp>/mac/system, and starts the helper unless told not to.
    explicit HelperProcess(Start when = Start::now) {
        fs::create_directories(programFolder());
        fs::create_directories(systemRoot());
        fs::copy_file(VELMORA_HELPER_PROGRAM, program());
        putFile(pmset(), std::string(kFakePmset));
        fs::permissions(pmset(), fs::perms(0755));
        if (when == Start::now && !start()) {
            throw std::runtime_error("the helper did not start: " + errors());
        }
    }

    // Starts the helper with this program's environment and waits until it answers a ping;
    // false when it exited instead (see `exitStatus` and `errors`) or never answered.
    bool start() {
        // Tests run one at a time, so the test program's own environment can carry the root.
        ::setenv("VELMORA_SYSTEM_ROOT", systemRoot().c_str(), 1);
        std::string name = program().string();
        char* argv[] = {name.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorsPath().c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int spawned =
            ::posix_spawn(&child_.pid, name.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            throw std::runtime_error("cannot start " + name);
        }
        return eventually([&] {
                   if (exited()) {
                       return true;
                   }
                   try {
                       return call(socketPath(), HelperRequest::ping()) ==
                              HelperReply::versionAnswer("2");
                   } catch (const std::exception&) {
                       return false;
                   }
               }) &&
               !exited();
    }

    // Whether the helper has ended; its exit status is then kept.
    bool exited() {
        int status = 0;
        if (child_.pid > 0 && ::waitpid(child_.pid, &status, WNOHANG) == child_.pid) {
            child_.pid = 0;
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return child_.pid == 0 && exitStatus_.has_value();
    }
    std::optional<int> exitStatus() const { return exitStatus_; }
    // What the helper wrote on standard error.
    std::string errors() const { return fileBytes(errorsPath()); }

    pid_t pid() const { return child_.pid; }
    const fs::path& folder() const { return folder_.path(); }
    fs::path programFolder() const { return folder() / "libexec" / "velmora"; }
    fs::path program() const { return programFolder() / "velmora-helper"; }
    fs::path pmset() const { return programFolder() / "pmset"; }
    fs::path systemRoot() const { return folder() / "mac" / "system"; }
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
    // The environment the last lowpowermode run of the fake pmset was given, one entry a line.
    Lines pmsetEnvironment() const { return fileLines(systemRoot() / "pmset-environment"); }

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
    fs::path errorsPath() const { return folder() / "helper-errors"; }

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
    std::optional<int> exitStatus_;
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
