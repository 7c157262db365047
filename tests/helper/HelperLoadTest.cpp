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
constexpr int kClosedAtOnce = kFlood - HelperListener::maxConnectionsPerUser;
// Well inside the helper's request timeout, after which it closes the idle rest too.
constexpr auto kCloseDeadline = std::chrono::seconds(4);
constexpr auto kPollStep = std::chrono::milliseconds(5);

// How many of `connections` the helper has closed.
int closedOf(const std::vector<UniqueFd>& connections) {
    int closed = 0;
    for (const UniqueFd& connection : connections) {
        pollfd entry{connection.get(), POLLIN, 0};
        closed += ::poll(&entry, 1, 0) == 1;
    }
    return closed;
}

// Runs in a child turned into `nobody`: opens the flood of idle connections and reports how many
// the helper closed, once those over the user's share are closed (or the deadline passed), and
// again on each byte from `hold`. Holds them until `hold` closes.
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
    const auto deadline = std::chrono::steady_clock::now() + kCloseDeadline;
    int closed = closedOf(connections);
    for (; closed < kClosedAtOnce && std::chrono::steady_clock::now() < deadline;
         closed = closedOf(connections)) {
        std::this_thread::sleep_for(kPollStep);
    }
    (void)!::write(report, &closed, sizeof closed);
    for (char byte = 0; ::read(hold, &byte, 1) == 1;) {
        closed = closedOf(connections);
        (void)!::write(report, &closed, sizeof closed);
    }
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
    const auto closedNow = [&] {
        int closed = -1;
        EXPECT_EQ(::read(reportEnd.get(), &closed, sizeof closed),
                  static_cast<ssize_t>(sizeof closed));
        return closed;
    };
    EXPECT_EQ(closedNow(), kClosedAtOnce);
    EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("sleep", "1")),
              HelperReply::outcome(true, std::nullopt));
    // The helper has served a later connection, so it has dealt with the whole flood: the user's
    // share is still open.
    const char again = 1;
    ASSERT_EQ(::write(holdEnd.get(), &again, 1), 1);
    EXPECT_EQ(closedNow(), kClosedAtOnce);
    holdEnd.reset();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace velmora::test
