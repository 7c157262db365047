// The stand-in defaults as a real process over a temporary home root.
#include <plist/plist.h>

#include <gtest/gtest.h>

#include "platform/PreferenceStore.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

using ::testing::AllOf;
using ::testing::IsEmpty;
using ::testing::Not;

class DefaultsToolTest : public ToolFixture {
  protected:
    ProcessResult defaults(const Args& arguments) const {
        return run(SystemTool::defaults, arguments);
    }
    // What `defaults read` prints, or "<absent>" when it fails.
    std::string readBack(const std::string& domain, const std::string& key) const {
        ProcessResult result = defaults({"read", domain, key});
        return result.exitStatus == 0 ? result.standardOutput : "<absent>";
    }
    // Refused with exit 1 and a message holding `message` on standard error only.
    void expectRefused(const Args& arguments, const std::string& message = "") const {
        ProcessResult result = defaults(arguments);
        EXPECT_EQ(result.exitStatus, 1) << ::testing::PrintToString(arguments);
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_THAT(result.standardError, AllOf(Not(IsEmpty()), HasSubstr(message)));
    }
    PreferenceStore store{homeRoot.path()};
};

TEST_F(DefaultsToolTest, ReadsWritesAndDeletesAsThePlatformsToolAndRefusesBadInput) {
    expectRefused(words("read -g AppleInterfaceStyle"),
                  "(kCFPreferencesAnyApplication, AppleInterfaceStyle) does not exist");
    expectRefused(words("read com.apple.dock tilesize"), "(com.apple.dock, tilesize)");
    ASSERT_EQ(defaults({"write", "com.apple.dock", "title", "Hello world"}).exitStatus, 0);
    std::string printed = readBack("com.apple.dock", "title");
    for (const char* entry :
         {"tilesize -int -48", "ratio -float 2.5", "autohide -bool YES", "quoted -string 1"}) {
        const Args command = words("write com.apple.dock " + std::string(entry));
        ASSERT_EQ(defaults(command).exitStatus, 0) << entry;
        printed += readBack("com.apple.dock", command[2]);
    }
    EXPECT_EQ(printed, "Hello world\n-48\n2.5\n1\n1\n");
    EXPECT_EQ(plist_get_node_type(store.copyValue("com.apple.dock", "quoted").get()), PLIST_STRING);
    store.setValue("com.apple.finder", "Zoom", PlistNode(plist_new_real(0.1)));
    EXPECT_EQ(readBack("com.apple.finder", "Zoom"), "0.1\n");

    // The global domain has three names, and delete refuses an absent key.
    ASSERT_EQ(defaults(words("write NSGlobalDomain AppleInterfaceStyle Dark")).exitStatus, 0);
    EXPECT_EQ(readBack("-g", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_EQ(readBack(".GlobalPreferences", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_TRUE(store.copyValue(PreferenceStore::globalDomain(), "AppleInterfaceStyle"));
    ASSERT_EQ(defaults(words("delete -g AppleInterfaceStyle")).exitStatus, 0);
    EXPECT_EQ(readBack("-g", "AppleInterfaceStyle"), "<absent>");
    expectRefused(words("delete -g AppleInterfaceStyle"), "have not been changed");

    // Bad values, command lines and domain names store nothing.
    for (const char* bad :
         {"-integer 12abc", "-float nan", "-float 1e", "-bool maybe", "-date 1"}) {
        expectRefused(words(std::string("write com.apple.dock k ") + bad));
    }
    EXPECT_EQ(readBack("com.apple.dock", "k"), "<absent>");
    expectRefused(words("read -g a b"), "usage");
    expectRefused(words("write ../../etc/x k v"));
    EXPECT_FALSE(fs::exists(homeRoot.path() / "etc"));
}

}  // namespace
}  // namespace velmora
