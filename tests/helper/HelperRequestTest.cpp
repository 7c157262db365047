// What the helper answers and logs for each request from a signed client (this test program), and
// how it treats bytes that are not a request at all.
#include <gtest/gtest.h>

#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

const HelperReply kNotAllowed = HelperReply::outcome(false, "Not allowed");
const HelperReply kOk = HelperReply::outcome(true, std::nullopt);
constexpr std::string_view kSetSleep = R"({"key":"sleep","method":"setPmset","value":"1"})";

class HelperRequests : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(helper.start()); }

    HelperReply send(const HelperRequest& request) const {
        const auto reply = call(helper.socketPath(), request);
        EXPECT_TRUE(reply.ok()) << reply.error();
        return reply.ok() ? reply.value() : HelperReply{};
    }

    // The log's messages after the start line, once `count` of them are there.
    std::vector<std::string> messages(std::size_t count) const {
        std::vector<std::string> result;
        const auto lines = helper.waitForLogLines(count + 1);
        for (std::size_t i = 1; i < lines.size(); ++i) {
            EXPECT_TRUE(hasStamp(lines[i])) << lines[i];
            result.push_back(messageOf(lines[i]));
        }
        return result;
    }

    HelperProcess helper;
};

TEST_F(HelperRequests, RefusedKeysAndValuesNeverRunPmset) {
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"SLEEP", "1"},        {"sleep", "-1"},       {"sleep", "1.5"},   {"hibernatemode", "0"},
        {"hibernatemode", ""}, {"sleep ", "1"},       {"", "1"},          {"sleep", " 1"},
        {"sleep", "1 2"},      {"sleep", "1;reboot"}, {"sleep", "$(id)"}, {"sleep", "1\n2"},
        {"sleep", "0x1"},      {"sleep", "1e3"},      {"womp", "١-"}};
    for (const auto& [key, value] : refused) {
        EXPECT_EQ(send(HelperRequest::setPmset(key, value)), kNotAllowed) << key << "=" << value;
    }
    EXPECT_TRUE(helper.pmsetRuns().empty());
    const auto logged = messages(refused.size());
    ASSERT_EQ(logged.size(), refused.size());
    for (std::size_t i = 0; i < refused.size(); ++i) {
        // A newline from a client cannot start a forged line of its own.
        const std::string value = i == 11 ? "1\\x0A2" : refused[i].second;
        EXPECT_EQ(logged[i], "rejected pmset " + refused[i].first + "=" + value);
    }
}

TEST_F(HelperRequests, UnicodeNumeralsAndTheEmptyValuePassAsOneArgument) {
    const std::vector<std::string> values{"1", "", "½", "Ⅻ", "٣", "１０"};
    std::vector<std::string> runs;
    std::vector<std::string> logs;
    for (const std::string& value : values) {
        EXPECT_EQ(send(HelperRequest::setPmset("sleep", value)), kOk) << value;
        runs.push_back("3 [-a] [sleep] [" + value + "]");
        logs.push_back("set sleep " + value + " ok");
    }
    EXPECT_EQ(send(HelperRequest::setPmset("lowpowermode", "0")), kOk);
    runs.emplace_back("3 [-a] [lowpowermode] [0]");
    logs.emplace_back("set lowpowermode 0 ok");
    EXPECT_EQ(helper.pmsetRuns(), runs);
    EXPECT_EQ(messages(logs.size()), logs);
}

