// What the helper answers and logs for each request from a signed client (this test program), how
// it treats bytes that are not a request at all, and its socket and log at start.
#include <signal.h>
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kit/VelmoraError.hpp"
#include "platform/HelperClient.hpp"
#include "tests/helper/HelperFixture.hpp"
#include "tests/support/ScopedEnv.hpp"

namespace velmora::test {
namespace {

// Started over a stale socket (bound, nobody listening, as a killed helper leaves it) and an
// earlier log, which it only appends to. Only a whitelisted key with one to nine ASCII digits
// runs pmset, as one argument, with nothing of the helper's own environment; the rest is refused
// and logged, with control characters from the client unable to start a line of their own. A
// pmset that floods both outputs cannot hang the helper.
TEST(HelperRequests, OnlyWhitelistedKeysWithShortAsciiNumbersRunPmsetWithAFixedEnvironment) {
    HelperProcess helper(HelperProcess::Start::later);
    const std::string oldLine = "[2024-01-01 00:00:00 +0000] helper 2 started\n";
    putFile(helper.logPath(), oldLine);
    fs::create_directories(helper.socketPath().parent_path());
    ASSERT_TRUE(listenOnUnixSocket(helper.socketPath(), 0600, 1, SocketBlocking::blocking));
    const testing::ScopedEnv startUp("BASH_ENV", "/tmp/evil"), secret("VELMORA_SECRET", "x");
    ASSERT_TRUE(helper.start()) << helper.errors();
    struct stat socket {};
    ASSERT_EQ(::lstat(helper.socketPath().c_str(), &socket), 0);
    EXPECT_EQ(socket.st_mode & 0777, 0666u);
    struct stat folder {};
    ASSERT_EQ(::lstat(helper.socketPath().parent_path().c_str(), &folder), 0);
    EXPECT_TRUE(S_ISDIR(folder.st_mode) && folder.st_uid == 0 && (folder.st_mode & 0022) == 0);

    const std::pair<std::string, std::string> refused[] = {{"SLEEP", "1"},
                                                           {"sleep", "-1"},
                                                           {"sleep", "1.5"},
                                                           {"hibernatemode", "0"},
                                                           {"hibernatemode", ""},
                                                           {"sleep ", "1"},
                                                           {"", "1"},
                                                           {"sleep", " 1"},
                                                           {"sleep", "1 2"},
                                                           {"sleep", "1;reboot"},
                                                           {"sleep", "$(id)"},
                                                           {"sleep", "1\n2"},
                                                           {"sleep", "0x1"},
                                                           {"sleep", "1e3"},
                                                           {"womp", "١-"},
                                                           {"lowpowermode", ""},
                                                           {"sleep", "½"},
                                                           {"sleep", "٣"},
                                                           {"sleep", "１０"},
                                                           {"sleep", "²"},
                                                           {"sleep", "Ⅻ"},
                                                           {"sleep", "五"},
                                                           {"sleep", "1234567890"},
                                                           {"sleep", std::string(30, '9')},
                                                           {"sleep\x7F", "1"},
                                                           {"\x1B[2J", "1"}};
    Lines logs{"helper 2 started"};
    for (const auto& [key, value] : refused) {
        EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset(key, value)),
                  HelperReply::outcome(false, "Not allowed"))
            << key << "=" << value;
        std::string shown = "rejected pmset " + key + "=" + value;
        for (const auto& [raw, escaped] :
             {std::pair{"\n", "\\x0A"}, {"\x7F", "\\x7F"}, {"\x1B", "\\x1B"}}) {
            for (auto at = shown.find(raw); at != std::string::npos; at = shown.find(raw, at)) {
                shown.replace(at, 1, escaped);
            }
        }
        logs.push_back(shown);
    }
    Lines runs;
    const std::pair<std::string, std::string> served[] = {
        {"lowpowermode", "0"}, {"sleep", "15"}, {"sleep", "123456789"}, {"womp", "1"}};
    for (const auto& [key, value] : served) {
        EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset(key, value)),
                  HelperReply::outcome(true, std::nullopt));
        runs.push_back("3 [-a] [" + key + "] [" + value + "]");
        logs.push_back("set " + key + " " + value + " ok");
    }
    EXPECT_EQ(helper.pmsetRuns(), runs);
    EXPECT_EQ(helper.messages(logs.size()), logs);
    EXPECT_EQ(fileBytes(helper.logPath()).find(oldLine), 0u);
    EXPECT_EQ(helper.pmsetEnvironment(),
              (Lines{"PATH=/usr/bin:/bin:/usr/sbin:/sbin", "LC_ALL=C",
                     "VELMORA_SYSTEM_ROOT=" + helper.systemRoot().string()}));
}

