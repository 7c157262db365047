// The stand-in pmset as a real process: its layout, its refusals and the power source it reports.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/PmsetOutput.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class PmsetToolTest : public ToolFixture {
  protected:
    ProcessResult pmset(const std::vector<std::string>& arguments,
                        const std::vector<std::string>& extra = {}) const {
        return run(SystemTool::pmset, arguments, extra);
    }
    std::map<std::string, std::string> values() const {
        return PmsetOutput::values(pmset({"-g"}).standardOutput);
    }
    fs::path settingsFile() const {
        return systemRoot.path() / "Library/Preferences/SystemConfiguration" /
               "com.apple.PowerManagement.plist";
    }
};

TEST_F(PmsetToolTest, ShowsTheDefaultsInThePlatformLayoutWithLfLineEnds) {
    ProcessResult result = pmset({"-g"});
    ASSERT_EQ(result.exitStatus, 0) << result.standardError;
    const std::string& out = result.standardOutput;
    EXPECT_TRUE(
        out.starts_with("System-wide power settings:\n SleepDisabled\t\t0\n"
                        "Currently in use:\n"));
    EXPECT_THAT(out, HasSubstr("\n sleep                1\n"));
    EXPECT_THAT(out, Not(HasSubstr("\r")));
    EXPECT_TRUE(out.ends_with("\n"));
    EXPECT_FALSE(PmsetOutput::sleepDisabled(out));
    auto parsed = PmsetOutput::values(out);
    for (const char* key : {"powernap", "lowpowermode", "womp", "tcpkeepalive", "acwake",
                            "proximitywake", "sleep", "displaysleep", "disksleep"}) {
        EXPECT_TRUE(parsed.contains(key)) << key;
    }
    EXPECT_FALSE(fs::exists(settingsFile())) << "reading must not create the file";
}

TEST_F(PmsetToolTest, ChangesOneSettingAndKeepsTheOthersKnownOrNot) {
    ASSERT_EQ(pmset({"-a", "powernap", "0"}).exitStatus, 0);
    ASSERT_EQ(pmset({"-a", "displaysleep", "25"}).exitStatus, 0);
    ASSERT_EQ(pmset({"-a", "disablesleep", "1"}).exitStatus, 0);
    auto parsed = values();
    EXPECT_EQ(parsed["powernap"], "0");
    EXPECT_EQ(parsed["displaysleep"], "25");
    EXPECT_EQ(parsed["womp"], "1");
    EXPECT_TRUE(PmsetOutput::sleepDisabled(pmset({"-g"}).standardOutput));
    EXPECT_THAT(readFile(settingsFile()), HasSubstr("<key>powernap</key>"));

    // Entries it does not know are kept.
    writeFile(settingsFile(),
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Custom</key>"
              "<string>kept</string></dict></plist>");
    ASSERT_EQ(pmset({"-a", "sleep", "7"}).exitStatus, 0);
    EXPECT_THAT(readFile(settingsFile()), HasSubstr("<string>kept</string>"));
    EXPECT_EQ(values()["sleep"], "7");
}

TEST_F(PmsetToolTest, RefusesUnknownKeysBadValuesAndWrongCommandLinesWithoutWriting) {
    const std::vector<std::vector<std::string>> refused = {
        {"-a", "hibernatefile", "1"}, {"-a", "SLEEP", "1"},
        {"-a", "sleep", ""},          {"-a", "sleep", "-1"},
        {"-a", "sleep", "1.5"},       {"-a", "sleep", "1441"},
        {"-a", "womp", "2"},          {"-a", "hibernatemode", "2"},
        {"-a", "sleep", "٣"},         {"-a", "sleep", "99999999999999999999"}};
    for (const auto& arguments : refused) {
        ProcessResult result = pmset(arguments);
        EXPECT_EQ(result.exitStatus, 1) << arguments[1] << "=" << arguments[2];
        EXPECT_THAT(result.standardError, HasSubstr(arguments[1]));
        EXPECT_THAT(result.standardOutput, IsEmpty());
    }
    EXPECT_FALSE(fs::exists(settingsFile()));
    EXPECT_EQ(pmset({"-a", "hibernatemode", "25"}).exitStatus, 0);
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {}, {"-g", "custom"}, {"-a", "sleep"}, {"-a", "sleep", "1", "womp"}, {"-x"}}) {
        ProcessResult result = pmset(arguments);
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_THAT(result.standardError, HasSubstr("usage"));
    }
}

