// The stand-in pmset as a real process: its layout, its refusals and the power source it reports.
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>

#include <gtest/gtest.h>

#include "platform/FileFaults.hpp"
#include "platform/PmsetOutput.hpp"
#include "tests/tools/ToolFixture.hpp"
#include "tools/pmset/PowerSettings.hpp"

namespace velmora {
namespace {

using ::testing::_;
using ::testing::Eq;
using ::testing::Matcher;

class PmsetToolTest : public ToolFixture {
  protected:
    ProcessResult pmset(const std::string& arguments, const Args& extra = {},
                        As as = As::caller) const {
        return run(SystemTool::pmset, words(arguments), extra, as);
    }
    void expectRefused(const ProcessResult& result, const std::string& message) const {
        EXPECT_EQ(result.exitStatus, 1) << message;
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_THAT(result.standardError, HasSubstr(message));
    }
    const fs::path settingsFile = systemRoot.path() / "Library/Preferences/SystemConfiguration" /
                                  "com.apple.PowerManagement.plist";
};

TEST_F(PmsetToolTest, ShowsTheDefaultsInThePlatformLayoutAndChangesOneSettingKeepingTheOthers) {
    const std::string out = pmset("-g").standardOutput;
    EXPECT_TRUE(
        out.starts_with("System-wide power settings:\n SleepDisabled\t\t0\nCurrently in use:\n"));
    EXPECT_THAT(out, HasSubstr("\n sleep                1\n"));
    EXPECT_TRUE(out.find('\r') == std::string::npos && out.ends_with("\n"));
    EXPECT_FALSE(fs::exists(settingsFile)) << "reading must not create the file";

    // Entries it does not know are kept.
    putFile(settingsFile,
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Custom</key>"
            "<string>kept</string></dict></plist>");
    for (const char* change :
         {"-a powernap 0", "-a displaysleep 1440", "-a sleep 0", "-a disablesleep 1"}) {
        ASSERT_EQ(pmset(change).exitStatus, 0) << change;
    }
    auto values = PmsetOutput::values(pmset("-g").standardOutput);
    EXPECT_EQ((Args{values["powernap"], values["displaysleep"], values["sleep"], values["womp"]}),
              (Args{"0", "1440", "0", "1"}));
    EXPECT_TRUE(PmsetOutput::sleepDisabled(pmset("-g").standardOutput));
    EXPECT_THAT(fileBytes(settingsFile), HasSubstr("<string>kept</string>"));
}

TEST_F(PmsetToolTest, RefusesUnknownKeysBadValuesWrongCommandLinesUsersAndUnreadableFiles) {
    for (const char* refused :
         {"hibernatefile 1", "SLEEP 1", "sleep -1", "sleep 1.5", "sleep 1441", "womp 2",
          "hibernatemode 2", "sleep ٣", "sleep 99999999999999999999"}) {
        expectRefused(pmset(std::string("-a ") + refused), words(refused)[0]);
    }
    expectRefused(run(SystemTool::pmset, {"-a", "sleep", ""}), "sleep");
    for (const char* usage : {"", "-g custom", "-a sleep 1 womp"}) {
        expectRefused(pmset(usage), "usage");
    }
    if (canRunUnprivileged()) {
        expectRefused(pmset("-a sleep 5", {}, As::nobody), "root");
    }
    EXPECT_FALSE(fs::exists(settingsFile));

    // A file it cannot read is never replaced; a value a setting cannot take is as unreadable as
    // broken syntax.
    const std::string damaged = "<plist><dict><key>sleep</key>";
    putFile(settingsFile, damaged);
    expectRefused(pmset("-g"), "cannot read");
    EXPECT_EQ(pmset("-a sleep 5").exitStatus, 1);
    EXPECT_EQ(fileBytes(settingsFile), damaged);
    putFile(settingsFile,
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>womp</key>"
            "<string>yes</string></dict></plist>");
    EXPECT_EQ(pmset("-g").exitStatus, 1);
    const std::string bomb = testing::sharedReferenceBomb(40);
    putFile(settingsFile, bomb);
    expectRefused(pmset("-g"), "cannot read");
    EXPECT_EQ(pmset("-a sleep 5").exitStatus, 1);
    EXPECT_EQ(fileBytes(settingsFile), bomb);
}

TEST_F(PmsetToolTest, TheBatteryReportFollowsTheKernelsPowerSupplies) {
    const std::tuple<const char*, bool, std::optional<int>, Matcher<const std::string&>> cases[] = {
        {"", false, std::nullopt, Eq("Now drawing from 'AC Power'\n")},
        {"AC/type=Mains AC/online=0 BAT0/type=Battery BAT0/status=Discharging BAT0/capacity=42",
         true, 42, HasSubstr("42%; discharging")},
        {"mouse/type=Battery mouse/scope=Device mouse/status=Discharging mouse/capacity=5", false,
         std::nullopt, _},
        {"BAT0/type=Battery BAT0/status=Discharging BAT0/capacity=150", true, 100, _},
    };
    for (const auto& [supplies, onBattery, percent, output] : cases) {
        TempFolder folder;
        for (const std::string& entry : words(supplies)) {
            const auto equals = entry.find('=');
            putFile(folder.path() / entry.substr(0, equals), entry.substr(equals + 1) + "\n");
        }
        const std::string out =
            pmset("-g batt", {"VELMORA_POWER_SUPPLY_DIR=" + folder.path().string()}).standardOutput;
        EXPECT_EQ(PmsetOutput::onBattery(out), onBattery) << supplies;
        EXPECT_EQ(PmsetOutput::batteryPercent(out), percent) << supplies;
        EXPECT_THAT(out, output);
        EXPECT_TRUE(out.starts_with(onBattery ? "Now drawing from 'Battery Power'\n"
                                              : "Now drawing from 'AC Power'\n"));
    }
}

// Whichever step of the atomic replacement fails, or when the writer is killed, the old settings
// stay whole and no temporary file is left beside them (a failure is reported).
TEST(PowerSettingsFile, AFailedStepOfTheReplacementKeepsTheOldFileAndLeavesNothingBehind) {
    TempFolder folder;
    const fs::path path = folder.path() / "com.apple.PowerManagement.plist";
    const pmset::PowerSettingsFile file(path);
    const pmset::Setting& sleep = *pmset::findSetting("sleep");
    ASSERT_EQ(file.store(sleep, 5), std::nullopt);
    const std::string before = fileBytes(path);
    const auto entries = [&] {
        Args names;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    const Args kept = entries();
    for (const FileStep step : {FileStep::write, FileStep::fsync, FileStep::rename}) {
        SCOPED_TRACE(static_cast<int>(step));
        FileFaults::failNth(step, 1, ENOSPC);
        const auto error = file.store(sleep, 7);
        FileFaults::reset();
        ASSERT_TRUE(error.has_value());
        EXPECT_THAT(*error, HasSubstr("No space left on device"));
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(entries(), kept);
    }
    ASSERT_EQ(file.store(sleep, 7), std::nullopt);
    EXPECT_EQ(file.load().value().at("sleep"), 7u);

    // Killed mid-write (the file-size limit ends it as the helper's kill of a pmset that overran
    // its time does): the settings stay whole, and the next write clears what it left behind.
    const pid_t writer = ::fork();
    if (writer == 0) {
        constexpr rlim_t writtenBeforeTheKill = 16;
        const rlimit noCore{0, 0};
        const rlimit smallFiles{writtenBeforeTheKill, writtenBeforeTheKill};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_FSIZE, &smallFiles);
        ::signal(SIGXFSZ, SIG_DFL);
        (void)file.store(sleep, 9);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(writer, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(file.load().value().at("sleep"), 7u);
    ASSERT_EQ(file.store(sleep, 8), std::nullopt);
    EXPECT_EQ(entries(), kept);
}

}  // namespace
}  // namespace velmora
