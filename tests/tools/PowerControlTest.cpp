// PowerControl over real and scripted tools: the refusal before any prompt, the prompt's reasons,
// and the whole road through the stand-in osascript and pmset.
#include "platform/PowerControl.hpp"

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kit/HelperInfo.hpp"
#include "kit/VelmoraError.hpp"
#include "tests/platform/FakeHelper.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::FakeHelper;
using ::testing::HasSubstr;

class PowerControlTest : public ToolFixture {
  protected:
    void SetUp() override { SystemTools::resetAll(); }
    void TearDown() override { SystemTools::resetAll(); }

    // A stand-in osascript that records its arguments, prints `errorText` and exits `status`.
    void scriptOsascript(int status, const std::string& errorText = "") {
        const fs::path script = scripts.path() / "osascript";
        writeScript(script, "printf '%s\\n' \"$@\" > '" + promptLog().string() +
                                "'\nprintf '%s' '" + errorText + "' >&2\nexit " +
                                std::to_string(status) + "\n");
        SystemTools::inject(SystemTool::osascript, script);
    }
    fs::path promptLog() const { return scripts.path() / "prompted"; }

    // Throws unless `call` throws powerCommandFailed; gives its reason.
    template <class Call>
    std::string failureReason(Call call) {
        try {
            call();
        } catch (const VelmoraError& error) {
            EXPECT_EQ(error.kind, VelmoraError::Kind::powerCommandFailed);
            return error.reason;
        }
        ADD_FAILURE() << "did not throw";
        return {};
    }

    TempFolder scripts;
    // The helper's socket lies under this root, so by default no helper answers.
    ScopedEnv root{SystemPaths::rootVariable, systemRoot.path().string()};
};

TEST_F(PowerControlTest, RefusesKeysAndValuesOutsideTheWhitelistWithoutPrompting) {
    scriptOsascript(0);
    const std::vector<std::pair<std::string, std::string>> refused = {{"hibernatemode", "0"},
                                                                      {"SLEEP", "1"},
                                                                      {"sleep", ""},
                                                                      {"sleep", "-1"},
                                                                      {"sleep", "1.5"},
                                                                      {"sleep", "1; reboot"},
                                                                      {"sleep", "1\" & x"},
                                                                      {"sleep", "٣"},
                                                                      {"sleep\" -a womp", "1"},
                                                                      {"", "1"},
                                                                      {"powernap ", "0"}};
    for (const auto& [key, value] : refused) {
        EXPECT_EQ(failureReason([&] { PowerControl::setPmset(key, value); }), "Not allowed")
            << key << "=" << value;
    }
    EXPECT_FALSE(fs::exists(promptLog()));
}

TEST_F(PowerControlTest, WithoutAHelperTheAllowedChangeGoesToThePromptAsOneScript) {
    scriptOsascript(0);
    PowerControl::setPmset("powernap", "0");
    EXPECT_EQ(readFile(promptLog()), "-e\ndo shell script \"" +
                                         SystemTools::path(SystemTool::pmset).string() +
                                         " -a powernap 0\" with administrator privileges\n");
}

TEST_F(PowerControlTest, AHelperThatAcceptsMakesNoPromptButItsFailureFallsBackToThePrompt) {
    scriptOsascript(0);
    const fs::path socket = SystemPaths::helperSocket(HelperInfo::machServiceName());
    {
        FakeHelper helper(socket, FakeHelper::Script::reply, "{\"message\":null,\"ok\":true}\n");
        PowerControl::setPmset("womp", "0");
        EXPECT_THAT(helper.received(), HasSubstr("\"womp\""));
        EXPECT_FALSE(fs::exists(promptLog()));
    }
    fs::remove(socket);
    FakeHelper helper(socket, FakeHelper::Script::reply,
                      "{\"message\":\"pmset exited 1\",\"ok\":false}\n");
    PowerControl::setPmset("acwake", "1");
    EXPECT_TRUE(fs::exists(promptLog()));
}

