// One setPmset round trip through the real helper, as the application makes it: connect, the
// helper's signature check of this (signed) program, the stand-in pmset run, the reply. Runs as
// root against a temporary system root; the verification cache is warm after the first call.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "kit/HelperInfo.hpp"
#include "platform/HelperClient.hpp"
#include "platform/SystemPaths.hpp"
#include "tests/support/TempFolder.hpp"

extern char** environ;  // NOLINT: POSIX declares it only here

namespace {

namespace fs = std::filesystem;
using namespace velmora;

constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(5);

// The helper of this build, serving a fresh system root until the benchmark ends.
class RunningHelper {
  public:
    RunningHelper() {
        ::setenv(SystemPaths::rootVariable, root_.path().c_str(), 1);
        std::string program = VELMORA_HELPER_PROGRAM;
        char* argv[] = {program.data(), nullptr};
        if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
            throw std::runtime_error("cannot start " + program);
        }
        const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
        while (!HelperClient::isAvailable(std::chrono::milliseconds(100))) {
            if (std::chrono::steady_clock::now() > deadline) {
                throw std::runtime_error(
                    "the helper did not start (run as root, in a build folder only root can "
                    "write)");
            }
            std::this_thread::sleep_for(kPollInterval);
        }
    }
    ~RunningHelper() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    RunningHelper(const RunningHelper&) = delete;
    RunningHelper& operator=(const RunningHelper&) = delete;

  private:
    testing::TempFolder root_{"velmora-bench"};
    pid_t pid_ = 0;
};

RunningHelper& helper() {
    static RunningHelper running;
    return running;
}

void BM_SetPmsetRoundTrip(benchmark::State& state) {
    helper();
    for (auto _ : state) {
        HelperClient::setPmset("displaysleep", "10");
    }
}
BENCHMARK(BM_SetPmsetRoundTrip)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same path without the pmset run: connection, signature check and reply only.
void BM_PingRoundTrip(benchmark::State& state) {
    helper();
    for (auto _ : state) {
        benchmark::DoNotOptimize(HelperClient::isAvailable(std::chrono::seconds(10)));
    }
}
BENCHMARK(BM_PingRoundTrip)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
