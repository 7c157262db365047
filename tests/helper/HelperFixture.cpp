// Starting, watching and stopping the helper under test.
#include "tests/helper/HelperFixture.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/UnixSocket.hpp"

extern char** environ;  // NOLINT: POSIX declares it only here

namespace velmora::test {

namespace {

constexpr auto kWaitTimeout = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(5);
// Longer than the helper's own wait for a request, so its closing is what the test sees.
constexpr timeval kReplyTimeout{15, 0};

// Records its arguments, then behaves as the key asks: displaysleep fails with a message, womp
// floods both outputs, -g reports sleep disabled.
constexpr std::string_view kFakePmset = R"(#!/bin/sh
line="$#"
for a in "$@"; do line="$line [$a]"; done
printf '%s\n' "$line" >> "$VELMORA_SYSTEM_ROOT/pmset-runs"
case "$2" in
  displaysleep) printf '  displaysleep: refused by the fake pmset\n\n' >&2; exit 1 ;;
  womp) head -c 2000000 /dev/zero; head -c 2000000 /dev/zero >&2; exit 0 ;;
esac
)";

Lines splitLines(const std::string& text) {
    Lines lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

int countEntries(const fs::path& folder) {
    return static_cast<int>(std::distance(fs::directory_iterator(folder), {}));
}

// The log text after "[<time>] ", or the whole line when it lacks the stamp.
std::string messageOf(const std::string& line) {
    static const std::regex stamp(R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \+0000\] .*$)");
    return std::regex_match(line, stamp) ? line.substr(line.find("] ") + 2) : line;
}

}  // namespace

HelperProcess::Child::~Child() {
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

HelperProcess::HelperProcess(bool startNow) {
    fs::create_directories(systemRoot());
    fs::create_directories(folder() / "bin");
    fs::copy_file(VELMORA_HELPER_PROGRAM, folder() / "bin" / "velmora-helper");
    const fs::path pmset = folder() / "libexec" / "velmora" / "pmset";
    putFile(pmset, std::string(kFakePmset));
    fs::permissions(pmset, fs::perms(0755));
    if (startNow && !start()) {
        throw std::runtime_error("the helper did not start");
    }
}

bool HelperProcess::start() {
    const std::size_t linesBefore = splitLines(fileBytes(logPath())).size();
    // Tests run one at a time, so the test program's own environment can carry the root.
    ::setenv("VELMORA_SYSTEM_ROOT", systemRoot().c_str(), 1);
    std::string name = (folder() / "bin" / "velmora-helper").string();
    char* argv[] = {name.data(), nullptr};
    if (::posix_spawn(&child_.pid, name.c_str(), nullptr, nullptr, argv, environ) != 0) {
        throw std::runtime_error("cannot start " + name);
    }
    bool exited = false;
    const bool started = eventually([&] {
        exited = ::waitpid(child_.pid, nullptr, WNOHANG) == child_.pid;
        const Lines lines = splitLines(fileBytes(logPath()));
        return exited ||
               (lines.size() > linesBefore && messageOf(lines.back()) == "helper 2 started" &&
                fs::exists(socketPath()));
    });
    child_.pid = exited ? 0 : child_.pid;
    return started && !exited;
}

Lines HelperProcess::messages(std::size_t count) const {
    Lines lines;
    eventually([&] { return (lines = splitLines(fileBytes(logPath()))).size() > count; });
    for (std::string& line : lines) {
        EXPECT_NE(messageOf(line), line) << "no stamp: " << line;
        line = messageOf(line);
    }
    return Lines(lines.begin() + 1, lines.end());
}

Lines HelperProcess::pmsetRuns() const {
    return splitLines(fileBytes(systemRoot() / "pmset-runs"));
}

std::vector<int> HelperProcess::footprint() const {
    const fs::path self = "/proc/" + std::to_string(pid());
    // The kernel here may lack the per-task children lists, so look for our parent id instead.
    int children = 0;
    std::error_code error;
    for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        std::ifstream stat(it->path() / "stat");
        std::string line;
        pid_t parent = 0;
        const auto nameEnd = std::getline(stat, line) ? line.rfind(") ") : std::string::npos;
        children += nameEnd != std::string::npos &&
                    std::sscanf(line.c_str() + nameEnd + 2, "%*c %d", &parent) == 1 &&
                    parent == pid();
    }
    return {countEntries(self / "fd"), children, countEntries(self / "task")};
}

bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kWaitTimeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

std::string exchangeBytes(const fs::path& socket, std::string_view bytes, AfterSending after) {
    const UniqueFd fd = openUnixSocket(SocketBlocking::blocking);
    const auto address = unixSocketAddress(socket);
    if (!fd || !address ||
        ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &kReplyTimeout, sizeof kReplyTimeout) ||
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address)) {
        throw std::runtime_error("cannot connect to " + socket.string());
    }
    ::send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);  // it may hang up early
    if (after == AfterSending::shutDownWriting) {
        ::shutdown(fd.get(), SHUT_WR);
    }
    std::string received;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::recv(fd.get(), buffer, sizeof buffer, 0)) > 0) {
        received.append(buffer, static_cast<std::size_t>(got));
    }
    if (got < 0 && errno == EAGAIN) {
        throw std::runtime_error("the helper neither answered nor closed the connection");
    }
    return received;
}

HelperReply call(const fs::path& socket, const HelperRequest& request) {
    const std::string received = exchangeBytes(socket, *encodeRequest(request));
    if (received.empty() || received.find('\n') != received.size() - 1) {
        throw std::runtime_error("not exactly one reply line: \"" + received + "\"");
    }
    const auto reply =
        parseReply(std::string_view(received).substr(0, received.size() - 1), request.method);
    return reply ? reply.value() : throw std::runtime_error(reply.error());
}

}  // namespace velmora::test
