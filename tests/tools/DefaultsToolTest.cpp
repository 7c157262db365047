// The stand-in defaults as a real process over a temporary home root.
#include <plist/plist.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/PreferenceStore.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class DefaultsToolTest : public ToolFixture {
  protected:
    ProcessResult defaults(const std::vector<std::string>& arguments) const {
        return run(SystemTool::defaults, arguments);
    }
    // What `defaults read` prints, or "<absent>" when it fails.
    std::string readBack(const std::string& domain, const std::string& key) const {
        ProcessResult result = defaults({"read", domain, key});
        return result.exitStatus == 0 ? result.standardOutput : "<absent>";
    }
    // Refused with exit 1 and a message, holding `message`, on standard error only.
    void expectRefused(const std::vector<std::string>& arguments, const std::string& message = "") {
        ProcessResult result = defaults(arguments);
        SCOPED_TRACE(::testing::PrintToString(arguments));
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_THAT(result.standardOutput, IsEmpty());
        EXPECT_THAT(result.standardError, AllOf(Not(IsEmpty()), HasSubstr(message)));
    }
    PreferenceStore store{homeRoot.path()};
};

TEST_F(DefaultsToolTest, ValuesReadBackInTheToolsOwnFormAndAsTheApplicationWroteThem) {
    expectRefused(words("read -g AppleInterfaceStyle"),
                  "(kCFPreferencesAnyApplication, AppleInterfaceStyle) does not exist");
    expectRefused(words("read com.apple.dock tilesize"), "(com.apple.dock, tilesize)");
    ASSERT_EQ(defaults({"write", "com.apple.dock", "title", "Hello world"}).exitStatus, 0);
    EXPECT_EQ(readBack("com.apple.dock", "title"), "Hello world\n");
    for (const auto& [arguments, printed] :
         std::vector<std::pair<std::string, std::string>>{{"tilesize -int -48", "-48\n"},
                                                          {"ratio -float 2.5", "2.5\n"},
                                                          {"autohide -bool YES", "1\n"},
                                                          {"quoted -string 1", "1\n"}}) {
        std::vector<std::string> command = words("write com.apple.dock " + arguments);
        ASSERT_EQ(defaults(command).exitStatus, 0) << arguments;
        EXPECT_EQ(readBack("com.apple.dock", command[2]), printed);
    }
    EXPECT_EQ(plist_get_node_type(store.copyValue("com.apple.dock", "autohide").get()),
              PLIST_BOOLEAN);
    EXPECT_EQ(plist_get_node_type(store.copyValue("com.apple.dock", "quoted").get()), PLIST_STRING);
    store.setValue("com.apple.finder", "ShowPathbar", PlistNode(plist_new_bool(0)));
    store.setValue("com.apple.finder", "Zoom", PlistNode(plist_new_real(0.1)));
    EXPECT_EQ(readBack("com.apple.finder", "ShowPathbar"), "0\n");
    EXPECT_EQ(readBack("com.apple.finder", "Zoom"), "0.1\n");
}

TEST_F(DefaultsToolTest, TheGlobalDomainHasThreeNamesAndDeleteRefusesAnAbsentKey) {
    ASSERT_EQ(defaults(words("write NSGlobalDomain AppleInterfaceStyle Dark")).exitStatus, 0);
    EXPECT_EQ(readBack("-g", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_EQ(readBack(".GlobalPreferences", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_TRUE(store.copyValue(PreferenceStore::globalDomain(), "AppleInterfaceStyle"));
    EXPECT_EQ(readBack("nsglobaldomain", "AppleInterfaceStyle"), "<absent>");

    ASSERT_EQ(defaults(words("write -g k -int 1")).exitStatus, 0);
    EXPECT_EQ(defaults(words("delete -g k")).exitStatus, 0);
    EXPECT_EQ(readBack("-g", "k"), "<absent>");
    EXPECT_EQ(readBack("-g", "AppleInterfaceStyle"), "Dark\n");
    expectRefused(words("delete -g k"), "have not been changed");
}

TEST_F(DefaultsToolTest, BadValuesCommandLinesAndDomainNamesAreRefusedAndStoreNothing) {
    for (const char* bad : {"-int 1.5", "-integer 12abc", "-float nan", "-float inf", "-float 1e",
                            "-bool maybe", "-date 1"}) {
        expectRefused(words(std::string("write com.apple.dock k ") + bad));
    }
    expectRefused({"write", "com.apple.dock", "k", "-int", ""});
    EXPECT_EQ(readBack("com.apple.dock", "k"), "<absent>");
    for (const char* usage : {"", "read -g", "read -g a b", "export -g a"}) {
        expectRefused(words(usage), "usage");
    }
    expectRefused(words("write ../../etc/x k v"));
    EXPECT_FALSE(std::filesystem::exists(homeRoot.path() / "etc"));
}

}  // namespace
}  // namespace velmora
