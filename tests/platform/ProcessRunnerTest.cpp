// The process runner against real children: full pipes, launch failures, signals, leaked
// descriptors.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/KillallServiceController.hpp"
#include "platform/ProcessRunner.hpp"

namespace velmora {
namespace {

const std::string shell = "/bin/sh";
constexpr std::size_t oneMiB = 1024 * 1024;

ProcessResult runShell(const std::string& script, const ProcessOptions& options = {}) {
    return ProcessRunner::run(shell, {"-c", script}, options);
}

TEST(ProcessRunner, CapturesBothStreamsAndTheExitStatus) {
    const auto result = runShell("printf out; printf err >&2; exit 3");
    EXPECT_EQ(result.ending, ProcessResult::Ending::exited);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.standardOutput, "out");
    EXPECT_EQ(result.standardError, "err");
}

TEST(ProcessRunner, ArgumentsReachTheChildUnchangedWithoutAShell) {
    const auto result = ProcessRunner::run("/usr/bin/printf", {"[%s]", "a b", "$HOME", "*", ""});
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(result.standardOutput, "[a b][$HOME][*][]");
}

// Standard error is filled first: a runner reading standard output to its end before looking at
// standard error would wait forever on a child blocked on its full error pipe.
TEST(ProcessRunner, DrainsAChildThatFillsBothPipes) {
    const auto result = runShell("yes e | head -c 1048576 >&2; yes o | head -c 1048576");
    ASSERT_TRUE(result.succeeded()) << result.standardError.substr(0, 200);
    ASSERT_EQ(result.standardOutput.size(), oneMiB);
    ASSERT_EQ(result.standardError.size(), oneMiB);
    EXPECT_EQ(result.standardOutput.find_first_not_of("o\n"), std::string::npos);
    EXPECT_EQ(result.standardError.find_first_not_of("e\n"), std::string::npos);
}

TEST(ProcessRunner, DiscardedStreamsAreNotCollectedAndDoNotBlock) {
    const auto result = runShell("yes | head -c 1048576; printf kept >&2",
                                 {.standardOutput = ProcessOutput::discard});
    EXPECT_TRUE(result.succeeded());
    EXPECT_TRUE(result.standardOutput.empty());
    EXPECT_EQ(result.standardError, "kept");
}

TEST(ProcessRunner, StandardInputIsEmpty) {
    const auto result = ProcessRunner::run("/bin/cat", {});
    EXPECT_TRUE(result.succeeded());
    EXPECT_TRUE(result.standardOutput.empty());
}

TEST(ProcessRunner, EnvironmentCanBeReplaced) {
    const auto result =
        ProcessRunner::run("/usr/bin/env", {}, {.environment = std::vector<std::string>{"A=1"}});
    EXPECT_EQ(result.standardOutput, "A=1\n");
}

TEST(ProcessRunner, LaunchFailuresThrowWithAReadableReason) {
    try {
        ProcessRunner::run("/usr/bin/velmora-no-such-program", {});
        FAIL() << "a missing program was started";
    } catch (const ProcessLaunchError& error) {
        EXPECT_NE(std::string(error.what()).find("/usr/bin/velmora-no-such-program"),
                  std::string::npos);
        EXPECT_NE(std::string(error.what()).find("doesn’t exist"), std::string::npos);
    }
    EXPECT_THROW(ProcessRunner::run("sh", {"-c", "true"}), ProcessLaunchError);

    const auto plain = std::filesystem::temp_directory_path() /
                       ("velmora-not-executable-" + std::to_string(::getpid()));
    std::ofstream(plain) << "#!/bin/sh\necho ran\n";
    std::filesystem::permissions(
        plain, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // Root may execute a file without execute bits only when some execute bit is set: none is.
    EXPECT_THROW(ProcessRunner::run(plain.string(), {}), ProcessLaunchError);
    std::filesystem::remove(plain);
}

TEST(ProcessRunner, ReportsTheSignalThatEndedTheChild) {
    const auto result = runShell("kill -KILL $$");
    EXPECT_EQ(result.ending, ProcessResult::Ending::signalled);
    EXPECT_EQ(result.signal, SIGKILL);
    EXPECT_FALSE(result.timedOut);
    EXPECT_FALSE(result.succeeded());
}

TEST(ProcessRunner, SignalsIgnoredHereAreDefaultInTheChild) {
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGTERM, &ignore, &previous);
    const auto result = runShell("kill -TERM $$; exit 0");
    ::sigaction(SIGTERM, &previous, nullptr);
    EXPECT_EQ(result.ending, ProcessResult::Ending::signalled);
    EXPECT_EQ(result.signal, SIGTERM);
}

TEST(ProcessRunner, KillsAChildPastItsDeadline) {
    const auto started = std::chrono::steady_clock::now();
    // The child keeps its pipes open, then a second case closes them and lingers.
    auto result =
        ProcessRunner::run("/bin/sleep", {"30"}, {.timeout = std::chrono::milliseconds(100)});
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.ending, ProcessResult::Ending::signalled);
    EXPECT_EQ(result.signal, SIGKILL);
    result = runShell("exec >&- 2>&-; sleep 30", {.timeout = std::chrono::milliseconds(100)});
    EXPECT_TRUE(result.timedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

    result = runShell("echo quick", {.timeout = std::chrono::seconds(10)});
    EXPECT_FALSE(result.timedOut);
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(result.standardOutput, "quick\n");
}

TEST(ProcessRunner, TheChildSeesNoDescriptorOfOursBeyondTheStandardThree) {
    constexpr int leaked = 77;
    const int fd = ::open("/dev/null", O_RDONLY);  // deliberately without O_CLOEXEC
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::dup2(fd, leaked), leaked);
    ::close(fd);
    const auto result = ProcessRunner::run("/bin/ls", {"/proc/self/fd"});
    ::close(leaked);
    ASSERT_TRUE(result.succeeded()) << result.standardError;
    std::istringstream names(result.standardOutput);
    std::vector<std::string> listed;
    for (std::string name; std::getline(names, name);) {
        listed.push_back(name);
    }
    EXPECT_EQ(std::count(listed.begin(), listed.end(), std::to_string(leaked)), 0);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "0"), 1);
    // ls itself holds 0–2 and the directory it lists: nothing else.
    EXPECT_LE(listed.size(), 4U) << result.standardOutput;
}