TEST_F(PmsetToolTest, ChangingNeedsRoot) {
    if (!canRunUnprivileged()) {
        GTEST_SKIP() << "needs root to drop to an unprivileged user";
    }
    ProcessResult result = runUnprivileged(SystemTool::pmset, {"-a", "sleep", "5"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_THAT(result.standardError, HasSubstr("root"));
    EXPECT_FALSE(fs::exists(settingsFile()));
    EXPECT_EQ(runUnprivileged(SystemTool::pmset, {"-g"}).exitStatus, 0);
}

TEST_F(PmsetToolTest, AnUnreadableSettingsFileIsReportedAndNeverReplaced) {
    const std::string damaged = "<plist><dict><key>sleep</key>";
    writeFile(settingsFile(), damaged);
    ProcessResult shown = pmset({"-g"});
    EXPECT_EQ(shown.exitStatus, 1);
    EXPECT_THAT(shown.standardError, HasSubstr("cannot read"));
    EXPECT_THAT(shown.standardOutput, IsEmpty());
    EXPECT_EQ(pmset({"-a", "sleep", "5"}).exitStatus, 1);
    EXPECT_EQ(readFile(settingsFile()), damaged);

    // A value the setting cannot take is as unreadable as broken syntax.
    writeFile(settingsFile(),
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>womp</key>"
              "<string>yes</string></dict></plist>");
    EXPECT_EQ(pmset({"-g"}).exitStatus, 1);
}

TEST_F(PmsetToolTest, TheBatteryReportFollowsTheKernelsPowerSupplies) {
    using Supply = std::pair<std::string, std::map<std::string, std::string>>;
    struct Case {
        std::string name;
        std::vector<Supply> supplies;
        bool onBattery;
        std::optional<int> percent;
    };
    const Supply dischargingAt42 = {
        "BAT0", {{"type", "Battery"}, {"status", "Discharging"}, {"capacity", "42"}}};
    const std::vector<Case> cases = {
        {"desktop", {}, false, std::nullopt},
        {"offline adaptor",
         {{"AC", {{"type", "Mains"}, {"online", "0"}}}, dischargingAt42},
         true,
         42},
        {"online adaptor",
         {{"ADP1", {{"type", "Mains"}, {"online", "1"}}},
          {"BAT0",
           {{"type", "Battery"},
            {"status", "Charging"},
            {"energy_now", "30000"},
            {"energy_full", "40000"}}}},
         false,
         75},
        {"peripheral",
         {{"hid-mouse-battery",
           {{"type", "Battery"},
            {"scope", "Device"},
            {"status", "Discharging"},
            {"capacity", "5"}}}},
         false,
         std::nullopt},
        {"no adaptor",
         {{"BAT0", {{"type", "Battery"}, {"status", "Discharging"}, {"capacity", "150"}}}},
         true,
         100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        for (const auto& [supply, attributes] : c.supplies) {
            for (const auto& [attribute, text] : attributes) {
                writeFile(folder.path() / supply / attribute, text + "\n");
            }
        }
        ProcessResult result =
            pmset({"-g", "batt"}, {"VELMORA_POWER_SUPPLY_DIR=" + folder.path().string()});
        ASSERT_EQ(result.exitStatus, 0);
        const std::string& out = result.standardOutput;
        EXPECT_EQ(PmsetOutput::onBattery(out), c.onBattery);
        EXPECT_EQ(PmsetOutput::batteryPercent(out), c.percent);
        if (c.supplies.empty()) {
            EXPECT_EQ(out, "Now drawing from 'AC Power'\n");
        }
        if (c.name == "offline adaptor") {
            EXPECT_TRUE(out.starts_with("Now drawing from 'Battery Power'\n"));
            EXPECT_THAT(out, HasSubstr("42%; discharging"));
        }
    }
}

}  // namespace
}  // namespace velmora
