// Where the helper may run from and serve: it starts only when nobody but root can change its
// program, the pmset it runs, the folders above them or the folders above its system root; the
// install step lays it out so; and a log path another user could redirect is never written.
#include <unistd.h>

#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/ProcessRunner.hpp"
#include "tests/helper/HelperFixture.hpp"

namespace velmora::test {
namespace {

using ::testing::HasSubstr;

constexpr uid_t kUser = 1000;
using Change = std::function<void(const HelperProcess&)>;

void chown(const fs::path& path, uid_t user) {
    if (::lchown(path.c_str(), user, static_cast<gid_t>(-1)) != 0) {
        throw std::runtime_error("cannot chown " + path.string());
    }
}

void chmod(const fs::path& path, unsigned mode) {
    fs::permissions(path, static_cast<fs::perms>(mode));
}

// A user's own file put in the place of the pmset the helper would run.
void linkPmsetToUsersFile(const HelperProcess& helper) {
    const fs::path planted = helper.folder() / "users-pmset";
    fs::rename(helper.pmset(), planted);
    chown(planted, kUser);
    fs::create_symlink(planted, helper.pmset());
}

TEST(HelperStart, RefusesUnlessOnlyRootCanChangeWhatItRunsAndWhereItServes) {
    const std::tuple<const char*, Change, const char*> cases[] = {
        {"its folder is a user's (a build folder)",
         [](auto& h) { chown(h.programFolder(), kUser); }, "velmora is owned by user 1000"},
        {"the helper is writable by others", [](auto& h) { chmod(h.program(), 0757); },
         "velmora-helper may be changed by users other than root"},
        {"pmset is writable by its group", [](auto& h) { chmod(h.pmset(), 0775); },
         "pmset may be changed by users other than root"},
        {"pmset is a user's", [](auto& h) { chown(h.pmset(), kUser); },
         "pmset is owned by user 1000"},
        {"pmset links to a user's file", linkPmsetToUsersFile, "users-pmset is owned by user 1000"},
        {"pmset is missing", [](auto& h) { fs::remove(h.pmset()); }, "No such file"},
        {"pmset is a folder",
         [](auto& h) {
             fs::remove(h.pmset());
             fs::create_directory(h.pmset());
             chmod(h.pmset(), 0755);
         },
         "pmset is not a regular file"},
        // The sticky bit guards a folder's entries; on a file it guards nothing.
        {"pmset is writable by all and sticky", [](auto& h) { chmod(h.pmset(), 01777); },
         "pmset may be changed by users other than root"},
        {"a folder above is writable by all", [](auto& h) { chmod(h.folder() / "libexec", 0777); },
         "libexec may be changed by users other than root"},
        {"a folder above the system root is a user's",
         [](auto& h) { chown(h.folder() / "mac", kUser); }, "mac is owned by user 1000"},
        {"a folder above the system root is writable by all",
         [](auto& h) { chmod(h.folder() / "mac", 0777); }, "mac may be changed"},
        {"the socket's way holds a link",
         [](auto& h) {
             fs::create_directories(h.folder() / "elsewhere");
             fs::create_symlink(h.folder() / "elsewhere", h.systemRoot() / "var");
         },
         "system/var is a symbolic link"},
        {"the socket folder is a user's",
         [](auto& h) {
             fs::create_directories(h.socketPath().parent_path());
             chown(h.socketPath().parent_path(), kUser);
         },
         "run/velmora is owned by user 1000"},
        {"the socket folder is writable by its group",
         [](auto& h) {
             fs::create_directories(h.socketPath().parent_path());
             chmod(h.socketPath().parent_path(), 0775);
         },
         "run/velmora may be changed"},
    };
    for (const auto& [what, change, message] : cases) {
        SCOPED_TRACE(what);
        HelperProcess helper(HelperProcess::Start::later);
        change(helper);
        EXPECT_FALSE(helper.start());
        EXPECT_EQ(helper.exitStatus(), 1);
        EXPECT_THAT(helper.errors(), AllOf(HasSubstr("refusing to start"), HasSubstr(message)));
        EXPECT_FALSE(fs::exists(helper.socketPath()));
        EXPECT_TRUE(helper.pmsetRuns().empty());
    }

    // Others may add to a root-owned sticky folder such as /tmp but never move root's entries.
    HelperProcess sticky(HelperProcess::Start::later);
    chmod(sticky.folder() / "mac", 01777);
    EXPECT_TRUE(sticky.start()) << sticky.errors();
}

// The step the README gives, into a root-owned temporary prefix: what it lays out starts and runs
// the real stand-in pmset.
TEST(HelperStart, TheInstallStepLaysOutAHelperThatStartsAndServes) {
    HelperProcess helper(HelperProcess::Start::later);
    fs::remove_all(helper.folder() / "libexec");
    // As `cmake --install build --component helper --prefix <folder>`, through the build's script
    // that leaves the user's build/install_manifest_helper.txt alone.
    const auto installed = ProcessRunner::run(
        VELMORA_CMAKE_COMMAND,
        {"-DCMAKE_INSTALL_PREFIX=" + helper.folder().string(), "-DCMAKE_INSTALL_COMPONENT=helper",
         "-P", std::string(VELMORA_BINARY_DIR) + "/install-elsewhere.cmake"});
    ASSERT_TRUE(installed.succeeded()) << installed.standardOutput << installed.standardError;
    for (const fs::path& file : {helper.program(), helper.pmset()}) {
        EXPECT_EQ(fs::status(file).permissions(), fs::perms(0755)) << file;
    }
    ASSERT_TRUE(helper.start()) << helper.errors();
    EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("displaysleep", "1440")),
              HelperReply::outcome(true, std::nullopt));
    EXPECT_EQ(helper.messages(1), Lines{"set displaysleep 1440 ok"});
}

