// The stand-in pmset as a real process: its layout, its refusals and the power source it reports.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/PmsetOutput.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using ::testing::_;
using ::testing::AllOf;
using ::testing::Eq;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class PmsetToolTest : public ToolFixture {
  protected:
    ProcessResult pmset(const std::string& arguments,
                        const std::vector<std::string>& extra = {}) const {
        return run(SystemTool::pmset, words(arguments), extra);
    }
    std::map<std::string, std::string> values() const {
        return PmsetOutput::values(pmset("-g").standardOutput);
    }
    void expectRefused(const ProcessResult& result, const std::string& message) const {
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_THAT(result.standardError, HasSubstr(message));
    }
    const fs::path settingsFile = systemRoot.path() / "Library/Preferences/SystemConfiguration" /
                                  "com.apple.PowerManagement.plist";
};

TEST_F(PmsetToolTest, ShowsTheDefaultsInThePlatformLayoutAndChangesOneSettingKeepingTheOthers) {
    const std::string out = pmset("-g").standardOutput;
    EXPECT_TRUE(
        out.starts_with("System-wide power settings:\n SleepDisabled\t\t0\n"
                        "Currently in use:\n"));
    EXPECT_THAT(out, HasSubstr("\n sleep                1\n"));
    EXPECT_EQ(out.find('\r'), std::string::npos);
    EXPECT_TRUE(out.ends_with("\n"));
    EXPECT_FALSE(PmsetOutput::sleepDisabled(out));
    auto parsed = PmsetOutput::values(out);
    for (const char* key : {"powernap", "lowpowermode", "womp", "tcpkeepalive", "acwake",
                            "proximitywake", "sleep", "displaysleep", "disksleep"}) {
        EXPECT_TRUE(parsed.contains(key)) << key;
    }
    EXPECT_FALSE(fs::exists(settingsFile)) << "reading must not create the file";

    for (const char* change : {"-a powernap 0", "-a displaysleep 25", "-a disablesleep 1"}) {
        ASSERT_EQ(pmset(change).exitStatus, 0) << change;
    }
    parsed = values();
    EXPECT_EQ(parsed["powernap"], "0");
    EXPECT_EQ(parsed["displaysleep"], "25");
    EXPECT_EQ(parsed["womp"], "1");
    EXPECT_TRUE(PmsetOutput::sleepDisabled(pmset("-g").standardOutput));
    // Entries it does not know are kept.
    putFile(settingsFile,
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Custom</key>"
            "<string>kept</string></dict></plist>");
    ASSERT_EQ(pmset("-a sleep 7").exitStatus, 0);
    EXPECT_THAT(fileBytes(settingsFile), HasSubstr("<string>kept</string>"));
    EXPECT_EQ(values()["sleep"], "7");
}

TEST_F(PmsetToolTest, RefusesUnknownKeysBadValuesWrongCommandLinesAndUsersWithoutWriting) {
    for (const char* refused :
         {"hibernatefile 1", "SLEEP 1", "sleep -1", "sleep 1.5", "sleep 1441", "womp 2",
          "hibernatemode 2", "sleep ٣", "sleep 99999999999999999999"}) {
        SCOPED_TRACE(refused);
        expectRefused(pmset(std::string("-a ") + refused), words(refused)[0]);
    }
    expectRefused(run(SystemTool::pmset, {"-a", "sleep", ""}), "sleep");
    for (const char* usage : {"", "-g custom", "-a sleep", "-a sleep 1 womp", "-x"}) {
        SCOPED_TRACE(usage);
        expectRefused(pmset(usage), "usage");
    }
    if (canRunUnprivileged()) {
        expectRefused(runUnprivileged(SystemTool::pmset, words("-a sleep 5")), "root");
        EXPECT_EQ(runUnprivileged(SystemTool::pmset, {"-g"}).exitStatus, 0);
    }
    EXPECT_FALSE(fs::exists(settingsFile));
    EXPECT_EQ(pmset("-a hibernatemode 25").exitStatus, 0);
}

TEST_F(PmsetToolTest, AnUnreadableSettingsFileIsReportedAndNeverReplaced) {
    const std::string damaged = "<plist><dict><key>sleep</key>";
    putFile(settingsFile, damaged);
    expectRefused(pmset("-g"), "cannot read");
    EXPECT_EQ(pmset("-a sleep 5").exitStatus, 1);
    EXPECT_EQ(fileBytes(settingsFile), damaged);
    // A value the setting cannot take is as unreadable as broken syntax.
    putFile(settingsFile,
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>womp</key>"
            "<string>yes</string></dict></plist>");
    EXPECT_EQ(pmset("-g").exitStatus, 1);
}

TEST_F(PmsetToolTest, TheBatteryReportFollowsTheKernelsPowerSupplies) {
    const struct {
        const char* supplies;  // "supply/attribute=value …"
        bool onBattery;
        std::optional<int> percent;
        ::testing::Matcher<const std::string&> output = _;
    } cases[] = {
        {"", false, std::nullopt, Eq("Now drawing from 'AC Power'\n")},
        {"AC/type=Mains AC/online=0 BAT0/type=Battery BAT0/status=Discharging BAT0/capacity=42",
         true, 42,
         AllOf(StartsWith("Now drawing from 'Battery Power'\n"), HasSubstr("42%; discharging"))},
        {"ADP1/type=Mains ADP1/online=1 BAT0/type=Battery BAT0/status=Charging "
         "BAT0/energy_now=30000 BAT0/energy_full=40000",
         false, 75},
        {"mouse/type=Battery mouse/scope=Device mouse/status=Discharging mouse/capacity=5", false,
         std::nullopt},
        {"BAT0/type=Battery BAT0/status=Discharging BAT0/capacity=150", true, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.supplies);
        TempFolder folder;
        for (const std::string& entry : words(c.supplies)) {
            const auto equals = entry.find('=');
            putFile(folder.path() / entry.substr(0, equals), entry.substr(equals + 1) + "\n");
        }
        ProcessResult result =
            pmset("-g batt", {"VELMORA_POWER_SUPPLY_DIR=" + folder.path().string()});
        ASSERT_EQ(result.exitStatus, 0);
        EXPECT_EQ(PmsetOutput::onBattery(result.standardOutput), c.onBattery);
        EXPECT_EQ(PmsetOutput::batteryPercent(result.standardOutput), c.percent);
        EXPECT_THAT(result.standardOutput, c.output);
    }
}

}  // namespace
}  // namespace velmora
