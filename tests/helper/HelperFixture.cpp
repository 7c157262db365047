// Starting, watching and stopping the helper under test.
#include "tests/helper/HelperFixture.hpp"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "platform/UnixSocket.hpp"

extern char** environ;  // NOLINT: POSIX declares it only here

namespace velmora::test {

namespace {

constexpr auto kWaitTimeout = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(5);
// Longer than the helper's own wait for a request, so its closing is what the test sees.
constexpr auto kReplyTimeout = std::chrono::seconds(15);

// Records its arguments, then behaves as the key asks: displaysleep fails with a message,
// disksleep fails silently, womp floods both outputs, -g reports sleep disabled.
constexpr std::string_view kFakePmset = R"(#!/bin/sh
line="$#"
for a in "$@"; do line="$line [$a]"; done
printf '%s\n' "$line" >> "$VELMORA_SYSTEM_ROOT/pmset-runs"
case "$2" in
  displaysleep) printf '  displaysleep: refused by the fake pmset\n\n' >&2; exit 1 ;;
  disksleep) exit 3 ;;
  womp) head -c 2000000 /dev/zero; head -c 2000000 /dev/zero >&2; exit 0 ;;
esac
if [ "$1" = "-g" ]; then printf 'System-wide power settings:\n SleepDisabled\t\t1\n'; fi
exit 0
)";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
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

pid_t spawnHelper(const fs::path& folder) {
    // Tests run one at a time, so the test program's own environment can carry the root.
    ::setenv("VELMORA_SYSTEM_ROOT", (folder / "system").c_str(), 1);
    std::string name = (folder / "bin" / "velmora-helper").string();
    char* argv[] = {name.data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, name.c_str(), nullptr, nullptr, argv, environ) != 0) {
        throw std::runtime_error("cannot start " + name);
    }
    return pid;
}

}  // namespace

HelperProcess::HelperProcess() : folder_("velmora-helper", testing::TempFolder::Reach::everyone) {
    fs::create_directories(folder() / "bin");
    fs::create_directories(fakePmset().parent_path());
    fs::create_directories(systemRoot());
    fs::copy_file(VELMORA_HELPER_PROGRAM, folder() / "bin" / "velmora-helper");
    writeFile(fakePmset(), kFakePmset, fs::perms(0755));
}

HelperProcess::~HelperProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

bool HelperProcess::start() {
    const std::size_t linesBefore = logLines().size();
    pid_ = spawnHelper(folder());
    bool exited = false;
    const bool started = eventually([&] {
        exited = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
        const auto lines = logLines();
        return exited ||
               (lines.size() > linesBefore && messageOf(lines.back()) == "helper 2 started" &&
                fs::exists(socketPath()));
    });
    if (exited) {
        pid_ = 0;
    }
    return started && !exited;
}

std::vector<std::string> HelperProcess::logLines() const {
    return splitLines(readFile(logPath()));
}

std::vector<std::string> HelperProcess::messages(std::size_t count) const {
    eventually([&] { return logLines().size() > count; });
    std::vector<std::string> result;
    for (const std::string& line : logLines()) {
        EXPECT_NE(messageOf(line), line) << "no stamp: " << line;
        result.push_back(messageOf(line));
    }
    result.erase(result.begin());
    return result;
}

std::vector<std::string> HelperProcess::pmsetRuns() const {
    return splitLines(readFile(systemRoot() / "pmset-runs"));
}

std::vector<int> HelperProcess::footprint() const {
    const fs::path self = "/proc/" + std::to_string(pid_);
    // The kernel here may lack the per-task children lists, so look for our parent id instead.
    int children = 0;
    std::error_code error;
    for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        const std::string stat = readFile(it->path() / "stat");
        const auto nameEnd = stat.rfind(')');
        std::istringstream fields(stat.substr(nameEnd == std::string::npos ? 0 : nameEnd + 1));
        std::string state;
        pid_t parent = 0;
        children += nameEnd != std::string::npos && fields >> state >> parent && parent == pid_;
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
    const auto deadline = SocketClock::now() + kReplyTimeout;
    const UniqueFd fd = openUnixSocket(SocketBlocking::nonBlocking);
    if (!fd || !connectUnixSocket(fd.get(), socket, deadline).ok()) {
        throw std::runtime_error("cannot connect to " + socket.string());
    }
    sendAllBefore(fd.get(), bytes, deadline);  // the helper may hang up early, as some tests expect
    if (after == AfterSending::shutDownWriting) {
        ::shutdown(fd.get(), SHUT_WR);
    }
    std::string received;
    char buffer[4096];
    while (waitForSocket(fd.get(), POLLIN, deadline).ok()) {
        const ssize_t got = ::recv(fd.get(), buffer, sizeof buffer, 0);
        if (got <= 0) {
            return received;
        }
        received.append(buffer, static_cast<std::size_t>(got));
    }
    throw std::runtime_error("the helper neither answered nor closed the connection");
}

Decoded<HelperReply> call(const fs::path& socket, const HelperRequest& request) {
    const std::string received = exchangeBytes(socket, *encodeRequest(request));
    if (received.empty() || received.find('\n') != received.size() - 1) {
        return Decoded<HelperReply>::failure("not exactly one reply line: \"" + received + "\"");
    }
    return parseReply(std::string_view(received).substr(0, received.size() - 1), request.method);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, std::string_view text, fs::perms perms) {
    std::ofstream(path, std::ios::binary) << text;
    fs::permissions(path, perms);
}

}  // namespace velmora::test
