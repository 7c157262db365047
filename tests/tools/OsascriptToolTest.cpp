// The stand-in osascript as a real process: the two scripts it runs, and every other text refused.
#include <gtest/gtest.h>

#include "platform/DisplayControl.hpp"
#include "platform/PmsetOutput.hpp"
#include "platform/PreferenceStore.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

const std::string appearanceScript =
    "tell application \"System Events\" to tell appearance preferences to set dark mode to ";
class OsascriptToolTest : public ToolFixture {
  protected:
    ProcessResult osascript(const std::string& script, const Args& extra = {},
                            As as = As::caller) const {
        return run(SystemTool::osascript, {"-e", script}, extra, as);
    }
    std::string adminScript(const std::string& pmsetArguments) const {
        return "do shell script \"" + pmset + pmsetArguments + "\" with administrator privileges";
    }
    bool darkStored() const {
        return PreferenceStore(homeRoot.path())
                   .copyValue(PreferenceStore::globalDomain(), "AppleInterfaceStyle") != nullptr;
    }
    const std::string pmset = SystemTools::path(SystemTool::pmset).string();
};

TEST_F(OsascriptToolTest, TheAppearanceScriptWritesOrDeletesTheGlobalStyleThatDisplayControlReads) {
    ScopedEnv home(PreferenceStore::homeRootVariable, homeRoot.path().string());
    DisplayControl display = DisplayControl::live();
    for (bool dark : {false, true, false}) {
        ASSERT_EQ(osascript(appearanceScript + (dark ? "true" : "false")).exitStatus, 0) << dark;
        EXPECT_EQ(darkStored(), dark);
        EXPECT_EQ(display.isDarkMode(), dark);
    }
}

TEST_F(OsascriptToolTest, OtherScriptsAreErrors) {
    Args refused = {"", appearanceScript + "true ", appearanceScript + "not dark mode",
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
    EXPECT_EQ(PmsetOutput::values(run(SystemTool::pmset, {"-g"}).standardOutput)["sleep"], "1");
    EXPECT_FALSE(darkStored());
    EXPECT_EQ(run(SystemTool::osascript, {"-e", appearanceScript + "true", "extra"}).exitStatus, 1);
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
        return osascript(adminScript(" -a sleep 5"), {"VELMORA_PKEXEC=" + pkexec.string()},
                         As::nobody);
    };
    EXPECT_EQ(prompted(0).exitStatus, 0);
    EXPECT_EQ(fileBytes(record), "/usr/bin/env\nVELMORA_SYSTEM_ROOT=" + systemRoot.path().string() +
                                     "\n" + pmset + "\n-a\nsleep\n5\n");
    EXPECT_EQ(prompted(3).exitStatus, 3);
    const ProcessResult dismissed = prompted(126);
    EXPECT_EQ(dismissed.exitStatus, 1);
    EXPECT_EQ(dismissed.standardError, "User canceled. (-128)\n");
}

}  // namespace
}  // namespace velmora
