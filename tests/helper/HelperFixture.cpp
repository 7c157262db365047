// Starting, watching and stopping the helper under test.
#include "tests/helper/HelperFixture.hpp"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/UniqueFd.hpp"

extern char** environ;  // NOLINT: POSIX declares it only here

namespace velmora::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr auto kWaitTimeout = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(5);
// Longer than the helper's own wait for a request, so its closing is what the test sees.
constexpr int kReplyTimeoutMs = 15000;

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
    std::error_code error;
    int count = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        ++count;
    }
    return count;
}

UniqueFd connectTo(const fs::path& socket) {
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
    if (!fd || ::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        throw std::runtime_error("cannot connect to " + socket.string() + ": " +
                                 std::strerror(errno));
    }
    return fd;
}

pid_t spawnHelper(const fs::path& program, const fs::path& systemRoot) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "VELMORA_SYSTEM_ROOT=", 20) != 0) {
            environment.emplace_back(*entry);
        }
    }
    environment.push_back("VELMORA_SYSTEM_ROOT=" + systemRoot.string());
    std::vector<char*> envp;
    for (auto& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::string name = program.string();
    char* argv[] = {name.data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, name.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
        throw std::runtime_error("cannot start " + name);
    }
    return pid;
}

}  // namespace

HelperProcess::HelperProcess() {
    std::string pattern = (fs::temp_directory_path() / "velmora-helper-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    folder_ = pattern;
    fs::permissions(folder_, fs::perms(0755));
    fs::create_directories(folder_ / "bin");
    fs::create_directories(fakePmset().parent_path());
    fs::create_directories(systemRoot());
    fs::copy_file(VELMORA_HELPER_PROGRAM, folder_ / "bin" / "velmora-helper");
    writeFile(fakePmset(), kFakePmset, fs::perms(0755));
}

HelperProcess::~HelperProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

bool HelperProcess::start() {
    pid_ = spawnHelper(folder_ / "bin" / "velmora-helper", systemRoot());
    const auto deadline = Clock::now() + kStartTimeout;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = 0;
            return false;
        }
        for (const auto& line : logLines()) {
            if (messageOf(line) == "helper 2 started" && fs::exists(socketPath())) {
                return true;
            }
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return false;
}

int HelperProcess::runSecondHelper() const {
    const pid_t other = spawnHelper(folder_ / "bin" / "velmora-helper", systemRoot());
    int status = 0;
    ::waitpid(other, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void HelperProcess::pause() const {
    ::kill(pid_, SIGSTOP);
}
void HelperProcess::resume() const {
    ::kill(pid_, SIGCONT);
}

fs::path HelperProcess::socketPath() const {
    return systemRoot() / "var/run/velmora/com.velmora.app.helper.sock";
}

fs::path HelperProcess::logPath() const {
    return systemRoot() / "Library/Logs/Velmora-helper.log";
}

std::vector<std::string> HelperProcess::logLines() const {
    return splitLines(readFile(logPath()));
}

std::vector<std::string> HelperProcess::waitForLogLines(std::size_t count) const {
    const auto deadline = Clock::now() + kWaitTimeout;
    auto lines = logLines();
    while (lines.size() < count && Clock::now() < deadline) {
        std::this_thread::sleep_for(kPollInterval);
        lines = logLines();
    }
    return lines;
}

std::vector<std::string> HelperProcess::pmsetRuns() const {
    return splitLines(readFile(systemRoot() / "pmset-runs"));
}

int HelperProcess::openDescriptors() const {
    return countEntries("/proc/" + std::to_string(pid_) + "/fd");
}

int HelperProcess::childProcesses() const {
    // The kernel here may lack the per-task children lists, so look for our parent id instead.
    int count = 0;
    std::error_code error;
    for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        const std::string stat = readFile(it->path() / "stat");
        const auto nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos) {
            continue;
        }
        std::istringstream fields(stat.substr(nameEnd + 1));
        std::string state;
        pid_t parent = 0;
        if (fields >> state >> parent && parent == pid_) {
            ++count;
        }
    }
    return count;
}

int HelperProcess::threads() const {
    return countEntries("/proc/" + std::to_string(pid_) + "/task");
}

bool HelperProcess::settlesTo(int descriptors, int children, int threadCount) const {
    const auto deadline = Clock::now() + kWaitTimeout;
    while (Clock::now() < deadline) {
        if (openDescriptors() == descriptors && childProcesses() == children &&
            threads() == threadCount) {
            return true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return false;
}

bool HelperProcess::settlesToIdle() const {
    constexpr int kIdleThreads = 1;
    const auto deadline = Clock::now() + kWaitTimeout;
    while (Clock::now() < deadline) {
        if (threads() == kIdleThreads && childProcesses() == 0) {
            return true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return false;
}

std::string exchangeBytes(const fs::path& socket, std::string_view bytes, AfterSending after) {
    const UniqueFd fd = connectTo(socket);
    while (!bytes.empty()) {
        const ssize_t put = ::send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (put <= 0) {
            break;  // the helper hung up early, which is what some tests expect
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    if (after == AfterSending::shutDownWriting) {
        ::shutdown(fd.get(), SHUT_WR);
    }
    std::string received;
    char buffer[4096];
    for (;;) {
        pollfd entry{fd.get(), POLLIN, 0};
        if (::poll(&entry, 1, kReplyTimeoutMs) <= 0) {
            throw std::runtime_error("the helper neither answered nor closed the connection");
        }
        const ssize_t got = ::recv(fd.get(), buffer, sizeof buffer, 0);
        if (got <= 0) {
            return received;
        }
        received.append(buffer, static_cast<std::size_t>(got));
    }
}

Decoded<HelperReply> call(const fs::path& socket, const HelperRequest& request) {
    const std::string received = exchangeBytes(socket, *encodeRequest(request));
    if (received.empty() || received.back() != '\n' || received.find('\n') != received.size() - 1) {
        return Decoded<HelperReply>::failure("not exactly one reply line: \"" + received + "\"");
    }
    return parseReply(std::string_view(received).substr(0, received.size() - 1), request.method);
}

bool hasStamp(const std::string& line) {
    static const std::regex stamp(R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \+0000\] .*$)");
    return std::regex_match(line, stamp);
}

std::string messageOf(const std::string& line) {
    if (!hasStamp(line)) {
        return line;
    }
    return line.substr(line.find("] ") + 2);
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
