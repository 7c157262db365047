// The application's own defaults domain: value kinds as stored, wrong kinds read as absent, and
// the copy that keeps unreadable settings aside.
#include <gtest/gtest.h>

#include "platform/UserDefaults.hpp"
#include "tests/platform/PreferenceTestSupport.hpp"

namespace velmora {
namespace {

using testing::TempHome;

constexpr const char* domain = "com.velmora.test";

TEST(PreferenceUserDefaults, StoresEachKindAsThePlatformDoes) {
    TempHome home;
    const std::string bytes("[{\"x\":1}]\0z", 12);
    PreferenceUserDefaults defaults(home.store(), domain);
    defaults.setStringArray("ids", {"a", "b"});
    defaults.setBool("flag", true);
    defaults.setData("json", bytes);
    testing::putFile(home.file("expected"),
                     testing::xmlPlist("<key>ids</key><array><string>a</string><string>b</string>"
                                       "</array><key>flag</key><true/><key>json</key>"
                                       "<data>W3sieCI6MX1dAHoA</data>"));
    EXPECT_EQ(testing::fileXml(home.file(domain)), testing::fileXml(home.file("expected")));
    PreferenceUserDefaults reread(home.store(), domain);
    EXPECT_EQ(reread.stringArray("ids"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(reread.data("json"), bytes);
}

TEST(PreferenceUserDefaults, OtherKindsReadAsAbsentAndBooleansFollowThePlatform) {
    TempHome home;
    testing::putFile(home.file(domain), testing::xmlPlist("<key>mixed</key><array><string>a"
                                                          "</string><integer>3</integer></array>"
                                                          "<key>yes</key><string> +07</string>"));
    PreferenceUserDefaults defaults(home.store(), domain);
    EXPECT_EQ(defaults.stringArray("mixed"), std::nullopt);
    EXPECT_EQ(defaults.stringElements("mixed"), std::vector<std::string>{"a"});
    EXPECT_EQ(defaults.stringElements("yes"), std::nullopt);
    EXPECT_EQ(defaults.data("yes"), std::nullopt);
    EXPECT_TRUE(defaults.boolean("yes"));
    EXPECT_FALSE(defaults.boolean("mixed"));
}

TEST(PreferenceUserDefaults, CopyKeepsAnyKindAndNeverOverwrites) {
    TempHome home;
    testing::putFile(home.file(domain), testing::xmlPlist("<key>bad</key><string>x</string>"));
    PreferenceUserDefaults defaults(home.store(), domain);
    EXPECT_TRUE(defaults.copyIfAbsent("bad", "bad.unreadable"));
    defaults.setData("bad", "[]");
    EXPECT_FALSE(defaults.copyIfAbsent("bad", "bad.unreadable"));
    EXPECT_FALSE(defaults.copyIfAbsent("missing", "missing.unreadable"));
    EXPECT_FALSE(defaults.contains("missing.unreadable"));
    EXPECT_NE(
        testing::fileXml(home.file(domain)).find("<key>bad.unreadable</key>\n\t<string>x</string>"),
        std::string::npos);
}

}  // namespace
}  // namespace velmora
