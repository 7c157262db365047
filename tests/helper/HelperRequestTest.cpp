// What the helper answers and logs for each request from a signed client (this test program), how
// it treats bytes that are not a request at all, and its socket and log at start.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

// Started over a stale socket (bound, nobody listening, as a killed helper leaves it) and an
// earlier log, which it only appends to and never follows through a link. Refused keys and values
// never run pmset, and a newline from a client cannot start a forged log line of its own. Unicode
// numerals and the empty value reach pmset as one argument, and a pmset that floods both outputs
// cannot hang the helper.
TEST(HelperRequests, RefusedRequestsNeverRunPmsetAndServedOnesRunItOnceAsOneArgument) {
    HelperProcess helper(false);
    const std::string oldLine = "[2024-01-01 00:00:00 +0000] helper 2 started\n";
    putFile(helper.logPath(), oldLine);
    fs::create_directories(helper.socketPath().parent_path());
    ASSERT_TRUE(listenOnUnixSocket(helper.socketPath(), 0600, 1, SocketBlocking::blocking));
    ASSERT_TRUE(helper.start());
    struct stat folder {};
    ASSERT_EQ(::lstat(helper.socketPath().parent_path().c_str(), &folder), 0);
    EXPECT_TRUE(S_ISDIR(folder.st_mode) && folder.st_uid == 0 && (folder.st_mode & 0022) == 0);
    const std::pair<std::string, std::string> refused[] = {
        {"SLEEP", "1"},        {"sleep", "-1"},       {"sleep", "1.5"},   {"hibernatemode", "0"},
        {"hibernatemode", ""}, {"sleep ", "1"},       {"", "1"},          {"sleep", " 1"},
        {"sleep", "1 2"},      {"sleep", "1;reboot"}, {"sleep", "$(id)"}, {"sleep", "1\n2"},
        {"sleep", "0x1"},      {"sleep", "1e3"},      {"womp", "١-"}};
    Lines logs{"helper 2 started"};
    for (const auto& [key, value] : refused) {
        EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset(key, value)),
                  HelperReply::outcome(false, "Not allowed"));
        logs.push_back("rejected pmset " + key + "=" + (value == "1\n2" ? "1\\x0A2" : value));
    }
    Lines runs;
    const std::pair<std::string, std::string> served[] = {{"lowpowermode", ""},
                                                          {"lowpowermode", "½"},
                                                          {"lowpowermode", "٣"},
                                                          {"lowpowermode", "１０"},
                                                          {"womp", "1"}};
    for (const auto& [key, value] : served) {
        EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset(key, value)),
                  HelperReply::outcome(true, std::nullopt));
        runs.push_back("3 [-a] [" + key + "] [" + value + "]");
        logs.push_back("set " + key + " " + value + " ok");
    }
    EXPECT_EQ(helper.pmsetRuns(), runs);
    EXPECT_EQ(helper.messages(logs.size()), logs);
    EXPECT_EQ(fileBytes(helper.logPath()).find(oldLine), 0u);

    const fs::path victim = helper.folder() / "victim";
    putFile(victim, "untouched\n");
    fs::remove(helper.logPath());
    fs::create_symlink(victim, helper.logPath());
    EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("SLEEP", "1")),
              HelperReply::outcome(false, "Not allowed"));
    EXPECT_EQ(fileBytes(victim), "untouched\n");
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
        {"", "no request in time"},
    };
    for (const auto& [bytes, reason] : hostile) {
        EXPECT_EQ(exchangeBytes(helper.socketPath(), bytes), "") << bytes;
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
