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
using testing::xmlOf;
using testing::xmlPlist;

constexpr const char* domain = "com.velmora.test";

TEST(PreferenceUserDefaults, StoresEachKindAsThePlatformDoes) {
    TempHome home;
    PreferenceUserDefaults defaults(home.store(), domain);
    defaults.setStringArray("ids", {"a", "b"});
    defaults.setBool("flag", true);
    defaults.setData("json", std::string("[{\"x\":1}]\0z", 12));

    const std::string xml = xmlOf(testing::parsedFile(home.file(domain)).get());
    EXPECT_NE(xml.find("<key>ids</key>\n\t<array>\n\t\t<string>a</string>\n\t\t<string>b</string>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<key>flag</key>\n\t<true/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<key>json</key>\n\t<data>"), std::string::npos) << xml;

    PreferenceUserDefaults reread(home.store(), domain);
    EXPECT_EQ(reread.stringArray("ids"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(reread.boolean("flag"));
    EXPECT_EQ(reread.data("json"), std::string("[{\"x\":1}]\0z", 12));
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
    for (const auto& [key, expected] :
         std::vector<std::pair<std::string, bool>>{{"one", true},
                                                   {"zero", false},
                                                   {"yes", true},
                                                   {"no", false},
                                                   {"empty", false},
                                                   {"missing", false}}) {
        EXPECT_EQ(defaults.boolean(key), expected) << key;
    }
    for (const auto& [text, expected] : std::vector<std::pair<std::string, bool>>{
             {"true", true}, {"y", true}, {"", false}, {"false", false}}) {
        EXPECT_EQ(textIsTrue(text), expected) << text;
    }
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

    const std::string xml = xmlOf(testing::parsedFile(home.file(domain)).get());
    EXPECT_NE(xml.find("<key>bad.unreadable</key>\n\t<string>not data</string>"), std::string::npos)
        << xml;
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
