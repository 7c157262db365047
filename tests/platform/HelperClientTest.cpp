// The helper client against a scripted fake helper on a socket in a temporary folder.
#include "platform/HelperClient.hpp"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kit/HelperInfo.hpp"
#include "kit/HelperProtocol.hpp"
#include "kit/VelmoraError.hpp"
#include "platform/SystemPaths.hpp"
#include "tests/platform/FakeHelper.hpp"
#include "tests/support/ScopedEnv.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::FakeHelper;
using ::testing::HasSubstr;
using ::testing::Not;
using Clock = std::chrono::steady_clock;

constexpr auto kShortDeadline = 300ms;
// Far below any deadline used here: failing "at once" means well within this.
constexpr auto kPromptly = 1s;

class HelperClientTest : public ::testing::Test {
  protected:
    HelperClient::Endpoint endpoint(std::chrono::milliseconds timeout = 5s) const {
        return {socket_, timeout};
    }
    // The failure reason of a call expected to throw, and how long it took.
    std::string reasonOf(const std::function<void()>& call, Clock::duration* took = nullptr) {
        const auto start = Clock::now();
        try {
            call();
        } catch (const VelmoraError& e) {
            if (took) {
                *took = Clock::now() - start;
            }
            EXPECT_EQ(e.kind, VelmoraError::Kind::powerCommandFailed);
            return e.reason;
        }
        ADD_FAILURE() << "the call succeeded";
        return {};
    }
    std::string setSleepReason(std::chrono::milliseconds timeout = 5s,
                               Clock::duration* took = nullptr) {
        return reasonOf([&] { HelperClient::setPmset("sleep", "1", endpoint(timeout)); }, took);
    }
    void fresh() {
        std::error_code ignored;
        fs::remove(socket_, ignored);
    }

    testing::TempFolder folder_{"velmora-helper"};
    fs::path socket_ = folder_.path() / "helper.sock";
};

TEST_F(HelperClientTest, RequestsAreOneLineAndTheFirstCompleteReplyDecides) {
    const auto setPowernap = [](const auto& at) { HelperClient::setPmset("powernap", "0", at); };
    const std::string powernap = "{\"key\":\"powernap\",\"method\":\"setPmset\",\"value\":\"0\"}\n";
    const std::string ok = "{\"ok\":true,\"message\":null}\n";
    const struct {
        std::function<void(const HelperClient::Endpoint&)> call;
        std::string reply;
        std::string request;
        std::optional<std::string> failure;  // none: the call succeeds
    } cases[] = {
        {setPowernap, ok, powernap, std::nullopt},
        {[](const auto& at) { HelperClient::setDisableSleep(true, at); },
         "{\"ok\":true,\"message\":\"noted\"}\n",
         "{\"flag\":true,\"method\":\"setDisableSleep\"}\n", std::nullopt},
        {setPowernap, ok + "{\"ok\":false,\"message\":\"late\"}\n", powernap, std::nullopt},
        {setPowernap, "{\"message\":\"Not allowed\",\"ok\":false}\n", powernap, "Not allowed"},
        {setPowernap, "{\"ok\":false,\"message\":null}\n", powernap, "helper failed"},
        {[](const auto& at) { EXPECT_TRUE(HelperClient::isAvailable(at)); },
         "{\"version\":\"1\"}\n", "{\"method\":\"ping\"}\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        fresh();
        FakeHelper helper(socket_, FakeHelper::Script::reply, c.reply);
        if (c.failure) {
            EXPECT_EQ(reasonOf([&] { c.call(endpoint()); }), *c.failure);
        } else {
            EXPECT_NO_THROW(c.call(endpoint()));
        }
        EXPECT_EQ(helper.received(), c.request);
    }
}

TEST_F(HelperClientTest, AnAbsentRefusingOrUntrustedHelperFailsAtOnceAndNotAsATimeout) {
    Clock::duration took{};
    EXPECT_THAT(setSleepReason(10s, &took), HasSubstr("No such file or directory"));
    EXPECT_LT(took, kPromptly);
    EXPECT_FALSE(HelperClient::isAvailable(endpoint(10s)));

    { FakeHelper gone(socket_, FakeHelper::Script::neverAccept); }  // the socket file stays
    EXPECT_THAT(setSleepReason(10s, &took), HasSubstr("Connection refused"));
    EXPECT_LT(took, kPromptly);

    fresh();
    FakeHelper impostor(socket_, FakeHelper::Script::reply, "{\"ok\":true,\"message\":null}\n");
    fs::permissions(folder_.path(), fs::perms::others_write | fs::perms::group_write,
                    fs::perm_options::add);
    EXPECT_THAT(setSleepReason(10s, &took), HasSubstr("is not protected from other users"));
    EXPECT_LT(took, kPromptly);
    EXPECT_FALSE(HelperClient::isAvailable(endpoint()));
}

TEST_F(HelperClientTest, HelperThatNeverAnswersTimesOutAtTheDeadline) {
    for (auto script : {FakeHelper::Script::neverAnswer, FakeHelper::Script::neverAccept}) {
        fresh();
        FakeHelper helper(socket_, script);
        Clock::duration took{};
        EXPECT_EQ(setSleepReason(kShortDeadline, &took), "helper timed out");
        EXPECT_GE(took, kShortDeadline);
        EXPECT_LT(took, kShortDeadline + kPromptly);
    }
}

TEST_F(HelperClientTest, HangUpsAndMalformedRepliesAreErrorsNotSuccess) {
    {
        FakeHelper helper(socket_, FakeHelper::Script::closeSilently);
        EXPECT_EQ(setSleepReason(), "helper closed the connection without a reply");
    }
    for (const std::string& reply : {
             std::string("{\"ok\":1,\"message\":null}\n"),
             std::string("{\"ok\":true}\n"),
             std::string("not json\n"),
             std::string("{\"ok\":true,\"message\":null}"),  // no newline before the hang-up
             std::string(kHelperMaxMessageBytes + 10, ' '),
         }) {
        fresh();
        FakeHelper helper(socket_, FakeHelper::Script::reply, reply);
        const std::string reason = setSleepReason();
        EXPECT_THAT(reason, Not(HasSubstr("timed out"))) << reply;
        EXPECT_FALSE(reason.empty()) << reply;
    }
}

TEST_F(HelperClientTest, DefaultEndpointIsTheHelpersSocketUnderTheSystemRoot) {
    const testing::ScopedEnv root(SystemPaths::rootVariable, folder_.path().c_str());
    const HelperClient::Endpoint standard = HelperClient::defaultEndpoint();
    EXPECT_EQ(standard.socketPath, SystemPaths::helperSocket(HelperInfo::machServiceName()));
    EXPECT_EQ(standard.timeout, 10s);
    fs::create_directories(standard.socketPath.parent_path());
    // Whatever the umask, the folder must be one only its owner can write.
    fs::permissions(standard.socketPath.parent_path(), fs::perms::owner_all);
    FakeHelper helper(standard.socketPath, FakeHelper::Script::reply,
                      "{\"ok\":true,\"message\":null}\n");
    EXPECT_NO_THROW(HelperClient::setPmset("womp", "1"));
}

}  // namespace
}  // namespace velmora
