// The simulated Mac's layout under a system root.
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

}  // namespace
}  // namespace velmora
