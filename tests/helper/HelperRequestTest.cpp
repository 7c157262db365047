// What the helper answers and logs for each request from a signed client (this test program), and
// how it treats bytes that are not a request at all.
#include <gtest/gtest.h>

#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

const HelperReply kNotAllowed = HelperReply::outcome(false, "Not allowed");
const HelperReply kOk = HelperReply::outcome(true, std::nullopt);
using Lines = std::vector<std::string>;

class HelperRequests : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(helper.start()); }

    HelperReply send(const HelperRequest& request) const {
        const auto reply = call(helper.socketPath(), request);
        EXPECT_TRUE(reply.ok()) << reply.error();
        return reply.ok() ? reply.value() : HelperReply{};
    }

    HelperProcess helper;
};

TEST_F(HelperRequests, RefusedKeysAndValuesNeverRunPmset) {
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"SLEEP", "1"},        {"sleep", "-1"},       {"sleep", "1.5"},   {"hibernatemode", "0"},
        {"hibernatemode", ""}, {"sleep ", "1"},       {"", "1"},          {"sleep", " 1"},
        {"sleep", "1 2"},      {"sleep", "1;reboot"}, {"sleep", "$(id)"}, {"sleep", "1\n2"},
        {"sleep", "0x1"},      {"sleep", "1e3"},      {"womp", "١-"}};
    Lines logs;
    for (const auto& [key, value] : refused) {
        EXPECT_EQ(send(HelperRequest::setPmset(key, value)), kNotAllowed) << key << "=" << value;
        // A newline from a client cannot start a forged line of its own.
        logs.push_back("rejected pmset " + key + "=" + (value == "1\n2" ? "1\\x0A2" : value));
    }
    EXPECT_TRUE(helper.pmsetRuns().empty());
    EXPECT_EQ(helper.messages(logs.size()), logs);
}

// Unicode numerals and the empty value pass as one argument; the tool's failures are replied and
// logged word for word, and ping and the sleep query write no line.
TEST_F(HelperRequests, ServedRequestsRunPmsetOnceEachAndAreLoggedWordForWord) {
    Lines runs;
    Lines logs;
    for (const std::string value : {"1", "", "½", "Ⅻ", "٣", "１０"}) {
        EXPECT_EQ(send(HelperRequest::setPmset("lowpowermode", value)), kOk) << value;
        runs.push_back("3 [-a] [lowpowermode] [" + value + "]");
        logs.push_back("set lowpowermode " + value + " ok");
    }
    EXPECT_EQ(send(HelperRequest::setPmset("displaysleep", "5")),
              HelperReply::outcome(false, "displaysleep: refused by the fake pmset"));
    EXPECT_EQ(send(HelperRequest::setPmset("disksleep", "5")),
              HelperReply::outcome(false, "pmset exited 3"));
    // A tool that floods both outputs cannot hang the helper.
    EXPECT_EQ(send(HelperRequest::setPmset("womp", "1")), kOk);
    EXPECT_EQ(send(HelperRequest::setDisableSleep(false)), kOk);
    EXPECT_EQ(send(HelperRequest::getDisableSleep()), HelperReply::sleepState(true));
    EXPECT_EQ(send(HelperRequest::ping()), HelperReply::versionAnswer("2"));

    runs.insert(runs.end(), {"3 [-a] [displaysleep] [5]", "3 [-a] [disksleep] [5]",
                             "3 [-a] [womp] [1]", "3 [-a] [disablesleep] [0]", "1 [-g]"});
    EXPECT_EQ(helper.pmsetRuns(), runs);
    logs.insert(logs.end(),
                {"pmset displaysleep failed (1): displaysleep: refused by the fake pmset",
                 "pmset disksleep failed (3): ", "set womp 1 ok", "set disablesleep 0 ok"});
    EXPECT_EQ(helper.messages(logs.size()), logs);
}

TEST_F(HelperRequests, MissingPmsetIsALaunchFailure) {
    fs::remove(helper.fakePmset());
    const auto reply = send(HelperRequest::setPmset("sleep", "1"));
    ASSERT_TRUE(!reply.ok && reply.message.has_value());
    EXPECT_NE(reply.message->find("doesn’t exist"), std::string::npos) << *reply.message;
    EXPECT_EQ(helper.messages(1), Lines{"pmset launch failed: " + *reply.message});
    EXPECT_EQ(send(HelperRequest::getDisableSleep()), HelperReply::sleepState(false));
}

TEST_F(HelperRequests, HostileBytesGetNoReplyAndNeverRunPmset) {
    const std::string setSleep = R"({"key":"sleep","method":"setPmset","value":"1"})";
    // Each is sent with a newline after it.
    const Lines hostile = {
        "",
        R"({"key":"sleep","method":"setPmset","value":")" + std::string(5000, '1') + "\"}",
        "{\"method\":\"setPmset\",",
        "[\"setPmset\",\"sleep\",\"1\"]",
        R"({"key":1,"method":"setPmset","value":"1"})",
        R"({"method":"reboot"})",
        setSleep + "\n" + setSleep,
    };
    for (const auto& bytes : hostile) {
        EXPECT_EQ(exchangeBytes(helper.socketPath(), bytes + "\n"), "") << bytes;
    }
    // A request without its newline, then the end of the stream.
    EXPECT_EQ(
        exchangeBytes(helper.socketPath(), R"({"method":"ping"})", AfterSending::shutDownWriting),
        "");
    EXPECT_TRUE(helper.pmsetRuns().empty());

    const auto logged = helper.messages(hostile.size() + 1);
    ASSERT_EQ(logged.size(), hostile.size() + 1);
    for (const auto& message : logged) {
        EXPECT_EQ(message.rfind("rejected request from pid ", 0), 0u) << message;
    }
    EXPECT_NE(logged[1].find("longer than 4096 bytes"), std::string::npos) << logged[1];
    EXPECT_NE(logged[6].find("more than one request"), std::string::npos) << logged[6];
}

TEST_F(HelperRequests, SilentClientIsCutOff) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exchangeBytes(helper.socketPath(), ""), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    const auto logged = helper.messages(1);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("no request in time"), std::string::npos) << logged[0];
    // The helper still serves others afterwards.
    EXPECT_EQ(send(HelperRequest::ping()), HelperReply::versionAnswer("2"));
}

}  // namespace
}  // namespace velmora::test
