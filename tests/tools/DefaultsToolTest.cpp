// The stand-in defaults as a real process over a temporary home root.
#include <plist/plist.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/PreferenceStore.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

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
    PreferenceStore store{homeRoot.path()};
};

TEST_F(DefaultsToolTest, AnAbsentKeyIsAnErrorOnStandardErrorOnly) {
    ProcessResult result = defaults({"read", "-g", "AppleInterfaceStyle"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_THAT(result.standardOutput, IsEmpty());
    EXPECT_THAT(result.standardError, HasSubstr("(kCFPreferencesAnyApplication, "
                                                "AppleInterfaceStyle) does not exist"));
    result = defaults({"read", "com.apple.dock", "tilesize"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_THAT(result.standardError, HasSubstr("(com.apple.dock, tilesize)"));
}

TEST_F(DefaultsToolTest, WrittenValuesReadBackInTheToolsOwnFormAndAsTheApplicationWroteThem) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"title", "Hello world"}, "Hello world\n"}, {{"tilesize", "-int", "-48"}, "-48\n"},
        {{"ratio", "-float", "2.5"}, "2.5\n"},       {{"autohide", "-bool", "YES"}, "1\n"},
        {{"quoted", "-string", "1"}, "1\n"},
    };
    for (const auto& [arguments, printed] : cases) {
        std::vector<std::string> command = {"write", "com.apple.dock"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        ASSERT_EQ(defaults(command).exitStatus, 0) << arguments[0];
        EXPECT_EQ(readBack("com.apple.dock", arguments[0]), printed);
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
    ASSERT_EQ(defaults({"write", "NSGlobalDomain", "AppleInterfaceStyle", "Dark"}).exitStatus, 0);
    EXPECT_EQ(readBack("-g", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_EQ(readBack(".GlobalPreferences", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_TRUE(store.copyValue(PreferenceStore::globalDomain(), "AppleInterfaceStyle"));
    EXPECT_EQ(readBack("nsglobaldomain", "AppleInterfaceStyle"), "<absent>");

    ASSERT_EQ(defaults({"write", "-g", "k", "-int", "1"}).exitStatus, 0);
    EXPECT_EQ(defaults({"delete", "-g", "k"}).exitStatus, 0);
    EXPECT_EQ(readBack("-g", "k"), "<absent>");
    EXPECT_EQ(readBack("-g", "AppleInterfaceStyle"), "Dark\n");
    ProcessResult again = defaults({"delete", "-g", "k"});
    EXPECT_EQ(again.exitStatus, 1);
    EXPECT_THAT(again.standardError, HasSubstr("have not been changed"));
}

TEST_F(DefaultsToolTest, BadValuesCommandLinesAndDomainNamesAreRefusedAndStoreNothing) {
    for (const auto& [type, value] :
         std::vector<std::pair<std::string, std::string>>{{"-int", "1.5"},
                                                          {"-int", ""},
                                                          {"-integer", "12abc"},
                                                          {"-float", "nan"},
                                                          {"-float", "inf"},
                                                          {"-float", "1e"},
                                                          {"-bool", "maybe"},
                                                          {"-date", "1"}}) {
        ProcessResult result = defaults({"write", "com.apple.dock", "k", type, value});
        EXPECT_EQ(result.exitStatus, 1) << type << " " << value;
        EXPECT_THAT(result.standardError, Not(IsEmpty()));
    }
    EXPECT_EQ(readBack("com.apple.dock", "k"), "<absent>");

    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {}, {"read", "-g"}, {"read", "-g", "a", "b"}, {"export", "-g", "a"}}) {
        ProcessResult result = defaults(arguments);
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_THAT(result.standardError, HasSubstr("usage"));
    }
    ProcessResult escape = defaults({"write", "../../etc/x", "k", "v"});
    EXPECT_EQ(escape.exitStatus, 1);
    EXPECT_THAT(escape.standardError, Not(IsEmpty()));
    EXPECT_FALSE(std::filesystem::exists(homeRoot.path() / "etc"));
}

}  // namespace
}  // namespace velmora
