// The helper client against a scripted fake helper on a socket in a temporary folder.
#include "platform/HelperClient.hpp"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kit/HelperProtocol.hpp"
#include "kit/VelmoraError.hpp"
#include "tests/platform/FakeHelper.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::FakeHelper;
using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

constexpr auto kShortDeadline = 300ms;
// Longer than the fake helper's delay before it accepts, by less than half of itself.
constexpr auto kSlowAcceptDeadline = 800ms;
constexpr auto kPromptly = 1s;  // far below any deadline used here
const std::string kOk = "{\"ok\":true,\"message\":null}\n";

class HelperClientTest : public ::testing::Test {
  protected:
    void serve(const std::string& reply, FakeHelper::Script script = FakeHelper::Script::reply) {
        helper.reset();
        fs::remove(socket_);
        helper.emplace(socket_, script, reply);
    }
    // The failure reason of `setPmset("sleep", "1")`; `took` tells how long it took.
    std::string failure(std::chrono::milliseconds timeout = 5s) {
        const auto start = Clock::now();
        try {
            HelperClient::setPmset("sleep", "1", {socket_, timeout});
        } catch (const VelmoraError& e) {
            took = Clock::now() - start;
            EXPECT_EQ(e.kind, VelmoraError::Kind::powerCommandFailed);
            return e.reason;
        }
        ADD_FAILURE() << "the call succeeded";
        return {};
    }

    testing::TempFolder folder_{"velmora-helper"};
    fs::path socket_ = folder_.path() / "helper.sock";
    Clock::duration took{};
    std::optional<FakeHelper> helper;
};

TEST_F(HelperClientTest, RequestsAreOneLineAndTheFirstCompleteReplyDecides) {
    const std::string sleep = "{\"key\":\"sleep\",\"method\":\"setPmset\",\"value\":\"1\"}\n";
    serve(kOk + "{\"ok\":false,\"message\":\"late\"}\n");
    EXPECT_NO_THROW(HelperClient::setPmset("sleep", "1", {socket_, 5s}));
    EXPECT_EQ(helper->received(), sleep);
    for (const auto& [reply, reason] :
         {std::pair{"{\"message\":\"Not allowed\",\"ok\":false}\n", "Not allowed"},
          {"{\"ok\":false,\"message\":null}\n", "helper failed"},
          {"", "helper closed the connection without a reply"}}) {
        serve(reply);
        EXPECT_EQ(failure(), reason);
        EXPECT_EQ(helper->received(), sleep);
    }
    serve("{\"version\":\"1\"}\n");
    EXPECT_TRUE(HelperClient::isAvailable({socket_, 5s}));
    EXPECT_EQ(helper->received(), "{\"method\":\"ping\"}\n");
}

TEST_F(HelperClientTest, AnAbsentRefusingOrUntrustedHelperFailsAtOnceAndNotAsATimeout) {
    EXPECT_THAT(failure(10s), HasSubstr("No such file or directory"));
    EXPECT_LT(took, kPromptly);
    EXPECT_FALSE(HelperClient::isAvailable({socket_, 10s}));
    (void)listenOnUnixSocket(socket_, 0600, 1, SocketBlocking::blocking);  // closed, file kept
    EXPECT_THAT(failure(10s), HasSubstr("Connection refused"));
    EXPECT_LT(took, kPromptly);
    for (const fs::perms othersMayWrite : {fs::perms::group_write, fs::perms::others_write}) {
        serve(kOk);
        fs::permissions(folder_.path(), othersMayWrite, fs::perm_options::add);
        EXPECT_THAT(failure(10s), HasSubstr("is not protected from other users"));
        EXPECT_LT(took, kPromptly);
        fs::permissions(folder_.path(), othersMayWrite, fs::perm_options::remove);
    }
}

TEST_F(HelperClientTest, ANeverAnsweringHelperTimesOutAtTheDeadlineAndMalformedRepliesAreErrors) {
    serve("", FakeHelper::Script::neverAnswer);
    EXPECT_EQ(failure(kShortDeadline), "helper timed out");
    EXPECT_GE(took, kShortDeadline);
    EXPECT_LT(took, kShortDeadline + kPromptly);

    // Most of the one deadline goes by while the helper is too busy to accept: what is left of it,
    // not a fresh one, is all the reply gets.
    serve("", FakeHelper::Script::acceptLateNeverAnswer);
    EXPECT_EQ(failure(kSlowAcceptDeadline), "helper timed out");
    EXPECT_GE(took, kSlowAcceptDeadline);
    // Halfway between the one deadline and a fresh one after the late accept, so that a loaded
    // machine's scheduling has as much room as the fault has margin.
    EXPECT_LT(took, (kSlowAcceptDeadline + FakeHelper::acceptDelay + kSlowAcceptDeadline) / 2);

    for (const std::string& reply : {std::string("not json\n"), kOk.substr(0, kOk.size() - 1),
                                     std::string(kHelperMaxMessageBytes + 10, ' ')}) {
        serve(reply);
        const std::string reason = failure();
        EXPECT_THAT(reason, ::testing::Not(HasSubstr("timed out"))) << reply;
        EXPECT_FALSE(reason.empty()) << reply;
    }
}

}  // namespace
}  // namespace velmora
