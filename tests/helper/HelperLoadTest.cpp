// Many clients at once and many in a row: each answered exactly once, one whole log line per
// outcome, and nothing left behind in the helper (descriptors, children, threads); and one user's
// flood of connections, which must not lock another user out.
#include <grp.h>
#include <poll.h>

#include <thread>

#include <gtest/gtest.h>

#include "helper/HelperListener.hpp"
#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

// As many as one user may have served at once.
constexpr std::size_t kConcurrentClients = HelperListener::maxConnectionsPerUser;
constexpr int kSequentialRequests = 1000;
constexpr int kIdleThreads = 1;  // the accepting thread

// The concurrent clients succeed and the sequential ones fail, so both outcomes are logged.
TEST(HelperLoad, ConcurrentAndSequentialClientsAreEachAnsweredOnceAndLeaveNothingBehind) {
    HelperProcess helper;
    // Warm up once so that lazily made things (the verification cache) are in the baseline, and
    // take it once the warm-up's connection thread has gone and no child runs.
    ASSERT_EQ(call(helper.socketPath(), HelperRequest::ping()), HelperReply::versionAnswer("2"));
    std::vector<int> baseline;
    ASSERT_TRUE(eventually([&] {
        baseline = helper.footprint();
        return baseline[1] == 0 && baseline[2] == kIdleThreads;
    }));

    Lines replies(kConcurrentClients);
    {
        const std::string setSleep = R"({"key":"sleep","method":"setPmset","value":"1"})"
                                     "\n";
        std::vector<std::jthread> clients;
        for (auto& reply : replies) {
            clients.emplace_back([&] { reply = exchangeBytes(helper.socketPath(), setSleep); });
        }
    }
    EXPECT_EQ(replies, Lines(kConcurrentClients, "{\"message\":null,\"ok\":true}\n"));
    const std::string failure = "displaysleep: refused by the fake pmset";
    for (int i = 0; i < kSequentialRequests; ++i) {
        ASSERT_EQ(call(helper.socketPath(), HelperRequest::setPmset("displaysleep", "10")),
                  HelperReply::outcome(false, failure))
            << i;
    }
    Lines logs(kConcurrentClients, "set sleep 1 ok");
    logs.resize(kConcurrentClients + kSequentialRequests,
                "pmset displaysleep failed (1): " + failure);
    EXPECT_EQ(helper.messages(logs.size()), logs);
    EXPECT_EQ(helper.pmsetRuns().size(), logs.size());
    EXPECT_TRUE(eventually([&] { return helper.footprint() == baseline; }))
        << "descriptors, children, threads: " << ::testing::PrintToString(helper.footprint());
}

constexpr uid_t kNobody = 65534;
constexpr int kFlood = HelperListener::maxConnections + 44;

// Runs in a child turned into `nobody`: opens the flood of idle connections, gives them a moment
// to be closed, and reports how many the helper closed at once. Holds them until `hold` closes.
[[noreturn]] void floodAsNobody(const fs::path& socket, int report, int hold) {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
        ::setresuid(kNobody, kNobody, kNobody) != 0) {
        ::_exit(1);
    }
    std::vector<UniqueFd> connections;
    for (int i = 0; i < kFlood; ++i) {
        connections.push_back(openUnixSocket(SocketBlocking::blocking));
        if (!connectUnixSocket(connections.back().get(), socket,
                               SocketClock::now() + std::chrono::seconds(5))
                 .ok()) {
            ::_exit(2);
        }
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    int closed = 0;
    for (const UniqueFd& connection : connections) {
        pollfd entry{connection.get(), POLLIN, 0};
        closed += ::poll(&entry, 1, 0) == 1;
    }
    (void)!::write(report, &closed, sizeof closed);
    char byte = 0;
    (void)!::read(hold, &byte, 1);
    ::_exit(0);
}

TEST(HelperLoad, OneUsersFloodOfIdleConnectionsLeavesAnotherUserServed) {
    HelperProcess helper;
    int report[2], hold[2];
    ASSERT_EQ(::pipe(report), 0);
    ASSERT_EQ(::pipe(hold), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(hold[1]);
        floodAsNobody(helper.socketPath(), report[1], hold[0]);
    }
    const UniqueFd reportEnd(report[0]);
    UniqueFd holdEnd(hold[1]);
    ::close(report[1]);
    ::close(hold[0]);
    int closed = -1;
    ASSERT_EQ(::read(reportEnd.get(), &closed, sizeof closed), static_cast<ssize_t>(sizeof closed));
    EXPECT_EQ(closed, kFlood - HelperListener::maxConnectionsPerUser);
    EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("sleep", "1")),
              HelperReply::outcome(true, std::nullopt));
    holdEnd.reset();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace velmora::test
