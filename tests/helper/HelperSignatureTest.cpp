// Only programs signed by the build's key for the maker's team are served; every other caller is
// refused with the log line, and nothing it sends reaches pmset.
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/ProcessRunner.hpp"
#include "platform/UniqueFd.hpp"
#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

constexpr std::string_view kSetSleep = R"({"key":"sleep","method":"setPmset","value":"1"})";
constexpr std::string_view kPadding = "velmora-test-client-padding";

struct ClientRun {
    std::string pid;
    std::string received;
};

class HelperSignature : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(helper.start()); }

    ClientRun runClient(const fs::path& program) const {
        const auto result = ProcessRunner::run(
            program.string(), {helper.socketPath().string(), std::string(kSetSleep)});
        EXPECT_TRUE(result.succeeded()) << result.standardError;
        std::string pid = result.standardError.substr(0, result.standardError.find('\n'));
        return {pid, result.standardOutput};
    }

    // A copy of the signed test client, with its signature unless told otherwise.
    fs::path copyOfClient(const std::string& name, bool withSignature) const {
        const fs::path copy = helper.folder() / name;
        fs::copy_file(VELMORA_TEST_CLIENT, copy);
        if (withSignature) {
            fs::copy_file(std::string(VELMORA_TEST_CLIENT) + ".sig", copy.string() + ".sig");
        }
        return copy;
    }

    void sign(const fs::path& program, const fs::path& key, const std::string& team) const {
        const auto result = ProcessRunner::run(VELMORA_CODESIGN_PROGRAM,
                                               {"sign", key.string(), team, program.string()});
        ASSERT_TRUE(result.succeeded()) << result.standardError;
    }

    // The refusal is the log's line number `line` (the start line is 0).
    void expectRefused(const ClientRun& run, std::size_t line = 1,
                       std::size_t pmsetRuns = 0) const {
        EXPECT_EQ(run.received, "");
        const auto lines = helper.waitForLogLines(line + 1);
        ASSERT_EQ(lines.size(), line + 1);
        EXPECT_EQ(messageOf(lines[line]),
                  "rejected connection from pid " + run.pid + " (signature check failed)");
        EXPECT_EQ(helper.pmsetRuns().size(), pmsetRuns);
    }

    HelperProcess helper;
};

TEST_F(HelperSignature, SignedClientIsServed) {
    const auto run = runClient(VELMORA_TEST_CLIENT);
    EXPECT_EQ(run.received, "{\"message\":null,\"ok\":true}\n");
    EXPECT_EQ(helper.pmsetRuns(), std::vector<std::string>{"3 [-a] [sleep] [1]"});
    const auto lines = helper.waitForLogLines(2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(messageOf(lines[1]), "set sleep 1 ok");
}

TEST_F(HelperSignature, UnsignedClientIsRefused) {
    expectRefused(runClient(copyOfClient("unsigned-client", false)));
}

TEST_F(HelperSignature, ClientSignedByAnotherKeyIsRefused) {
    const fs::path key = helper.folder() / "other.key";
    ASSERT_TRUE(ProcessRunner::run(VELMORA_CODESIGN_PROGRAM, {"keygen", key.string()}).succeeded());
    const fs::path client = copyOfClient("other-key-client", false);
    sign(client, key, "VLMR4T2Q9X");
    expectRefused(runClient(client));
}

TEST_F(HelperSignature, ClientSignedForAnotherTeamIsRefused) {
    const fs::path client = copyOfClient("other-team-client", false);
    sign(client, VELMORA_SIGNING_KEY_FILE, "OTHERTEAM1");
    expectRefused(runClient(client));
}

TEST_F(HelperSignature, ClientWithOneByteChangedIsRefused) {
    const fs::path client = copyOfClient("changed-client", true);
    // Served first, so the change below must get past a remembered verification of this file.
    ASSERT_EQ(runClient(client).received, "{\"message\":null,\"ok\":true}\n");
    const std::string bytes = readFile(client);
    const auto at = bytes.find(kPadding);
    ASSERT_NE(at, std::string::npos);
    {
        std::fstream file(client, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(at));
        file.put('V');
    }
    expectRefused(runClient(client), 2, 1);
}

TEST_F(HelperSignature, ClientThatExitsRightAfterConnectingIsRefused) {
    // The helper is held still so that the client is surely gone before it is looked at; the
    // connection itself stays open in this process, so only the exit can make the check fail.
    const UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ASSERT_TRUE(fd);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, helper.socketPath().c_str(), sizeof address.sun_path - 1);
    helper.pause();
    const pid_t child = ::fork();
    if (child == 0) {
        const int connected =
            ::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::_exit(connected == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    helper.resume();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const std::string request = std::string(kSetSleep) + "\n";
    ::send(fd.get(), request.data(), request.size(), MSG_NOSIGNAL);
    char byte = 0;
    EXPECT_LE(::recv(fd.get(), &byte, 1, 0), 0);
    expectRefused({std::to_string(child), ""});
}

}  // namespace
}  // namespace velmora::test
