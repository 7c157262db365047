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

TEST_F(DefaultsToolTest, WrittenValuesReadBackInTheToolsOwnForm) {
    ASSERT_EQ(defaults({"write", "com.apple.dock", "title", "Hello world"}).exitStatus, 0);
    ASSERT_EQ(defaults({"write", "com.apple.dock", "tilesize", "-int", "-48"}).exitStatus, 0);
    ASSERT_EQ(defaults({"write", "com.apple.dock", "ratio", "-float", "2.5"}).exitStatus, 0);
    ASSERT_EQ(defaults({"write", "com.apple.dock", "autohide", "-bool", "YES"}).exitStatus, 0);
    ASSERT_EQ(defaults({"write", "com.apple.dock", "quoted", "-string", "1"}).exitStatus, 0);
    EXPECT_EQ(readBack("com.apple.dock", "title"), "Hello world\n");
    EXPECT_EQ(readBack("com.apple.dock", "tilesize"), "-48\n");
    EXPECT_EQ(readBack("com.apple.dock", "ratio"), "2.5\n");
    EXPECT_EQ(readBack("com.apple.dock", "autohide"), "1\n");
    EXPECT_EQ(readBack("com.apple.dock", "quoted"), "1\n");

    PlistNode stored = store.copyValue("com.apple.dock", "autohide");
    ASSERT_TRUE(stored);
    EXPECT_EQ(plist_get_node_type(stored.get()), PLIST_BOOLEAN);
    stored = store.copyValue("com.apple.dock", "quoted");
    EXPECT_EQ(plist_get_node_type(stored.get()), PLIST_STRING);
}

TEST_F(DefaultsToolTest, TheGlobalDomainHasThreeNames) {
    ASSERT_EQ(defaults({"write", "NSGlobalDomain", "AppleInterfaceStyle", "Dark"}).exitStatus, 0);
    EXPECT_EQ(readBack("-g", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_EQ(readBack(".GlobalPreferences", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_TRUE(store.copyValue(PreferenceStore::globalDomain(), "AppleInterfaceStyle"));
    EXPECT_EQ(readBack("nsglobaldomain", "AppleInterfaceStyle"), "<absent>");
}

TEST_F(DefaultsToolTest, ReadsWhatTheApplicationWrote) {
    store.setValue("com.apple.finder", "ShowPathbar", PlistNode(plist_new_bool(0)));
    store.setValue("com.apple.finder", "Zoom", PlistNode(plist_new_real(0.1)));
    EXPECT_EQ(readBack("com.apple.finder", "ShowPathbar"), "0\n");
    EXPECT_EQ(readBack("com.apple.finder", "Zoom"), "0.1\n");
}

TEST_F(DefaultsToolTest, BadValuesAreRefusedAndStoreNothing) {
    const std::vector<std::vector<std::string>> refused = {
        {"-int", "1.5"},   {"-int", ""},     {"-integer", "12abc"}, {"-float", "nan"},
        {"-float", "inf"}, {"-float", "1e"}, {"-bool", "maybe"},    {"-date", "1"}};
    for (const auto& typed : refused) {
        ProcessResult result = defaults({"write", "com.apple.dock", "k", typed[0], typed[1]});
        EXPECT_EQ(result.exitStatus, 1) << typed[0] << " " << typed[1];
        EXPECT_THAT(result.standardError, Not(IsEmpty()));
    }
    EXPECT_EQ(readBack("com.apple.dock", "k"), "<absent>");
}

TEST_F(DefaultsToolTest, DeleteRemovesAKeyAndRefusesAnAbsentOne) {
    ASSERT_EQ(defaults({"write", "-g", "k", "-int", "1"}).exitStatus, 0);
    ASSERT_EQ(defaults({"write", "-g", "other", "-int", "2"}).exitStatus, 0);
    EXPECT_EQ(defaults({"delete", "-g", "k"}).exitStatus, 0);
    EXPECT_EQ(readBack("-g", "k"), "<absent>");
    EXPECT_EQ(readBack("-g", "other"), "2\n");
    ProcessResult again = defaults({"delete", "-g", "k"});
    EXPECT_EQ(again.exitStatus, 1);
    EXPECT_THAT(again.standardError, HasSubstr("have not been changed"));
}

TEST_F(DefaultsToolTest, WrongCommandLinesAndDomainNamesAreRefused) {
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
