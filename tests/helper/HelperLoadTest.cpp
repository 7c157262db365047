// Many clients at once and many in a row: each answered exactly once, one whole log line per
// outcome, and nothing left behind in the helper (descriptors, children, threads).
#include <thread>

#include <gtest/gtest.h>

#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

constexpr int kConcurrentClients = 64;
constexpr int kSequentialRequests = 1000;
constexpr int kIdleThreads = 1;  // the accepting thread

class HelperLoad : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(helper.start());
        // Warm up once so that lazily made things (the verification cache) are in the baseline,
        // and take it once the warm-up's connection thread has gone and no child runs.
        ASSERT_EQ(exchangeBytes(helper.socketPath(), "{\"method\":\"ping\"}\n"),
                  "{\"version\":\"2\"}\n");
        ASSERT_TRUE(eventually([&] {
            baseline = helper.footprint();
            return baseline[1] == 0 && baseline[2] == kIdleThreads;
        }));
    }

    void expectWholeLinesAndNothingLeft(std::size_t count, const std::string& message) const {
        EXPECT_EQ(helper.messages(count), std::vector<std::string>(count, message));
        EXPECT_EQ(helper.pmsetRuns().size(), count);
        EXPECT_TRUE(eventually([&] { return helper.footprint() == baseline; }))
            << "descriptors, children, threads: " << helper.footprint()[0] << " "
            << helper.footprint()[1] << " " << helper.footprint()[2];
    }

    HelperProcess helper;
    std::vector<int> baseline;
};

TEST_F(HelperLoad, ConcurrentClientsAreEachAnsweredOnce) {
    std::vector<std::thread> clients;
    std::vector<std::string> replies(kConcurrentClients);
    for (auto& reply : replies) {
        clients.emplace_back([&] {
            reply = exchangeBytes(helper.socketPath(),
                                  R"({"key":"sleep","method":"setPmset","value":"1"})"
                                  "\n");
        });
    }
    for (auto& client : clients) {
        client.join();
    }
    EXPECT_EQ(replies,
              std::vector<std::string>(kConcurrentClients, "{\"message\":null,\"ok\":true}\n"));
    expectWholeLinesAndNothingLeft(kConcurrentClients, "set sleep 1 ok");
}

TEST_F(HelperLoad, SequentialRequestsAreEachAnsweredOnce) {
    for (int i = 0; i < kSequentialRequests; ++i) {
        const auto reply = call(helper.socketPath(), HelperRequest::setPmset("displaysleep", "10"));
        ASSERT_TRUE(reply.ok()) << i << ": " << reply.error();
        ASSERT_EQ(reply.value(),
                  HelperReply::outcome(false, "displaysleep: refused by the fake pmset"));
    }
    expectWholeLinesAndNothingLeft(
        kSequentialRequests,
        "pmset displaysleep failed (1): displaysleep: refused by the fake pmset");
}

}  // namespace
}  // namespace velmora::test
