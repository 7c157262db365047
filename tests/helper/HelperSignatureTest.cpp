// Only programs signed by the build's key for the maker's team are served; every other caller is
// refused with the log line, and nothing it sends reaches pmset.
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/ProcessRunner.hpp"
#include "platform/UnixSocket.hpp"
#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

const std::string kSetSleep = R"({"key":"sleep","method":"setPmset","value":"1"})";

std::string refusal(const std::string& pid) {
    return "rejected connection from pid " + pid + " (signature check failed)";
}

TEST(HelperSignature, OnlyTheUnchangedProgramSignedByOurKeyForOurTeamIsServed) {
    HelperProcess helper;
    // A copy of the test client, signed by `key` for `team` when one is given.
    const auto copy = [&](const std::string& name, const std::string& key = {},
                          const std::string& team = {}) {
        const fs::path path = helper.folder() / name;
        fs::copy_file(VELMORA_TEST_CLIENT, path);
        EXPECT_TRUE(key.empty() ||
                    ProcessRunner::run(VELMORA_CODESIGN_PROGRAM, {"sign", key, team, path.string()})
                        .succeeded());
        return path;
    };
    // What the helper answered the client, and the client's pid.
    const auto runClient = [&](const fs::path& program) {
        const auto result =
            ProcessRunner::run(program.string(), {helper.socketPath().string(), kSetSleep});
        EXPECT_TRUE(result.succeeded()) << result.standardError;
        return std::pair{result.standardOutput,
                         result.standardError.substr(0, result.standardError.find('\n'))};
    };
    const fs::path signedCopy = copy("changed-client");
    fs::copy_file(std::string(VELMORA_TEST_CLIENT) + ".sig", signedCopy.string() + ".sig");
    EXPECT_EQ(runClient(signedCopy).first, "{\"message\":null,\"ok\":true}\n");
    Lines logs{"set sleep 1 ok"};

    // One byte changed after it was served: past a remembered verification of this file.
    std::string bytes = fileBytes(signedCopy);
    const auto at = bytes.find("velmora-test-client-padding");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'V';
    putFile(signedCopy, bytes);
    const fs::path otherKey = helper.folder() / "other.key";
    ASSERT_TRUE(
        ProcessRunner::run(VELMORA_CODESIGN_PROGRAM, {"keygen", otherKey.string()}).succeeded());
    for (const fs::path& client :
         {signedCopy, copy("unsigned-client"),
          copy("other-key-client", otherKey.string(), VELMORA_TEAM_ID),
          copy("other-team-client", VELMORA_SIGNING_KEY_FILE, "OTHERTEAM1")}) {
        const auto [received, pid] = runClient(client);
        EXPECT_EQ(received, "") << client.filename();
        logs.push_back(refusal(pid));
    }
    EXPECT_EQ(helper.messages(logs.size()), logs);
    EXPECT_EQ(helper.pmsetRuns(), Lines{"3 [-a] [sleep] [1]"});
}

// The helper is held still so that the client is surely gone before it is looked at; the
// connection itself stays open in this process, so only the exit can make the check fail.
TEST(HelperSignature, ClientThatExitsRightAfterConnectingIsRefused) {
    HelperProcess helper;
    const UniqueFd fd = openUnixSocket(SocketBlocking::blocking);
    const sockaddr_un address = unixSocketAddress(helper.socketPath()).value();
    ::kill(helper.pid(), SIGSTOP);
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::kill(helper.pid(), SIGCONT);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const std::string request = kSetSleep + "\n";
    ::send(fd.get(), request.data(), request.size(), MSG_NOSIGNAL);
    char byte = 0;
    EXPECT_LE(::recv(fd.get(), &byte, 1, 0), 0);
    EXPECT_EQ(helper.messages(1), Lines{refusal(std::to_string(child))});
    EXPECT_TRUE(helper.pmsetRuns().empty());
}

}  // namespace
}  // namespace velmora::test
