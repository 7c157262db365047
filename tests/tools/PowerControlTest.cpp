// PowerControl over real and scripted tools: the refusal before any prompt, readers that run pmset
// once and never throw, and the whole road through the stand-in osascript and pmset.
#include "platform/PowerControl.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <future>

#include "kit/VelmoraError.hpp"
#include "platform/DisplayControl.hpp"
#include "platform/ToolOutput.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

class PowerControlTest : public ToolFixture {
  protected:
    void SetUp() override { SystemTools::resetAll(); }
    void TearDown() override { SystemTools::resetAll(); }

    // A stand-in `tool` running `body`; by default an osascript that records its arguments in
    // `log`.
    void fakeTool(SystemTool tool = SystemTool::osascript, std::string body = {}) {
        const fs::path script = scripts.path() / std::to_string(++fakes);
        writeScript(script,
                    body.empty() ? "printf '%s\\n' \"$@\" > '" + log.string() + "'\n" : body);
        SystemTools::inject(tool, script);
    }

    TempFolder scripts;
    const fs::path log = scripts.path() / "log";
    int fakes = 0;
    // The helper's socket lies under this root, so by default no helper answers.
    ScopedEnv root{SystemPaths::rootVariable, systemRoot.path().string()};
};

TEST_F(PowerControlTest, RefusesKeysAndValuesOutsideTheWhitelistWithoutPrompting) {
    fakeTool();
    for (const std::string refused :
         {"hibernatemode=0", "SLEEP=1", "sleep=", "sleep=-1", "sleep=1.5", "sleep=1; reboot",
          "sleep=1\" & x", "sleep=٣", "sleep=1234567890", "sleep\" -a womp=1", "=1",
          "powernap =0"}) {
        const auto equals = refused.find('=');
        EXPECT_THAT(
            [&] { PowerControl::setPmset(refused.substr(0, equals), refused.substr(equals + 1)); },
            ::testing::ThrowsMessage<VelmoraError>(
                VelmoraError::powerCommandFailed("Not allowed").description()))
            << refused;
    }
    EXPECT_FALSE(fs::exists(log));
}

// A refresh reads the keep-awake flag and then every value: one `pmset -g` must serve both, but
// never a later reading or one after a write.
TEST_F(PowerControlTest, ReadersFollowWhatPmsetPrintsOnceAndGiveNothingWhenItCannotRun) {
    SystemTools::inject(SystemTool::pmset, scripts.path() / "missing");
    PowerControl live = PowerControl::live();
    EXPECT_FALSE(live.keepAwakeWithLidClosed() || live.isOnBattery());
    EXPECT_TRUE(live.powerValues().empty());
    EXPECT_EQ(live.percentReader(), std::nullopt);

    fakeTool(SystemTool::pmset,
             "if [ \"$2\" = batt ]; then printf \"Now drawing from 'Battery Power'\\n "
             "-InternalBattery-0\t19%%; discharging\\n\"; exit 0; fi\necho \"$*\" >> '" +
                 log.string() +
                 "'\nprintf 'System-wide power settings:\\n SleepDisabled\\t\\t1\\n womp 0\\n'\n");
    live = PowerControl::live();
    EXPECT_TRUE(live.isOnBattery());
    EXPECT_EQ(live.percentReader(), 19);
    EXPECT_TRUE(live.keepAwakeWithLidClosed());
    EXPECT_EQ(live.powerValues().at("womp"), "0");
    live.powerValues();
    EXPECT_EQ(fileBytes(log), "-g\n-g\n") << "handed out once";
    fakeTool();
    live.keepAwakeWithLidClosed();
    live.settingWriter("womp", "1");
    fs::remove(log);
    live.powerValues();
    EXPECT_EQ(fileBytes(log), "-g\n") << "a write makes the kept reading stale";
}

// The monitor reads the power source and then the level at every tick: one `pmset -g batt` serves
// both, handed out once, and a later level reading runs pmset again and sees what it prints then.
TEST_F(PowerControlTest, OneBatteryReadingServesThePowerSourceAndTheLevelThatFollows) {
    const fs::path level = scripts.path() / "level";
    std::ofstream(level) << "19";
    fakeTool(SystemTool::pmset, "echo \"$*\" >> '" + log.string() +
                                    "'\nprintf \"Now drawing from 'Battery Power'\\n "
                                    "-InternalBattery-0\t%s%%; discharging\\n\" \"$(cat '" +
                                    level.string() + "')\"\n");
    PowerControl live = PowerControl::live();
    EXPECT_TRUE(live.isOnBattery());
    EXPECT_EQ(live.percentReader(), 19);
    EXPECT_EQ(fileBytes(log), "-g batt\n") << "one run for both";
    std::ofstream(level) << "18";
    EXPECT_EQ(live.percentReader(), 18) << "the kept reading is handed out once";
    EXPECT_EQ(fileBytes(log), "-g batt\n-g batt\n");
}

// A `pmset` or `defaults` that never ends would hold the window (every refresh reads both) for as
// long as it hangs: each reading gives up after its timeout, and the level reading that follows
// the power source's takes the same failed run instead of waiting again.
TEST_F(PowerControlTest, HangingToolsGiveNothingAfterOneTimeoutEach) {
    const std::string hang = "exec sleep 30\n";
    fakeTool(SystemTool::pmset, hang);
    fakeTool(SystemTool::defaults, hang);
    const auto started = std::chrono::steady_clock::now();
    std::future<bool> dark = std::async(std::launch::async, DarkMode::isOn);
    PowerControl live = PowerControl::live();
    EXPECT_FALSE(live.isOnBattery());
    EXPECT_EQ(live.percentReader(), std::nullopt);
    EXPECT_FALSE(dark.get());
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, ToolOutput::readingTimeout);
    EXPECT_LT(waited, 2 * ToolOutput::readingTimeout);
}

TEST_F(PowerControlTest, TheWholeRoadThroughTheStandInsChangesTheSetting) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "the stand-in osascript asks for a password unless run as root";
    }
    PowerControl live = PowerControl::live();
    EXPECT_EQ(live.powerValues().at("powernap"), "1");
    live.settingWriter("powernap", "0");
    EXPECT_EQ(live.powerValues().at("powernap"), "0");
}

}  // namespace
}  // namespace velmora