TEST_F(PowerControlTest, ThePromptsOwnFailureIsTheReason) {
    scriptOsascript(1, "  User canceled. (-128)\n");
    EXPECT_EQ(failureReason([] { PowerControl::setPmset("sleep", "10"); }),
              "User canceled. (-128)");
    scriptOsascript(3, " \n");
    EXPECT_EQ(failureReason([] { PowerControl::setPmset("sleep", "10"); }),
              "pmset exited with code 3");
    scriptOsascript(2, "\xff\xfe");
    EXPECT_EQ(failureReason([] { PowerControl::setPmset("sleep", "10"); }),
              "pmset exited with code 2");
    SystemTools::inject(SystemTool::osascript, scripts.path() / "missing");
    EXPECT_FALSE(failureReason([] { PowerControl::setPmset("sleep", "10"); }).empty());
    // The keep-awake writer takes the same road.
    scriptOsascript(1, "User canceled. (-128)");
    EXPECT_EQ(failureReason([] { PowerControl::live().setKeepAwakeWithLidClosed(true); }),
              "User canceled. (-128)");
    EXPECT_THAT(readFile(promptLog()), HasSubstr(" -a disablesleep 1\""));
}

TEST_F(PowerControlTest, ReadersFollowWhatPmsetPrintsAndGiveNothingWhenItCannotRun) {
    SystemTools::inject(SystemTool::pmset, scripts.path() / "missing");
    PowerControl live = PowerControl::live();
    EXPECT_FALSE(live.keepAwakeWithLidClosed());
    EXPECT_FALSE(live.isOnBattery());
    EXPECT_TRUE(live.powerValues().empty());
    EXPECT_EQ(live.percentReader(), std::nullopt);

    const fs::path fake = scripts.path() / "pmset";
    writeScript(fake,
                "if [ \"$2\" = batt ]; then printf \"Now drawing from 'Battery Power'\\n "
                "-InternalBattery-0\t19%%; discharging\\n\"; exit 0; fi\n"
                "printf 'System-wide power settings:\\n SleepDisabled\\t\\t1\\n womp 0\\n'\n");
    SystemTools::inject(SystemTool::pmset, fake);
    live = PowerControl::live();
    EXPECT_TRUE(live.keepAwakeWithLidClosed());
    EXPECT_TRUE(live.isOnBattery());
    EXPECT_EQ(live.percentReader(), 19);
    EXPECT_EQ(live.powerValues().at("womp"), "0");
}

// A refresh reads the keep-awake flag and then every value: one `pmset -g` must serve both, but
// never a later reading or one after a write.
TEST_F(PowerControlTest, OnePmsetRunServesTheValuesThatFollowTheKeepAwakeReading) {
    const fs::path runs = scripts.path() / "runs";
    const fs::path fake = scripts.path() / "pmset";
    writeScript(fake, "echo \"$*\" >> '" + runs.string() +
                          "'\nprintf ' SleepDisabled\\t\\t1\\n womp 0\\n'\n");
    SystemTools::inject(SystemTool::pmset, fake);
    scriptOsascript(0);
    PowerControl live = PowerControl::live();

    EXPECT_TRUE(live.keepAwakeWithLidClosed());
    EXPECT_EQ(live.powerValues().at("womp"), "0");
    EXPECT_EQ(readFile(runs), "-g\n");
    live.powerValues();
    EXPECT_EQ(readFile(runs), "-g\n-g\n") << "handed out once";

    live.keepAwakeWithLidClosed();
    live.settingWriter("womp", "1");
    live.powerValues();
    EXPECT_EQ(readFile(runs), "-g\n-g\n-g\n-g\n") << "a write makes the kept reading stale";
}

TEST_F(PowerControlTest, TheWholeRoadThroughTheStandInsChangesTheSetting) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "the stand-in osascript asks for a password unless run as root";
    }
    PowerControl live = PowerControl::live();
    EXPECT_EQ(live.powerValues().at("powernap"), "1");
    live.settingWriter("powernap", "0");
    EXPECT_EQ(live.powerValues().at("powernap"), "0");
    EXPECT_FALSE(live.keepAwakeWithLidClosed());
    live.setKeepAwakeWithLidClosed(true);
    EXPECT_TRUE(live.keepAwakeWithLidClosed());
    EXPECT_FALSE(live.isOnBattery());
}

}  // namespace
}  // namespace velmora