// A running process with a name nothing else on the machine has, to be terminated by killall.
class NamedSleeper {
  public:
    NamedSleeper() {
        name_ = "vsleep" + std::to_string(::getpid() % 100000);
        path_ = std::filesystem::temp_directory_path() / name_;
        std::filesystem::copy_file("/bin/sleep", path_,
                                   std::filesystem::copy_options::overwrite_existing);
        std::string program = path_.string();
        std::string seconds = "30";
        char* argv[] = {program.data(), seconds.data(), nullptr};
        if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, nullptr) != 0) {
            pid_ = 0;
        }
    }
    ~NamedSleeper() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        std::filesystem::remove(path_);
    }
    const std::string& name() const { return name_; }
    bool started() const { return pid_ > 0; }
    // The status of the process once it has ended.
    int waitForEnd() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = 0;
        return status;
    }

  private:
    std::string name_;
    std::filesystem::path path_;
    pid_t pid_ = 0;
};

TEST(KillallServiceController, TerminatesTheNamedProcess) {
    NamedSleeper sleeper;
    ASSERT_TRUE(sleeper.started());
    // killall matches on the running program's name, which exec sets shortly after spawn returns.
    ::usleep(100 * 1000);
    KillallServiceController().restart(sleeper.name());
    const int status = sleeper.waitForEnd();
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

TEST(KillallServiceController, ANameMatchingNothingIsNotAnError) {
    EXPECT_NO_THROW(KillallServiceController().restart("velmora-no-such-process"));
}

TEST(KillallServiceController, RefusesNamesKillallWouldReadAsOptions) {
    EXPECT_THROW(KillallServiceController().restart("-9"), std::invalid_argument);
    EXPECT_THROW(KillallServiceController().restart(""), std::invalid_argument);
}

TEST(KillallServiceController, AMissingKillallIsALaunchError) {
    EXPECT_THROW(KillallServiceController("/nonexistent/killall").restart("Dock"),
                 ProcessLaunchError);
}

}  // namespace
}  // namespace velmora
