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

constexpr const char* darkScript =
    "tell application \"System Events\" to tell appearance preferences to set dark mode to true";
constexpr const char* lightScript =
    "tell application \"System Events\" to tell appearance preferences to set dark mode to false";

std::string adminScript(const std::string& command) {
    return "do shell script \"" + command + "\" with administrator privileges";
}

class OsascriptToolTest : public ToolFixture {
  protected:
    ProcessResult osascript(const std::string& script) const {
        return run(SystemTool::osascript, {"-e", script});
    }
    std::string pmset() const { return SystemTools::path(SystemTool::pmset).string(); }
    std::map<std::string, std::string> powerValues() const {
        return PmsetOutput::values(run(SystemTool::pmset, {"-g"}).standardOutput);
    }
    bool darkStored() {
        return static_cast<bool>(
            store.copyValue(PreferenceStore::globalDomain(), "AppleInterfaceStyle"));
    }
    PreferenceStore store{homeRoot.path()};
};

TEST_F(OsascriptToolTest, TheAppearanceScriptWritesOrDeletesTheGlobalStyle) {
    EXPECT_EQ(osascript(lightScript).exitStatus, 0);
    EXPECT_FALSE(darkStored());
    ASSERT_EQ(osascript(darkScript).exitStatus, 0);
    EXPECT_EQ(run(SystemTool::defaults, {"read", "-g", "AppleInterfaceStyle"}).standardOutput,
              "Dark\n");
    ASSERT_EQ(osascript(lightScript).exitStatus, 0);
    EXPECT_FALSE(darkStored());

    // DisplayControl takes the same road.
    ScopedEnv home(PreferenceStore::homeRootVariable, homeRoot.path().string());
    DisplayControl display = DisplayControl::live();
    EXPECT_FALSE(display.isDarkMode());
    display.setDark(true);
    EXPECT_TRUE(display.isDarkMode());
    display.setDark(false);
    EXPECT_FALSE(display.isDarkMode());
    EXPECT_FALSE(display.isNightShiftOn());
}

TEST_F(OsascriptToolTest, OtherScriptsAreErrors) {
    const std::vector<std::string> refused = {
        "",
        "display dialog \"hi\"",
        std::string(darkScript) + " ",
        "tell application \"System Events\" to tell appearance preferences to set dark mode to "
        "not dark mode",
        adminScript("/bin/sh -a sleep 1"),
        adminScript(pmset() + " -a sleep 1; reboot"),
        adminScript(pmset() + " -a sleep 1 && reboot"),
        adminScript(pmset() + " -a sleep $(reboot)"),
        adminScript(pmset() + " -a Sleep 1"),
        adminScript(pmset() + " -a sleep"),
        adminScript(pmset() + " -a sleep -1"),
        adminScript(pmset() + " -g"),
        adminScript(pmset() + "  -a sleep 1"),
        "do shell script \"" + pmset() + " -a sleep 1\"",
    };
    for (const std::string& script : refused) {
        ProcessResult result = osascript(script);
        EXPECT_EQ(result.exitStatus, 1) << script;
        EXPECT_THAT(result.standardError, HasSubstr("script error")) << script;
    }
    EXPECT_EQ(powerValues()["sleep"], "1");
    EXPECT_FALSE(darkStored());
    EXPECT_EQ(run(SystemTool::osascript, {darkScript}).exitStatus, 1);
    EXPECT_EQ(run(SystemTool::osascript, {"-e", darkScript, "extra"}).exitStatus, 1);
}

TEST_F(OsascriptToolTest, AsRootTheAdministratorScriptRunsPmsetDirectly) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "runs pmset directly only as root";
    }
    ProcessResult result = osascript(adminScript(pmset() + " -a displaysleep 30"));
    ASSERT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(powerValues()["displaysleep"], "30");

    ProcessResult refused = osascript(adminScript(pmset() + " -a hibernatefile 1"));
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_THAT(refused.standardError, HasSubstr("unknown setting"));
}

class OsascriptPromptTest : public OsascriptToolTest {
  protected:
    void SetUp() override {
        if (!canRunUnprivileged()) {
            GTEST_SKIP() << "needs root to drop to an unprivileged user";
        }
        fs::permissions(scratch.path(), fs::perms::all);
    }
    // The administrator script run as "nobody" with a pkexec that records its arguments and exits
    // with `status`.
    ProcessResult prompted(int status) const {
        const fs::path pkexec = scratch.path() / "pkexec";
        writeScript(pkexec, "printf '%s\\n' \"$@\" > '" + record().string() + "'\nexit " +
                                std::to_string(status) + "\n");
        return runUnprivileged(SystemTool::osascript, {"-e", adminScript(pmset() + " -a sleep 5")},
                               {"VELMORA_PKEXEC=" + pkexec.string()});
    }
    fs::path record() const { return scratch.path() / "record"; }
    TempFolder scratch;
};

TEST_F(OsascriptPromptTest, ThePromptRunsPmsetByArgumentsAndADismissalIsTheUserCanceling) {
    ProcessResult result = prompted(0);
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(readFile(record()),
              "/usr/bin/env\nVELMORA_SYSTEM_ROOT=" + systemRoot.path().string() + "\n" + pmset() +
                  "\n-a\nsleep\n5\n");
    EXPECT_EQ(prompted(3).exitStatus, 3);
    ProcessResult dismissed = prompted(126);
    EXPECT_EQ(dismissed.exitStatus, 1);
    EXPECT_EQ(dismissed.standardError, "User canceled. (-128)\n");
}

}  // namespace
}  // namespace velmora
