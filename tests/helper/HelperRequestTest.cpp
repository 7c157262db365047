// What the helper answers and logs for each request from a signed client (this test program), and
// how it treats bytes that are not a request at all.
#include <gtest/gtest.h>

#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

TEST(HelperRequests, RefusedKeysAndValuesNeverRunPmset) {
    HelperProcess helper;
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"SLEEP", "1"},        {"sleep", "-1"},       {"sleep", "1.5"},   {"hibernatemode", "0"},
        {"hibernatemode", ""}, {"sleep ", "1"},       {"", "1"},          {"sleep", " 1"},
        {"sleep", "1 2"},      {"sleep", "1;reboot"}, {"sleep", "$(id)"}, {"sleep", "1\n2"},
        {"sleep", "0x1"},      {"sleep", "1e3"},      {"womp", "١-"}};
    Lines logs;
    for (const auto& [key, value] : refused) {
        EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset(key, value)),
                  HelperReply::outcome(false, "Not allowed"))
            << key << "=" << value;
        // A newline from a client cannot start a forged line of its own.
        logs.push_back("rejected pmset " + key + "=" + (value == "1\n2" ? "1\\x0A2" : value));
    }
    EXPECT_TRUE(helper.pmsetRuns().empty());
    EXPECT_EQ(helper.messages(logs.size()), logs);
}

// Unicode numerals and the empty value reach pmset as one argument, and a pmset that floods both
// outputs cannot hang the helper.
TEST(HelperRequests, ServedRequestsRunPmsetOnceEachAndAreLoggedWordForWord) {
    HelperProcess helper;
    Lines runs;
    Lines logs;
    for (const std::string value : {"", "½", "٣", "１０"}) {
        EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("lowpowermode", value)),
                  HelperReply::outcome(true, std::nullopt))
            << value;
        runs.push_back("3 [-a] [lowpowermode] [" + value + "]");
        logs.push_back("set lowpowermode " + value + " ok");
    }
    EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("womp", "1")),
              HelperReply::outcome(true, std::nullopt));
    runs.push_back("3 [-a] [womp] [1]");
    logs.push_back("set womp 1 ok");
    EXPECT_EQ(helper.pmsetRuns(), runs);
    EXPECT_EQ(helper.messages(logs.size()), logs);
}

// Each gets no reply and a closed connection, the silent client after the helper's own wait.
TEST(HelperRequests, HostileBytesAndSilentClientsGetNoReplyAndNeverRunPmset) {
    HelperProcess helper;
    const std::string setSleep = R"({"key":"sleep","method":"setPmset","value":"1"})"
                                 "\n";
    const std::pair<std::string, std::string> hostile[] = {
        {"\n", "empty line"},
        {R"({"key":"sleep","method":"setPmset","value":")" + std::string(5000, '1') + "\"}\n",
         "longer than 4096 bytes"},
        {"{\"method\":\"setPmset\",\n", "not valid JSON"},
        {R"({"key":1,"method":"setPmset","value":"1"})"
         "\n",
         "\"key\" must be a string"},
        {R"({"method":"reboot"})"
         "\n",
         "unknown value \"reboot\""},
        {setSleep + setSleep, "more than one request"},
        {R"({"method":"ping"})", ""},  // no newline, then the end of the stream
        {"", "no request in time"},
    };
    for (const auto& [bytes, reason] : hostile) {
        EXPECT_EQ(
            exchangeBytes(helper.socketPath(), bytes,
                          reason.empty() ? AfterSending::shutDownWriting : AfterSending::keepOpen),
            "")
            << bytes;
    }
    const Lines logged = helper.messages(std::size(hostile));
    ASSERT_EQ(logged.size(), std::size(hostile));
    for (std::size_t i = 0; i < logged.size(); ++i) {
        EXPECT_EQ(logged[i].rfind("rejected request from pid ", 0), 0u) << logged[i];
        EXPECT_NE(logged[i].find(hostile[i].second), std::string::npos) << logged[i];
    }
    EXPECT_TRUE(helper.pmsetRuns().empty());
}

}  // namespace
}  // namespace velmora::test
