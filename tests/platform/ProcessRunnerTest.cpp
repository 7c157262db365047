// The process runner against real children: full pipes, launch failures, signals, leaked
// descriptors.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/KillallServiceController.hpp"
#include "platform/ProcessRunner.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
constexpr std::size_t oneMiB = 1024 * 1024;

ProcessResult runShell(const std::string& script, const ProcessOptions& options = {}) {
    return ProcessRunner::run("/bin/sh", {"-c", script}, options);
}

TEST(ProcessRunner, PassesArgumentsAndEnvironmentAsGivenAndCapturesWhatComesBack) {
    auto result = runShell("printf out; printf err >&2; exit 3");
    EXPECT_EQ(result.ending, ProcessResult::Ending::exited);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.standardOutput + "|" + result.standardError, "out|err");
    result = ProcessRunner::run("/usr/bin/printf", {"[%s]", "a b", "$HOME", "*", ""});
    EXPECT_EQ(result.standardOutput, "[a b][$HOME][*][]");
    result =
        ProcessRunner::run("/usr/bin/env", {}, {.environment = std::vector<std::string>{"A=1"}});
    EXPECT_EQ(result.standardOutput, "A=1\n");
    result = ProcessRunner::run("/bin/cat", {});  // standard input is empty, not ours
    EXPECT_TRUE(result.succeeded() && result.standardOutput.empty());
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

    const auto discarded = runShell("yes | head -c 1048576; printf kept >&2",
                                    {.standardOutput = ProcessOutput::discard});
    EXPECT_TRUE(discarded.succeeded());
    EXPECT_TRUE(discarded.standardOutput.empty());
    EXPECT_EQ(discarded.standardError, "kept");
}

TEST(ProcessRunner, LaunchFailuresThrowWithAReadableReason) {
    try {
        ProcessRunner::run("/usr/bin/velmora-no-such-program", {});
        FAIL() << "a missing program was started";
    } catch (const ProcessLaunchError& error) {
        EXPECT_STREQ(error.what(), "The program “/usr/bin/velmora-no-such-program” doesn’t exist.");
    }
    EXPECT_THROW(ProcessRunner::run("sh", {"-c", "true"}), ProcessLaunchError);
    const testing::TempFolder folder("velmora-runner");
    const fs::path plain = folder.path() / "not-executable";
    std::ofstream(plain) << "#!/bin/sh\necho ran\n";
    // Root may execute a file without execute bits only when some execute bit is set: none is.
    fs::permissions(plain, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_THROW(ProcessRunner::run(plain.string(), {}), ProcessLaunchError);
}

TEST(ProcessRunner, ReportsTheSignalThatEndedTheChildEvenOneIgnoredHere) {
    auto result = runShell("kill -KILL $$");
    EXPECT_EQ(result.ending, ProcessResult::Ending::signalled);
    EXPECT_EQ(result.signal, SIGKILL);
    EXPECT_FALSE(result.timedOut || result.succeeded());

    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGTERM, &ignore, &previous);
    result = runShell("kill -TERM $$; exit 0");
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
    EXPECT_TRUE(result.succeeded() && !result.timedOut);
    EXPECT_EQ(result.standardOutput, "quick\n");
}

TEST(ProcessRunner, TheChildSeesNoDescriptorOfOursBeyondTheStandardThree) {
    const int fd = ::open("/dev/null", O_RDONLY);  // deliberately without O_CLOEXEC
    ASSERT_GE(fd, 0);
    const auto result = ProcessRunner::run("/bin/ls", {"/proc/self/fd"});
    ::close(fd);
    // ls itself holds 0–2 and the directory it lists: nothing else.
    EXPECT_EQ(result.standardOutput, "0\n1\n2\n3\n");
}

TEST(KillallServiceController, TerminatesTheNamedProcessAndRefusesOptionLikeNames) {
    // A name nothing else on the machine has.
    const testing::TempFolder folder("velmora-killall");
    const std::string name = "vsleep" + std::to_string(::getpid() % 100000);
    std::string program = (folder.path() / name).string();
    fs::copy_file("/bin/sleep", program);
    std::string seconds = "30";
    char* argv[] = {program.data(), seconds.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, nullptr), 0);
    // killall matches on the running program's name, which exec sets shortly after spawn returns.
    ::usleep(100 * 1000);
    KillallServiceController().restart(name);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);

    EXPECT_NO_THROW(KillallServiceController().restart("velmora-no-such-process"));
    EXPECT_THROW(KillallServiceController().restart("-9"), std::invalid_argument);
    EXPECT_THROW(KillallServiceController().restart(""), std::invalid_argument);
    EXPECT_THROW(KillallServiceController("/nonexistent/killall").restart("Dock"),
                 ProcessLaunchError);
}

}  // namespace
}  // namespace velmora
