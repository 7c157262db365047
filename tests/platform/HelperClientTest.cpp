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
using Script = FakeHelper::Script;

constexpr auto kShortDeadline = 300ms;
constexpr auto kPromptly = 1s;  // far below any deadline used here
const std::string kOk = "{\"ok\":true,\"message\":null}\n";

class HelperClientTest : public ::testing::Test {
  protected:
    // A fresh fake helper on the socket.
    void serve(Script script, const std::string& reply = {}) {
        helper.reset();
        fs::remove(socket_);
        helper.emplace(socket_, script, reply);
    }
    HelperClient::Endpoint endpoint(std::chrono::milliseconds timeout = 5s) const {
        return {socket_, timeout};
    }
    // The failure reason of a call expected to throw; `took` tells how long it took.
    std::string reasonOf(const std::function<void()>& call) {
        const auto start = Clock::now();
        try {
            call();
        } catch (const VelmoraError& e) {
            took = Clock::now() - start;
            EXPECT_EQ(e.kind, VelmoraError::Kind::powerCommandFailed);
            return e.reason;
        }
        ADD_FAILURE() << "the call succeeded";
        return {};
    }
    std::string setSleepReason(std::chrono::milliseconds timeout = 5s) {
        return reasonOf([&] { HelperClient::setPmset("sleep", "1", endpoint(timeout)); });
    }

    testing::TempFolder folder_{"velmora-helper"};
    fs::path socket_ = folder_.path() / "helper.sock";
    Clock::duration took{};
    std::optional<FakeHelper> helper;
};

TEST_F(HelperClientTest, RequestsAreOneLineAndTheFirstCompleteReplyDecides) {
    const auto setPowernap = [](const auto& at) { HelperClient::setPmset("powernap", "0", at); };
    const std::string powernap = "{\"key\":\"powernap\",\"method\":\"setPmset\",\"value\":\"0\"}\n";
    const struct {
        std::function<void(const HelperClient::Endpoint&)> call;
        std::string reply;
        std::string request;
        std::optional<std::string> failure;  // none: the call succeeds
    } cases[] = {
        {setPowernap, kOk + "{\"ok\":false,\"message\":\"late\"}\n", powernap, std::nullopt},
        {[](const auto& at) { HelperClient::setDisableSleep(true, at); },
         "{\"ok\":true,\"message\":\"noted\"}\n",
         "{\"flag\":true,\"method\":\"setDisableSleep\"}\n", std::nullopt},
        {setPowernap, "{\"message\":\"Not allowed\",\"ok\":false}\n", powernap, "Not allowed"},
        {setPowernap, "{\"ok\":false,\"message\":null}\n", powernap, "helper failed"},
        {[](const auto& at) { EXPECT_TRUE(HelperClient::isAvailable(at)); },
         "{\"version\":\"1\"}\n", "{\"method\":\"ping\"}\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        serve(Script::reply, c.reply);
        if (c.failure) {
            EXPECT_EQ(reasonOf([&] { c.call(endpoint()); }), *c.failure);
        } else {
            EXPECT_NO_THROW(c.call(endpoint()));
        }
        EXPECT_EQ(helper->received(), c.request);
    }
}

TEST_F(HelperClientTest, AnAbsentRefusingOrUntrustedHelperFailsAtOnceAndNotAsATimeout) {
    EXPECT_THAT(setSleepReason(10s), HasSubstr("No such file or directory"));
    EXPECT_LT(took, kPromptly);
    EXPECT_FALSE(HelperClient::isAvailable(endpoint(10s)));
    serve(Script::neverAccept);
    helper.reset();  // the socket file stays
    EXPECT_THAT(setSleepReason(10s), HasSubstr("Connection refused"));
    EXPECT_LT(took, kPromptly);
    serve(Script::reply, kOk);
    fs::permissions(folder_.path(), fs::perms::others_write | fs::perms::group_write,
                    fs::perm_options::add);
    EXPECT_THAT(setSleepReason(10s), HasSubstr("is not protected from other users"));
    EXPECT_LT(took, kPromptly);
}

TEST_F(HelperClientTest, AHelperThatNeverAnswersTimesOutAtTheDeadline) {
    for (auto script : {Script::neverAnswer, Script::neverAccept}) {
        serve(script);
        EXPECT_EQ(setSleepReason(kShortDeadline), "helper timed out");
        EXPECT_GE(took, kShortDeadline);
        EXPECT_LT(took, kShortDeadline + kPromptly);
    }
}

TEST_F(HelperClientTest, HangUpsAndMalformedRepliesAreErrorsNotSuccessNorTimeouts) {
    serve(Script::closeSilently);
    EXPECT_EQ(setSleepReason(), "helper closed the connection without a reply");
    for (const std::string& reply : {std::string("not json\n"), kOk.substr(0, kOk.size() - 1),
                                     std::string(kHelperMaxMessageBytes + 10, ' ')}) {
        serve(Script::reply, reply);
        const std::string reason = setSleepReason();
        EXPECT_THAT(reason, ::testing::Not(HasSubstr("timed out"))) << reply;
        EXPECT_FALSE(reason.empty()) << reply;
    }
}

}  // namespace
}  // namespace velmora