// A request that takes as long as pmset may is answered with the failure once pmset is killed.
TEST(HelperRequests, APmsetThatHangsIsKilledAtItsDeadlineAndTheFailureIsTheReply) {
    HelperProcess helper;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("acwake", "1")),
              HelperReply::outcome(false, "pmset timed out after 5 seconds"));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::seconds(5));
    EXPECT_LT(took, std::chrono::seconds(8));
    EXPECT_EQ(helper.messages(1), Lines{"pmset acwake failed: pmset timed out after 5 seconds"});
    EXPECT_TRUE(eventually([&] { return helper.footprint()[1] == 0; })) << "pmset left running";
}

// A helper held up past the application's deadline (stopped, or busy) finds requests whose clients
// have given up and told their user the change failed: it must not make the change after all,
// which nobody would then see coming, and it still serves the requests that follow.
TEST(HelperRequests, ARequestWhoseClientGaveUpWaitingIsNeverCarriedOut) {
    HelperProcess helper;
    ASSERT_EQ(::kill(helper.pid(), SIGSTOP), 0);
    const HelperClient::Endpoint impatient{helper.socketPath(), std::chrono::milliseconds(300)};
    try {
        HelperClient::setPmset("sleep", "5", impatient);
        ADD_FAILURE() << "a stopped helper was reported to have set the value";
    } catch (const VelmoraError& error) {
        EXPECT_EQ(error.reason, "helper timed out");
    }
    ASSERT_EQ(::kill(helper.pid(), SIGCONT), 0);

    EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("sleep", "1")),
              HelperReply::outcome(true, std::nullopt));
    EXPECT_THAT(helper.messages(2),
                ::testing::UnorderedElementsAre(
                    ::testing::MatchesRegex(
                        "rejected request from pid [0-9]+: the client hung up before it could be "
                        "served"),
                    "set sleep 1 ok"));
    EXPECT_EQ(helper.pmsetRuns(), Lines{"3 [-a] [sleep] [1]"});
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

    // A second request sent once the first was answered is not served, and is logged.
    const UniqueFd fd = openUnixSocket(SocketBlocking::blocking);
    ASSERT_TRUE(connectUnixSocket(fd.get(), helper.socketPath(),
                                  SocketClock::now() + std::chrono::seconds(5))
                    .ok());
    std::string received;
    for (const int round : {1, 2}) {
        ::send(fd.get(), setSleep.data(), setSleep.size(), MSG_NOSIGNAL);
        for (char byte = 0; (round == 2 || byte != '\n') && ::recv(fd.get(), &byte, 1, 0) == 1;) {
            received += byte;
        }
    }
    EXPECT_EQ(received, "{\"message\":null,\"ok\":true}\n");
    const Lines all = helper.messages(std::size(hostile) + 2);
    ASSERT_EQ(all.size(), std::size(hostile) + 2);
    EXPECT_EQ(all[std::size(hostile)], "set sleep 1 ok");
    EXPECT_THAT(all.back(), ::testing::MatchesRegex(
                                "rejected request from pid [0-9]+: more than one request.*"));
    EXPECT_EQ(helper.pmsetRuns().size(), 1u);
}

}  // namespace
}  // namespace velmora::test
