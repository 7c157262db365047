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
#include "platform/UniqueFd.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {
namespace {

constexpr std::size_t oneMiB = 1024 * 1024;
constexpr std::chrono::milliseconds shortDeadline{100};

ProcessResult runShell(const std::string& script, const ProcessOptions& options = {}) {
    return ProcessRunner::run("/bin/sh", {"-c", script}, options);
}

TEST(ProcessRunner, PassesArgumentsAsGivenNoDescriptorOfOursAndRefusesMissingPrograms) {
    auto result = ProcessRunner::run("/usr/bin/printf", {"[%s]", "a b", "$HOME", "*", ""},
                                     {.environment = std::vector<std::string>{}});
    EXPECT_EQ(result.standardOutput, "[a b][$HOME][*][]");
    result = runShell("printf \"$A\"; printf err >&2; exit 3",
                      {.environment = std::vector<std::string>{"A=1"}});
    EXPECT_EQ(result.ending, ProcessResult::Ending::exited);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.standardOutput + "|" + result.standardError, "1|err");
    try {
        ProcessRunner::run("/usr/bin/velmora-no-such-program", {});
        FAIL() << "a missing program was started";
    } catch (const ProcessLaunchError& error) {
        EXPECT_STREQ(error.what(), "The program “/usr/bin/velmora-no-such-program” doesn’t exist.");
    }
    EXPECT_THROW(ProcessRunner::run("sh", {"-c", "true"}), ProcessLaunchError);
    const int fd = ::open("/dev/null", O_RDONLY);  // deliberately without O_CLOEXEC
    result = ProcessRunner::run("/bin/ls", {"/proc/self/fd"});
    ::close(fd);
    EXPECT_EQ(result.standardOutput, "0\n1\n2\n3\n");  // 3: the folder ls lists
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

TEST(ProcessRunner, ReportsTheSignalThatEndedTheChildEvenOneIgnoredHereAndKillsPastTheDeadline) {
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
    EXPECT_EQ(result.signal, SIGTERM);

    const auto started = std::chrono::steady_clock::now();
    result = ProcessRunner::run("/bin/sleep", {"30"}, {.timeout = shortDeadline});
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.signal, SIGKILL);
    // Pipes closed early, then lingering. The lingering program is the child itself: the runner
    // kills only its child, and a sleep started by the shell would outlive the test by half a
    // minute.
    EXPECT_TRUE(runShell("exec >&- 2>&-; exec sleep 30", {.timeout = shortDeadline}).timedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST(KillallServiceController, TerminatesTheNamedProcessAndRefusesOptionLikeNames) {
    const testing::TempFolder folder("velmora-killall");
    const std::string name = "vsleep" + std::to_string(::getpid() % 100000);  // unique here
    const std::string program = (folder.path() / name).string();
    std::filesystem::copy_file("/bin/sleep", program);
    const char* argv[] = {program.c_str(), "30", nullptr};
    // killall matches the name exec sets, which may come after spawn returns. The child holds
    // the write end of a close-on-exec pipe until its exec has set the name and closed it.
    int execDone[2];
    ASSERT_EQ(::pipe2(execDone, O_CLOEXEC), 0);
    UniqueFd readEnd(execDone[0]);
    UniqueFd writeEnd(execDone[1]);
    pid_t pid = 0;
    ASSERT_EQ(
        ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, const_cast<char**>(argv), nullptr),
        0);
    writeEnd.reset();
    char byte = 0;
    ASSERT_EQ(::read(readEnd.get(), &byte, 1), 0) << "end of file once the exec is done";
    KillallServiceController().restart(name);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_NO_THROW(KillallServiceController().restart("velmora-no-such-process"));
    EXPECT_THROW(KillallServiceController().restart("-9"), std::invalid_argument);
    EXPECT_THROW(KillallServiceController("/nonexistent/killall").restart("Dock"),
                 ProcessLaunchError);
    // Only a killall that exits by itself, having terminated something or found nothing, restarts.
    for (const auto& [body, restarted] : {std::pair{"exit 0", true},
                                          {"exit 1", true},
                                          {"exit 2", false},
                                          {"kill -KILL $$", false},
                                          {"kill -TERM $$", false}}) {
        const std::string fake = (folder.path() / "killall").string();
        std::ofstream(fake, std::ios::trunc) << "#!/bin/sh\n" << body << "\n";
        std::filesystem::permissions(fake, std::filesystem::perms(0755));
        if (restarted) {
            EXPECT_NO_THROW(KillallServiceController(fake).restart("Dock")) << body;
        } else {
            EXPECT_THROW(KillallServiceController(fake).restart("Dock"), ServiceRestartError)
                << body;
        }
    }
}

}  // namespace
}  // namespace velmora
