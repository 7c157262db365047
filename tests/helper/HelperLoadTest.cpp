// Many clients at once and many in a row: each answered exactly once, one whole log line per
// outcome, and nothing left behind in the helper (descriptors, children, threads).
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

constexpr int kConcurrentClients = 64;
constexpr int kSequentialRequests = 1000;

class HelperLoad : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(helper.start());
        // Warm up once so that lazily made things (the verification cache) are in the baseline.
        ASSERT_EQ(exchangeBytes(helper.socketPath(), "{\"method\":\"ping\"}\n"),
                  "{\"version\":\"2\"}\n");
        // The warm-up's connection thread may still be closing: take the baseline once the helper
        // is back to its idle shape (its accepting thread alone), or the counts include that
        // thread.
        ASSERT_TRUE(helper.settlesToIdle());
        descriptors = helper.openDescriptors();
        children = helper.childProcesses();
        threads = helper.threads();
    }

    void expectWholeLines(std::size_t count, const std::string& message) const {
        const auto lines = helper.waitForLogLines(count + 1);
        ASSERT_EQ(lines.size(), count + 1);
        EXPECT_EQ(messageOf(lines[0]), "helper 2 started");
        for (std::size_t i = 1; i < lines.size(); ++i) {
            ASSERT_TRUE(hasStamp(lines[i])) << lines[i];
            ASSERT_EQ(messageOf(lines[i]), message);
        }
    }

    HelperProcess helper;
    int descriptors = 0;
    int children = 0;
    int threads = 0;
};

TEST_F(HelperLoad, ConcurrentClientsAreEachAnsweredOnce) {
    const std::string request = R"({"key":"sleep","method":"setPmset","value":"1"})"
                                "\n";
    std::atomic<int> answered{0};
    std::vector<std::thread> clients;
    std::vector<std::string> replies(kConcurrentClients);
    for (int i = 0; i < kConcurrentClients; ++i) {
        clients.emplace_back([&, i] {
            replies[static_cast<std::size_t>(i)] = exchangeBytes(helper.socketPath(), request);
            ++answered;
        });
    }
    for (auto& client : clients) {
        client.join();
    }
    EXPECT_EQ(answered.load(), kConcurrentClients);
    for (const auto& reply : replies) {
        EXPECT_EQ(reply, "{\"message\":null,\"ok\":true}\n");
    }
    EXPECT_EQ(helper.pmsetRuns().size(), static_cast<std::size_t>(kConcurrentClients));
    expectWholeLines(kConcurrentClients, "set sleep 1 ok");
    EXPECT_TRUE(helper.settlesTo(descriptors, children, threads))
        << helper.openDescriptors() << " descriptors, " << helper.childProcesses() << " children, "
        << helper.threads() << " threads";
}

TEST_F(HelperLoad, SequentialRequestsAreEachAnsweredOnce) {
    for (int i = 0; i < kSequentialRequests; ++i) {
        const auto reply = call(helper.socketPath(), HelperRequest::setPmset("displaysleep", "10"));
        ASSERT_TRUE(reply.ok()) << i << ": " << reply.error();
        ASSERT_EQ(reply.value(),
                  HelperReply::outcome(false, "displaysleep: refused by the fake pmset"));
    }
    EXPECT_EQ(helper.pmsetRuns().size(), static_cast<std::size_t>(kSequentialRequests));
    expectWholeLines(kSequentialRequests,
                     "pmset displaysleep failed (1): displaysleep: refused by the fake pmset");
    EXPECT_TRUE(helper.settlesTo(descriptors, children, threads))
        << helper.openDescriptors() << " descriptors, " << helper.childProcesses() << " children, "
        << helper.threads() << " threads";
}

}  // namespace
}  // namespace velmora::test