// Started by hand, the helper says where it listens; a second one started meanwhile is told that
// one runs, without the first logging a refused client that reads like an intrusion.
TEST(HelperStart, ItSaysWhereItListensAndASecondOneIsToldOneRunsWithoutAnIntrusionLogged) {
    HelperProcess helper;
    EXPECT_EQ(helper.errors(), "velmora-helper: listening on " + helper.socketPath().string() +
                                   " until stopped (Ctrl+C or kill)\n");
    for (int attempt = 0; attempt < 2; ++attempt) {
        const ProcessResult second = ProcessRunner::run(helper.program().string(), {});
        EXPECT_EQ(second.exitStatus, 1);
        EXPECT_THAT(second.standardError,
                    HasSubstr("refusing to start: another helper is already running, listening "
                              "on " +
                              helper.socketPath().string()));
    }
    EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("SLEEP", "1")),
              HelperReply::outcome(false, "Not allowed"));
    EXPECT_EQ(helper.messages(1), Lines{"rejected pmset SLEEP=1"}) << "and nothing before it";

    // Once it has stopped, a new one starts where it served.
    ::kill(helper.pid(), SIGTERM);
    EXPECT_TRUE(eventually([&] { return helper.exited(); }));
    EXPECT_TRUE(helper.start()) << helper.errors();
}

// Each unsafe place is found before the helper starts: it serves all the same, says so once on
// standard error, writes nothing there, and logs again once the place is safe.
TEST(HelperLog, ALogPathAnotherUserCouldRedirectIsNeverWrittenAndSaidOnce) {
    const std::tuple<const char*, Change, const char*> cases[] = {
        {"the log folder is a link",
         [](auto& h) {
             fs::create_directories(h.folder() / "elsewhere");
             fs::create_directories(h.systemRoot() / "Library");
             fs::create_symlink(h.folder() / "elsewhere", h.systemRoot() / "Library/Logs");
         },
         "Library/Logs is a symbolic link"},
        {"the log is a link",
         [](auto& h) {
             putFile(h.folder() / "victim", "untouched\n");
             fs::create_directories(h.logPath().parent_path());
             fs::create_symlink(h.folder() / "victim", h.logPath());
         },
         "Velmora-helper.log: Too many levels of symbolic links"},
        {"the log folder is a user's",
         [](auto& h) {
             fs::create_directories(h.logPath().parent_path());
             chown(h.logPath().parent_path(), kUser);
         },
         "Library/Logs is owned by user 1000"},
    };
    for (const auto& [what, change, message] : cases) {
        SCOPED_TRACE(what);
        HelperProcess helper(HelperProcess::Start::later);
        change(helper);
        ASSERT_TRUE(helper.start()) << helper.errors();
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("SLEEP", "1")),
                      HelperReply::outcome(false, "Not allowed"));
        }
        EXPECT_FALSE(fs::exists(helper.folder() / "elsewhere/Velmora-helper.log"));
        if (fs::exists(helper.folder() / "victim")) {
            EXPECT_EQ(fileBytes(helper.folder() / "victim"), "untouched\n");
        }
        Lines said = fileLines(helper.folder() / "helper-errors");
        std::erase_if(said, [](const std::string& line) {
            return line.find("listening on") != std::string::npos;
        });
        ASSERT_EQ(said.size(), 1u);
        EXPECT_THAT(said[0], AllOf(HasSubstr("cannot write the log"), HasSubstr(message)));

        fs::remove_all(helper.systemRoot() / "Library");
        EXPECT_EQ(call(helper.socketPath(), HelperRequest::setPmset("SLEEP", "2")),
                  HelperReply::outcome(false, "Not allowed"));
        const Lines logged = fileLines(helper.logPath());
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_EQ(messageOf(logged[0]), "rejected pmset SLEEP=2");
    }
}

}  // namespace
}  // namespace velmora::test
