// Many clients at once and many in a row: each answered exactly once, one whole log line per
// outcome, and nothing left behind in the helper (descriptors, children, threads).
#include <thread>

#include <gtest/gtest.h>

#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

constexpr std::size_t kConcurrentClients = 64;
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

}  // namespace
}  // namespace velmora::test
