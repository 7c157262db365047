// The simulated Mac's layout under a system root, and tool look-up with injection.
#include "platform/SystemPaths.hpp"

#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.hpp"

namespace velmora {
namespace {

using testing::ScopedEnv;

TEST(SystemPathsTest, RootComesFromTheEnvironmentElseTheDefault) {
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        ScopedEnv env(SystemPaths::rootVariable, unset);
        EXPECT_EQ(SystemPaths::root(), "/var/lib/velmora/system");
    }
    ScopedEnv env(SystemPaths::rootVariable, "/tmp/sys/");
    EXPECT_EQ(SystemPaths::helperSocket("com.velmora.app.helper"),
              "/tmp/sys/var/run/velmora/com.velmora.app.helper.sock");
    EXPECT_EQ(SystemPaths::helperSocket("x").parent_path(), SystemPaths::helperSocketFolder());
}

TEST(SystemToolsTest, StandInsLiveBesideTheExecutableAndInjectionWins) {
    SystemTools::resetAll();
    const auto libexec = SystemTools::libexecFolder();
    EXPECT_EQ(libexec.parent_path().filename(), "libexec");
    EXPECT_EQ(SystemTools::path(SystemTool::pmset), libexec / "pmset");
    EXPECT_EQ(SystemTools::path(SystemTool::killall), "/usr/bin/killall");

    SystemTools::inject(SystemTool::pmset, "/tmp/fake-pmset");
    EXPECT_EQ(SystemTools::path(SystemTool::pmset), "/tmp/fake-pmset");
    EXPECT_EQ(SystemTools::path(SystemTool::defaults), libexec / "defaults");
    SystemTools::reset(SystemTool::pmset);
    EXPECT_EQ(SystemTools::path(SystemTool::pmset), libexec / "pmset");
}

}  // namespace
}  // namespace velmora