TEST_F(HelperRequests, PmsetOutcomesAreRepliedAndLoggedWordForWord) {
    EXPECT_EQ(send(HelperRequest::setPmset("displaysleep", "5")),
              HelperReply::outcome(false, "displaysleep: refused by the fake pmset"));
    EXPECT_EQ(send(HelperRequest::setPmset("disksleep", "5")),
              HelperReply::outcome(false, "pmset exited 3"));
    // A tool that floods both outputs cannot hang the helper.
    EXPECT_EQ(send(HelperRequest::setPmset("womp", "1")), kOk);
    EXPECT_EQ(send(HelperRequest::setDisableSleep(true)), kOk);
    EXPECT_EQ(send(HelperRequest::setDisableSleep(false)), kOk);
    EXPECT_EQ(send(HelperRequest::getDisableSleep()), HelperReply::sleepState(true));
    EXPECT_EQ(send(HelperRequest::ping()), HelperReply::versionAnswer("2"));

    EXPECT_EQ(helper.pmsetRuns(),
              (std::vector<std::string>{"3 [-a] [displaysleep] [5]", "3 [-a] [disksleep] [5]",
                                        "3 [-a] [womp] [1]", "3 [-a] [disablesleep] [1]",
                                        "3 [-a] [disablesleep] [0]", "1 [-g]"}));
    // Ping and the sleep query write no line.
    EXPECT_EQ(messages(5),
              (std::vector<std::string>{
                  "pmset displaysleep failed (1): displaysleep: refused by the fake pmset",
                  "pmset disksleep failed (3): ", "set womp 1 ok", "set disablesleep 1 ok",
                  "set disablesleep 0 ok"}));
}

TEST_F(HelperRequests, MissingPmsetIsALaunchFailure) {
    fs::remove(helper.fakePmset());
    const auto reply = send(HelperRequest::setPmset("sleep", "1"));
    EXPECT_FALSE(reply.ok);
    ASSERT_TRUE(reply.message.has_value());
    EXPECT_NE(reply.message->find("doesn’t exist"), std::string::npos) << *reply.message;
    EXPECT_EQ(messages(1), std::vector<std::string>{"pmset launch failed: " + *reply.message});
    EXPECT_EQ(send(HelperRequest::getDisableSleep()), HelperReply::sleepState(false));
}

TEST_F(HelperRequests, HostileBytesGetNoReplyAndNeverRunPmset) {
    // Each is sent with a newline after it.
    const std::vector<std::string> hostile = {
        "",
        R"({"key":"sleep","method":"setPmset","value":")" + std::string(5000, '1') + "\"}",
        "{\"method\":\"setPmset\",",
        "{nope}",
        "[\"setPmset\",\"sleep\",\"1\"]",
        R"({"key":1,"method":"setPmset","value":"1"})",
        R"({"key":"sleep","method":"setPmset","value":1})",
        R"({"flag":"yes","method":"setDisableSleep"})",
        R"({"key":"sleep","method":"setPmset"})",
        R"({"method":"reboot"})",
        R"({"method":"ping","extra":true})",
        "{\"key\":\"sleep\",\"method\":\"setPmset\",\"value\":\"\xff\"}",
        std::string(kSetSleep) + "\n" + std::string(kSetSleep),
    };
    for (const auto& bytes : hostile) {
        EXPECT_EQ(exchangeBytes(helper.socketPath(), bytes + "\n"), "") << bytes;
    }
    // A request without its newline, then the end of the stream.
    EXPECT_EQ(
        exchangeBytes(helper.socketPath(), R"({"method":"ping"})", AfterSending::shutDownWriting),
        "");
    EXPECT_TRUE(helper.pmsetRuns().empty());

    const auto logged = messages(hostile.size() + 1);
    ASSERT_EQ(logged.size(), hostile.size() + 1);
    for (const auto& message : logged) {
        EXPECT_EQ(message.rfind("rejected request from pid ", 0), 0u) << message;
    }
    EXPECT_NE(logged[1].find("longer than 4096 bytes"), std::string::npos) << logged[1];
    EXPECT_NE(logged[12].find("more than one request"), std::string::npos) << logged[12];
}

TEST_F(HelperRequests, SilentClientIsCutOff) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exchangeBytes(helper.socketPath(), ""), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    const auto logged = messages(1);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("no request in time"), std::string::npos) << logged[0];
    // The helper still serves others afterwards.
    EXPECT_EQ(send(HelperRequest::ping()), HelperReply::versionAnswer("2"));
}

}  // namespace
}  // namespace velmora::test
