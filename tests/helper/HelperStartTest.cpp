// The helper's socket and log at start: a root-only folder, a stale socket replaced, a live one
// left alone, and a log that is only ever appended to and never followed through a link.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/ProcessRunner.hpp"
#include "platform/UnixSocket.hpp"
#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

TEST(HelperStart, ReplacesAStaleSocketButNotALiveHelperAndOnlyAppendsToTheLog) {
    HelperProcess helper(false);
    const std::string oldLine = "[2024-01-01 00:00:00 +0000] helper 2 started\n";
    putFile(helper.logPath(), oldLine);
    fs::create_directories(helper.socketPath().parent_path());
    // A socket left behind by a helper that was killed: bound, then nobody listening.
    ASSERT_TRUE(listenOnUnixSocket(helper.socketPath(), 0600, 1, SocketBlocking::blocking));
    ASSERT_TRUE(helper.start());
    struct stat folder {};
    ASSERT_EQ(::lstat(helper.socketPath().parent_path().c_str(), &folder), 0);
    EXPECT_TRUE(S_ISDIR(folder.st_mode) && folder.st_uid == 0 && (folder.st_mode & 0022) == 0);
    EXPECT_EQ(fileBytes(helper.logPath()).find(oldLine), 0u);
    EXPECT_EQ(helper.messages(1), Lines{"helper 2 started"});
    EXPECT_FALSE(
        ProcessRunner::run((helper.folder() / "bin/velmora-helper").string(), {}).succeeded());
    EXPECT_EQ(call(helper.socketPath(), HelperRequest::ping()), HelperReply::versionAnswer("2"));

    // Swap the log for a link to another file: the helper writes nowhere rather than there.
    const fs::path victim = helper.folder() / "victim";
    putFile(victim, "untouched\n");
    fs::remove(helper.logPath());
    fs::create_symlink(victim, helper.logPath());
    EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("SLEEP", "1")),
              HelperReply::outcome(false, "Not allowed"));
    EXPECT_EQ(fileBytes(victim), "untouched\n");
}

}  // namespace
}  // namespace velmora::test
