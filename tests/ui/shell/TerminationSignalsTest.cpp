// The termination handlers as the rest of the program meets them: a blocking wait that a signal
// comes into carries on once the handler has run, the signal reaches the event loop once, and
// after teardown the signals end the process as they do by default.
#include "ui/shell/TerminationSignals.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/UniqueFd.hpp"

namespace velmora {
namespace {

constexpr auto kDeadline = std::chrono::seconds(10);
constexpr auto kPollStep = std::chrono::milliseconds(1);
constexpr int kEventLoopWaitMs = 5000;

// Polls `condition` until it holds or the deadline passes.
template <class Condition>
bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    return true;
}

// Whether thread `tid` of this process is blocked in read(2) on `fd`, as /proc tells.
bool blockedReading(pid_t tid, int fd) {
    std::ifstream file("/proc/self/task/" + std::to_string(tid) + "/syscall");
    long number = -1;
    std::string firstArgument;
    file >> number >> firstArgument;
    std::ostringstream expected;
    expected << "0x" << std::hex << fd;
    return number == SYS_read && firstArgument == expected.str();
}

// Whether `number` still waits to be delivered to thread `tid`.
bool pendingFor(pid_t tid, int number) {
    std::ifstream file("/proc/self/task/" + std::to_string(tid) + "/status");
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with("SigPnd:")) {
            const unsigned long long mask =
                std::stoull(line.substr(line.find(':') + 1), nullptr, 16);
            return ((mask >> (number - 1)) & 1U) != 0;
        }
    }
    return false;
}

TEST(TerminationSignals, ABlockingReadTheSignalComesIntoCarriesOnAndTheLoopHearsItOnce) {
    int heard = 0;
    TerminationSignals handlers;
    ASSERT_TRUE(handlers.install([&] { ++heard; }));
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    const UniqueFd readEnd(ends[0]);
    const UniqueFd writeEnd(ends[1]);

    const pthread_t reader = ::pthread_self();
    const auto readerId = static_cast<pid_t>(::syscall(SYS_gettid));
    bool signalled = false;
    std::thread sender([&] {
        // Into the read, delivered, and only then the byte the read waits for.
        signalled = eventually([&] { return blockedReading(readerId, readEnd.get()); }) &&
                    ::pthread_kill(reader, SIGTERM) == 0 &&
                    eventually([&] { return !pendingFor(readerId, SIGTERM); });
        const char byte = 'x';
        (void)!::write(writeEnd.get(), &byte, 1);
    });
    char got = 0;
    const ssize_t count = ::read(readEnd.get(), &got, 1);
    const int error = errno;
    sender.join();
    ASSERT_TRUE(signalled) << "the read was not seen blocking, or the signal not delivered";
    EXPECT_EQ(count, 1) << std::strerror(error);
    EXPECT_EQ(got, 'x');

    EXPECT_TRUE(QTest::qWaitFor([&] { return heard > 0; }, kEventLoopWaitMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(heard, 1);
}

TEST(TerminationSignals, AfterTeardownTheSignalsEndTheProcessAsByDefault) {
    {
        TerminationSignals handlers;
        ASSERT_TRUE(handlers.install([] {}));
    }
    for (const int number : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(::strsignal(number));
        const pid_t child = ::fork();
        if (child == 0) {
            ::raise(number);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == number) << status;
    }
}

}  // namespace
}  // namespace velmora
