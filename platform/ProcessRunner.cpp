// Child processes through posix_spawn, with both output pipes drained together so neither fills up.
#include "platform/ProcessRunner.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/UniqueFd.hpp"

extern char** environ;  // NOLINT: POSIX declares it only here

namespace velmora {
namespace {

constexpr int firstNonStandardFd = 3;
constexpr std::size_t readChunkSize = 64 * 1024;
// How often a child with a deadline is checked for having exited once its pipes are closed.
constexpr auto exitPollInterval = std::chrono::milliseconds(1);
constexpr const char* nullDevice = "/dev/null";

std::string errorText(int error) {
    return std::generic_category().message(error);
}

[[noreturn]] void throwSystemError(int error, const char* what) {
    throw std::system_error(error, std::generic_category(), what);
}

// Moves a descriptor above 0–2: when our own standard descriptors are closed, a pipe end could
// land there and be clobbered by the child's redirections before it is duplicated.
UniqueFd aboveStandardFds(UniqueFd fd) {
    if (fd.get() >= firstNonStandardFd) {
        return fd;
    }
    const int moved = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, firstNonStandardFd);
    if (moved < 0) {
        throw ProcessLaunchError("Could not prepare a pipe for a child process: " +
                                 errorText(errno));
    }
    return UniqueFd(moved);
}

struct Pipe {
    UniqueFd readEnd;
    UniqueFd writeEnd;
};

Pipe makePipe() {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC) != 0) {
        throw ProcessLaunchError("Could not create a pipe for a child process: " +
                                 errorText(errno));
    }
    Pipe pipe{UniqueFd(fds[0]), UniqueFd(fds[1])};
    pipe.readEnd = aboveStandardFds(std::move(pipe.readEnd));
    pipe.writeEnd = aboveStandardFds(std::move(pipe.writeEnd));
    return pipe;
}

class SpawnFileActions {
  public:
    SpawnFileActions() {
        if (const int error = posix_spawn_file_actions_init(&actions_); error != 0) {
            throw ProcessLaunchError("Could not prepare a child process: " + errorText(error));
        }
    }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;
    ~SpawnFileActions() { posix_spawn_file_actions_destroy(&actions_); }

    void openNull(int fd, int flags) {
        check(posix_spawn_file_actions_addopen(&actions_, fd, nullDevice, flags, 0));
    }
    void duplicate(int from, int to) {
        check(posix_spawn_file_actions_adddup2(&actions_, from, to));
    }
    void closeFrom(int fd) { check(posix_spawn_file_actions_addclosefrom_np(&actions_, fd)); }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

  private:
    static void check(int error) {
        if (error != 0) {
            throw ProcessLaunchError("Could not prepare a child process: " + errorText(error));
        }
    }
    posix_spawn_file_actions_t actions_{};
};

// The child starts with no blocked signals and default handlers, whatever this process set up.
class SpawnAttributes {
  public:
    SpawnAttributes() {
        if (const int error = posix_spawnattr_init(&attributes_); error != 0) {
            throw ProcessLaunchError("Could not prepare a child process: " + errorText(error));
        }
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setsigmask(&attributes_, &none);
        posix_spawnattr_setsigdefault(&attributes_, &all);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
    const posix_spawnattr_t* get() const { return &attributes_; }

  private:
    posix_spawnattr_t attributes_{};
};

// A started child that has not been reaped yet; leaving scope early kills and reaps it.
class Child {
  public:
    explicit Child(pid_t pid) : pid_(pid) {}
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (pid_ > 0) {
            kill();
            while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
    }

    void kill() const { ::kill(pid_, SIGKILL); }

    int wait() {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0) {
            if (errno != EINTR) {
                const int error = errno;
                pid_ = 0;
                throwSystemError(error, "waitpid");
            }
        }
        pid_ = 0;
        return status;
    }

    std::optional<int> tryWait() {
        int status = 0;
        const pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
        if (reaped == 0 || (reaped < 0 && errno == EINTR)) {
            return std::nullopt;
        }
        if (reaped < 0) {
            const int error = errno;
            pid_ = 0;
            throwSystemError(error, "waitpid");
        }
        pid_ = 0;
        return status;
    }

  private:
    pid_t pid_;
};

std::string launchFailure(const std::string& program, int error) {
    switch (error) {
        case ENOENT:
            return "The program “" + program + "” doesn’t exist.";
        case EACCES:
            return "The program “" + program + "” can’t be run: permission denied.";
        case ENOEXEC:
            return "The file “" + program + "” is not a program this system can run.";
        default:
            return "The program “" + program + "” could not be started: " + errorText(error) + ".";
    }
}

