// The simulated Mac's layout under a system root, and tool look-up with injection.
#include "platform/SystemPaths.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/ScopedEnv.hpp"

namespace velmora {
namespace {

using testing::ScopedEnv;

TEST(SystemPathsTest, RootComesFromTheEnvironmentElseTheDefault) {
    {
        ScopedEnv env(SystemPaths::rootVariable, nullptr);
        EXPECT_EQ(SystemPaths::root(), "/var/lib/velmora/system");
    }
    {
        ScopedEnv env(SystemPaths::rootVariable, "");
        EXPECT_EQ(SystemPaths::root(), "/var/lib/velmora/system");
    }
    {
        ScopedEnv env(SystemPaths::rootVariable, "/tmp/sys/");
        EXPECT_EQ(SystemPaths::helperLog(), "/tmp/sys/Library/Logs/Velmora-helper.log");
    }
}

TEST(SystemPathsTest, MacPathsMirrorUnderTheRoot) {
    ScopedEnv env(SystemPaths::rootVariable, "/tmp/sys");
    EXPECT_EQ(SystemPaths::helperSocket("com.velmora.app.helper"),
              "/tmp/sys/var/run/velmora/com.velmora.app.helper.sock");
    EXPECT_EQ(SystemPaths::helperSocket("x").parent_path(), SystemPaths::helperSocketFolder());
    EXPECT_EQ(SystemPaths::powerSettings(),
              "/tmp/sys/Library/Preferences/SystemConfiguration/com.apple.PowerManagement.plist");
    const auto folders = SystemPaths::applicationFolders();
    ASSERT_EQ(folders.size(), 2U);
    EXPECT_EQ(folders[0], "/tmp/sys/Applications");
    EXPECT_EQ(folders[1], "/tmp/sys/System/Applications");
}

TEST(SystemToolsTest, StandInsLiveBesideTheExecutableAndInjectionWins) {
    SystemTools::resetAll();
    const auto libexec = SystemTools::libexecFolder();
    EXPECT_EQ(libexec.filename(), "velmora");
    EXPECT_EQ(libexec.parent_path().filename(), "libexec");
    EXPECT_EQ(SystemTools::path(SystemTool::pmset), libexec / "pmset");
    EXPECT_EQ(SystemTools::path(SystemTool::defaults), libexec / "defaults");
    EXPECT_EQ(SystemTools::path(SystemTool::osascript), libexec / "osascript");
    EXPECT_EQ(SystemTools::path(SystemTool::killall), "/usr/bin/killall");

    SystemTools::inject(SystemTool::pmset, "/tmp/fake-pmset");
    EXPECT_EQ(SystemTools::path(SystemTool::pmset), "/tmp/fake-pmset");
    EXPECT_EQ(SystemTools::path(SystemTool::defaults), libexec / "defaults");
    SystemTools::reset(SystemTool::pmset);
    EXPECT_EQ(SystemTools::path(SystemTool::pmset), libexec / "pmset");
}

}  // namespace
}  // namespace velmora
