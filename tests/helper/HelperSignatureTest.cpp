// Only programs signed by the build's key for the maker's team are served; every other caller is
// refused with the log line, and nothing it sends reaches pmset.
#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "platform/ProcessRunner.hpp"
#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

const std::string kSetSleep = R"({"key":"sleep","method":"setPmset","value":"1"})";

std::string refusal(const std::string& pid) {
    return "rejected connection from pid " + pid + " (signature check failed)";
}

// Keeps a writer waiting on a FIFO until someone opens it for reading, and tells whether anyone
// did: opening some files has effects, and the signature check must open none but a regular file.
class FifoWatch {
  public:
    explicit FifoWatch(const fs::path& path) : path_(path) {
        if (::mkfifo(path.c_str(), 0644) != 0) {
            throw std::runtime_error("mkfifo failed");
        }
        writer_ = std::thread([this] {
            const UniqueFd fd(::open(path_.c_str(), O_WRONLY | O_CLOEXEC));
            opened_ = true;
        });
    }
    ~FifoWatch() {
        const UniqueFd release(::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        writer_.join();
    }
    bool openedByAnyone() const { return opened_; }

  private:
    fs::path path_;
    std::atomic<bool> opened_{false};
    std::thread writer_;
};

TEST(HelperSignature, OnlyTheUnchangedProgramSignedByOurKeyForOurTeamIsServed) {
    HelperProcess helper;
    const auto run = [](const std::string& program, const Lines& arguments) {
        const auto result = ProcessRunner::run(program, arguments);
        EXPECT_TRUE(result.succeeded()) << program << ": " << result.standardError;
        return result;
    };
    const std::string otherKey = (helper.folder() / "other.key").string();
    run(VELMORA_CODESIGN_PROGRAM, {"keygen", otherKey});
    // Copies of the test client: as the build signed it, unsigned, signed by another key, signed
    // by our key for another team and for a team whose name begins with ours, and two whose
    // signature file is a link (to the good signature, and to a FIFO standing in for a device).
    const Lines clients[] = {{"as-built"},
                             {"unsigned"},
                             {"other-key", otherKey, VELMORA_TEAM_ID},
                             {"other-team", VELMORA_SIGNING_KEY_FILE, "OTHERTEAM1"},
                             {"longer-team", VELMORA_SIGNING_KEY_FILE, VELMORA_TEAM_ID "-x"},
                             {"linked-signature"},
                             {"linked-fifo"}};
    for (const Lines& client : clients) {
        const std::string path = (helper.folder() / client[0]).string();
        fs::copy_file(VELMORA_TEST_CLIENT, path);
        if (client.size() == 3) {
            run(VELMORA_CODESIGN_PROGRAM, {"sign", client[1], client[2], path});
        }
    }
    const std::string signature = std::string(VELMORA_TEST_CLIENT) + ".sig";
    const fs::path asBuilt = helper.folder() / "as-built";
    fs::copy_file(signature, asBuilt.string() + ".sig");
    fs::create_symlink(signature, helper.folder() / "linked-signature.sig");
    const FifoWatch fifo(helper.folder() / "fifo");
    fs::create_symlink(helper.folder() / "fifo", helper.folder() / "linked-fifo.sig");

    Lines received, logs;
    // The copy as built runs again after one byte of it was rewritten in place with its size and
    // modification time kept: past a remembered verification, only the change time differs.
    for (const std::string name : {"as-built", "changed", "unsigned", "other-key", "other-team",
                                   "longer-team", "linked-signature", "linked-fifo"}) {
        if (name == "changed") {
            struct stat before {};
            ASSERT_EQ(::stat(asBuilt.c_str(), &before), 0);
            std::string bytes = fileBytes(asBuilt);
            bytes.at(bytes.find("velmora-test-client-padding")) = 'V';  // throws when not found
            putFile(asBuilt, bytes);
            const timespec times[] = {before.st_atim, before.st_mtim};
            ASSERT_EQ(::utimensat(AT_FDCWD, asBuilt.c_str(), times, 0), 0);
        }
        const auto result =
            run((helper.folder() / (name == "changed" ? "as-built" : name)).string(),
                {helper.socketPath().string(), kSetSleep});
        received.push_back(result.standardOutput);
        logs.push_back(refusal(result.standardError.substr(0, result.standardError.find('\n'))));
    }
    logs[0] = "set sleep 1 ok";
    Lines expected(logs.size(), "");
    expected[0] = "{\"message\":null,\"ok\":true}\n";
    EXPECT_EQ(received, expected);
    EXPECT_EQ(helper.messages(logs.size()), logs);
    EXPECT_EQ(helper.pmsetRuns(), Lines{"3 [-a] [sleep] [1]"});
    EXPECT_FALSE(fifo.openedByAnyone());
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

    ::send(fd.get(), (kSetSleep + "\n").data(), kSetSleep.size() + 1, MSG_NOSIGNAL);
    char byte = 0;
    EXPECT_LE(::recv(fd.get(), &byte, 1, 0), 0);
    EXPECT_EQ(helper.messages(1), Lines{refusal(std::to_string(child))});
    EXPECT_TRUE(helper.pmsetRuns().empty());
}

}  // namespace
}  // namespace velmora::test