// Copies of the strings with room for the terminating null pointer that exec wants.
std::vector<char*> nullTerminated(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (auto& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// A plain time point rather than an optional one: GCC 12's optimiser misreads the latter as used
// uninitialised.
using Deadline = std::chrono::steady_clock::time_point;
constexpr Deadline noDeadline = Deadline::max();

// Milliseconds poll may wait before the deadline; nothing when it has passed.
std::optional<int> pollWait(const Deadline& deadline) {
    if (deadline == noDeadline) {
        return -1;
    }
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) {
        return std::nullopt;
    }
    const auto millis = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<long long>(millis, INT_MAX));
}

// Reads every captured pipe until each reaches its end; false when the deadline came first.
bool drain(std::vector<std::pair<UniqueFd, std::string*>>& streams, const Deadline& deadline) {
    std::vector<pollfd> polled;
    for (const auto& stream : streams) {
        polled.push_back(pollfd{stream.first.get(), POLLIN, 0});
    }
    std::size_t open = polled.size();
    std::vector<char> buffer(readChunkSize);
    while (open > 0) {
        const auto wait = pollWait(deadline);
        if (!wait) {
            return false;
        }
        if (::poll(polled.data(), polled.size(), *wait) < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwSystemError(errno, "poll");
        }
        for (std::size_t i = 0; i < polled.size(); ++i) {
            if (polled[i].fd < 0 || polled[i].revents == 0) {
                continue;
            }
            const ssize_t count = ::read(polled[i].fd, buffer.data(), buffer.size());
            if (count > 0) {
                streams[i].second->append(buffer.data(), static_cast<std::size_t>(count));
            } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
                streams[i].first.reset();
                polled[i].fd = -1;  // poll skips negative descriptors
                --open;
            }
        }
    }
    return true;
}

}  // namespace

ProcessResult ProcessRunner::run(const std::string& program,
                                 const std::vector<std::string>& arguments,
                                 const ProcessOptions& options) {
    if (program.empty() || program.front() != '/') {
        throw ProcessLaunchError("The program “" + program + "” is not given by an absolute path.");
    }
    const Deadline deadline =
        options.timeout ? std::chrono::steady_clock::now() + *options.timeout : noDeadline;

    std::vector<std::string> argumentStrings{program};
    argumentStrings.insert(argumentStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = nullTerminated(argumentStrings);
    std::vector<std::string> environmentStrings =
        options.environment.value_or(std::vector<std::string>{});
    std::vector<char*> envp = nullTerminated(environmentStrings);

    ProcessResult result;
    SpawnFileActions actions;
    actions.openNull(STDIN_FILENO, O_RDONLY);
    std::vector<std::pair<UniqueFd, std::string*>> captured;
    std::vector<UniqueFd> childEnds;
    const std::array<std::pair<int, std::pair<ProcessOutput, std::string*>>, 2> outputs{{
        {STDOUT_FILENO, {options.standardOutput, &result.standardOutput}},
        {STDERR_FILENO, {options.standardError, &result.standardError}},
    }};
    for (const auto& [fd, how] : outputs) {
        if (how.first == ProcessOutput::discard) {
            actions.openNull(fd, O_WRONLY);
            continue;
        }
        Pipe pipe = makePipe();
        actions.duplicate(pipe.writeEnd.get(), fd);
        captured.emplace_back(std::move(pipe.readEnd), how.second);
        childEnds.push_back(std::move(pipe.writeEnd));
    }
    // Everything else we hold, CLOEXEC or not (other threads may open descriptors without it).
    actions.closeFrom(firstNonStandardFd);
    SpawnAttributes attributes;

    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, program.c_str(), actions.get(), attributes.get(),
                                    argv.data(), options.environment ? envp.data() : environ);
    if (error != 0) {
        throw ProcessLaunchError(launchFailure(program, error));
    }
    Child child(pid);
    // Only the child may hold the write ends, or the pipes never reach their end.
    childEnds.clear();

    bool finished = drain(captured, deadline);
    captured.clear();
    std::optional<int> status;
    while (finished && !status) {
        if (deadline == noDeadline) {
            status = child.wait();
        } else if (!(status = child.tryWait())) {
            if (!pollWait(deadline)) {
                finished = false;
            } else {
                std::this_thread::sleep_for(exitPollInterval);
            }
        }
    }
    if (!finished) {
        child.kill();
        result.timedOut = true;
        status = child.wait();
    }

    if (WIFSIGNALED(*status)) {
        result.ending = ProcessResult::Ending::signalled;
        result.signal = WTERMSIG(*status);
    } else {
        result.ending = ProcessResult::Ending::exited;
        result.exitStatus = WEXITSTATUS(*status);
    }
    return result;
}

}  // namespace velmora
