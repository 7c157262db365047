// The application's own defaults domain: value kinds as stored, wrong kinds read as absent, and
// the copy that keeps unreadable settings aside.
#include <gtest/gtest.h>

#include "platform/InMemoryUserDefaults.hpp"
#include "platform/UserDefaults.hpp"
#include "tests/platform/PreferenceTestSupport.hpp"

namespace velmora {
namespace {

using testing::putFile;
using testing::TempHome;
using testing::xmlPlist;

constexpr const char* domain = "com.velmora.test";

std::string storedXml(const TempHome& home) {
    return testing::xmlOf(testing::parsedFile(home.file(domain)).get());
}

TEST(PreferenceUserDefaults, StoresEachKindAsThePlatformDoes) {
    TempHome home;
    const std::string bytes("[{\"x\":1}]\0z", 12);
    PreferenceUserDefaults defaults(home.store(), domain);
    defaults.setStringArray("ids", {"a", "b"});
    defaults.setBool("flag", true);
    defaults.setData("json", bytes);

    const std::string xml = storedXml(home);
    for (const char* stored : {"<key>ids</key>\n\t<array>\n\t\t<string>a</string>\n\t\t<string>b",
                               "<key>flag</key>\n\t<true/>", "<key>json</key>\n\t<data>"}) {
        EXPECT_NE(xml.find(stored), std::string::npos) << xml;
    }
    PreferenceUserDefaults reread(home.store(), domain);
    EXPECT_EQ(reread.stringArray("ids"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(reread.boolean("flag"));
    EXPECT_EQ(reread.data("json"), bytes);
}

TEST(PreferenceUserDefaults, OtherKindsReadAsAbsentAndBooleansFollowThePlatform) {
    TempHome home;
    putFile(home.file(domain),
            xmlPlist("<key>mixed</key><array><string>a</string><integer>3</integer></array>"
                     "<key>text</key><string>[]</string><key>empty</key><array/>"
                     "<key>one</key><integer>1</integer><key>zero</key><real>0.0</real>"
                     "<key>yes</key><string>  +007</string><key>no</key><string>000</string>"));
    PreferenceUserDefaults defaults(home.store(), domain);
    EXPECT_EQ(defaults.stringArray("mixed"), std::nullopt);
    EXPECT_EQ(defaults.stringArray("missing"), std::nullopt);
    EXPECT_EQ(defaults.stringArray("empty"), std::vector<std::string>{});
    EXPECT_EQ(defaults.data("text"), std::nullopt);
    EXPECT_TRUE(defaults.contains("text"));
    EXPECT_FALSE(defaults.contains("missing"));
    for (const auto& [key, expected] : {std::pair{"one", true},
                                        {"zero", false},
                                        {"yes", true},
                                        {"no", false},
                                        {"empty", false},
                                        {"missing", false}}) {
        EXPECT_EQ(defaults.boolean(key), expected) << key;
    }
    EXPECT_TRUE(textIsTrue("y"));
    EXPECT_FALSE(textIsTrue(""));
    EXPECT_FALSE(textIsTrue("false"));
}

TEST(PreferenceUserDefaults, CopyKeepsAnyKindAndNeverOverwrites) {
    TempHome home;
    putFile(home.file(domain), xmlPlist("<key>bad</key><string>not data</string>"));
    PreferenceUserDefaults defaults(home.store(), domain);
    EXPECT_TRUE(defaults.copyIfAbsent("bad", "bad.unreadable"));
    defaults.setData("bad", "[]");
    EXPECT_FALSE(defaults.copyIfAbsent("bad", "bad.unreadable"));
    EXPECT_FALSE(defaults.copyIfAbsent("missing", "missing.unreadable"));
    EXPECT_FALSE(defaults.contains("missing.unreadable"));
    EXPECT_NE(storedXml(home).find("<key>bad.unreadable</key>\n\t<string>not data</string>"),
              std::string::npos)
        << storedXml(home);
}

// Other tests stand this double in for the real defaults: it must read by the same rules.
TEST(InMemoryUserDefaults, ReadsByTheSameRules) {
    InMemoryUserDefaults defaults;
    defaults.set("text", std::string("Yes"));
    defaults.set("bytes", InMemoryUserDefaults::Data{"{}"});
    EXPECT_TRUE(defaults.boolean("text"));
    EXPECT_EQ(defaults.data("text"), std::nullopt);
    EXPECT_EQ(defaults.stringArray("bytes"), std::nullopt);
    EXPECT_EQ(defaults.data("bytes"), "{}");
    EXPECT_TRUE(defaults.copyIfAbsent("text", "copy"));
    EXPECT_FALSE(defaults.copyIfAbsent("bytes", "copy"));
    EXPECT_EQ(defaults.writes, 1);
}

}  // namespace
}  // namespace velmora
