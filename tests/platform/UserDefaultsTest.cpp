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
    const std::string xml = testing::fileXml(home.file(domain));
    for (const char* stored : {"<key>ids</key>\n\t<array>\n\t\t<string>a</string>\n\t\t<string>b",
                               "<key>flag</key>\n\t<true/>", "<key>json</key>\n\t<data>"}) {
        EXPECT_NE(xml.find(stored), std::string::npos) << xml;
    }
    PreferenceUserDefaults reread(home.store(), domain);
    EXPECT_EQ(reread.stringArray("ids"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(reread.data("json"), bytes);
}

TEST(PreferenceUserDefaults, OtherKindsReadAsAbsentAndBooleansFollowThePlatform) {
    TempHome home;
    testing::putFile(home.file(domain),
                     testing::xmlPlist("<key>mixed</key><array><string>a</string><integer>3"
                                       "</integer></array><key>text</key><string>[]</string>"
                                       "<key>empty</key><array/><key>one</key><integer>1</integer>"
                                       "<key>zero</key><real>0.0</real><key>yes</key><string>  "
                                       "+007</string><key>no</key><string>000</string>"));
    PreferenceUserDefaults defaults(home.store(), domain);
    EXPECT_EQ(defaults.stringArray("mixed"), std::nullopt);
    EXPECT_EQ(defaults.stringArray("empty"), std::vector<std::string>{});
    EXPECT_EQ(defaults.data("text"), std::nullopt);
    for (const auto& [key, expected] : {std::pair{"one", true},
                                        {"zero", false},
                                        {"yes", true},
                                        {"no", false},
                                        {"empty", false},
                                        {"missing", false}}) {
        EXPECT_EQ(defaults.boolean(key), expected) << key;
    }
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
