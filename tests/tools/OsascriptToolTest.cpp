// The stand-in osascript as a real process: the two scripts it runs, and every other text refused.
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/DisplayControl.hpp"
#include "platform/PmsetOutput.hpp"
#include "platform/PreferenceStore.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const std::string appearanceScript =
    "tell application \"System Events\" to tell appearance preferences to set dark mode to ";
const std::string darkScript = appearanceScript + "true";

class OsascriptToolTest : public ToolFixture {
  protected:
    ProcessResult osascript(const std::string& script) const {
        return run(SystemTool::osascript, {"-e", script});
    }
    std::string adminScript(const std::string& pmsetArguments) const {
        return "do shell script \"" + pmset + pmsetArguments + "\" with administrator privileges";
    }
    std::string powerValue(const std::string& key) const {
        return PmsetOutput::values(run(SystemTool::pmset, {"-g"}).standardOutput)[key];
    }
    bool darkStored() {
        return static_cast<bool>(
            store.copyValue(PreferenceStore::globalDomain(), "AppleInterfaceStyle"));
    }
    const std::string pmset = SystemTools::path(SystemTool::pmset).string();
    PreferenceStore store{homeRoot.path()};
};

TEST_F(OsascriptToolTest, TheAppearanceScriptWritesOrDeletesTheGlobalStyleThatDisplayControlReads) {
    ScopedEnv home(PreferenceStore::homeRootVariable, homeRoot.path().string());
    DisplayControl display = DisplayControl::live();
    for (bool dark : {false, true, false}) {
        ASSERT_EQ(osascript(appearanceScript + (dark ? "true" : "false")).exitStatus, 0) << dark;
        EXPECT_EQ(darkStored(), dark);
        EXPECT_EQ(display.isDarkMode(), dark);
    }
    display.setDark(true);
    EXPECT_TRUE(display.isDarkMode());
    EXPECT_FALSE(display.isNightShiftOn());
}

TEST_F(OsascriptToolTest, OtherScriptsAreErrors) {
    std::vector<std::string> refused = {
        "",
        "display dialog \"hi\"",
        darkScript + " ",
        appearanceScript + "not dark mode",
        "do shell script \"" + pmset + " -a sleep 1\"",
        "do shell script \"/bin/sh -a sleep 1\" with administrator privileges"};
    for (const char* arguments : {" -a sleep 1; reboot", " -a sleep $(reboot)", " -a Sleep 1",
                                  " -a sleep", " -a sleep -1", " -g", "  -a sleep 1"}) {
        refused.push_back(adminScript(arguments));
    }
    for (const std::string& script : refused) {
        ProcessResult result = osascript(script);
        EXPECT_EQ(result.exitStatus, 1) << script;
        EXPECT_THAT(result.standardError, HasSubstr("script error")) << script;
    }
    EXPECT_EQ(powerValue("sleep"), "1");
    EXPECT_FALSE(darkStored());
    EXPECT_EQ(run(SystemTool::osascript, {darkScript}).exitStatus, 1);
    EXPECT_EQ(run(SystemTool::osascript, {"-e", darkScript, "extra"}).exitStatus, 1);
}

TEST_F(OsascriptToolTest, AsAUserThePromptRunsPmsetByArgumentsAndADismissalIsTheUserCanceling) {
    if (!canRunUnprivileged()) {
        GTEST_SKIP() << "needs root to drop to an unprivileged user";
    }
    TempFolder scratch;
    fs::permissions(scratch.path(), fs::perms::all);
    const fs::path pkexec = scratch.path() / "pkexec";
    const fs::path record = scratch.path() / "record";
    // A pkexec that records its arguments and exits with `status`.
    auto prompted = [&](int status) {
        writeScript(pkexec, "printf '%s\\n' \"$@\" > '" + record.string() + "'\nexit " +
                                std::to_string(status) + "\n");
        return runUnprivileged(SystemTool::osascript, {"-e", adminScript(" -a sleep 5")},
                               {"VELMORA_PKEXEC=" + pkexec.string()});
    };
    ProcessResult result = prompted(0);
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(fileBytes(record), "/usr/bin/env\nVELMORA_SYSTEM_ROOT=" + systemRoot.path().string() +
                                     "\n" + pmset + "\n-a\nsleep\n5\n");
    EXPECT_EQ(prompted(3).exitStatus, 3);
    ProcessResult dismissed = prompted(126);
    EXPECT_EQ(dismissed.exitStatus, 1);
    EXPECT_EQ(dismissed.standardError, "User canceled. (-128)\n");
}

}  // namespace
}  // namespace velmora
