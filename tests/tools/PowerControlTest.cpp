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

    // A stand-in `tool` running `body`, which may append its arguments to `log`.
    void fakeTool(SystemTool tool, const std::string& body) {
        const fs::path script = scripts.path() / std::to_string(++fakes);
        writeScript(script, body);
        SystemTools::inject(tool, script);
    }
    // A stand-in osascript that records its arguments, prints `errorText` and exits `status`.
    void scriptOsascript(int status, const std::string& errorText = "") {
        fakeTool(SystemTool::osascript, "printf '%s\\n' \"$@\" > '" + log.string() +
                                            "'\nprintf '%s' '" + errorText + "' >&2\nexit " +
                                            std::to_string(status) + "\n");
    }
    // The reason of the powerCommandFailed that `call` throws.
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
    const fs::path log = scripts.path() / "log";
    int fakes = 0;
    // The helper's socket lies under this root, so by default no helper answers.
    ScopedEnv root{SystemPaths::rootVariable, systemRoot.path().string()};
};

TEST_F(PowerControlTest, RefusesKeysAndValuesOutsideTheWhitelistWithoutPrompting) {
    scriptOsascript(0);
    for (const std::string refused :
         {"hibernatemode=0", "SLEEP=1", "sleep=", "sleep=-1", "sleep=1.5", "sleep=1; reboot",
          "sleep=1\" & x", "sleep=٣", "sleep\" -a womp=1", "=1", "powernap =0"}) {
        const auto equals = refused.find('=');
        EXPECT_EQ(failureReason([&] {
                      PowerControl::setPmset(refused.substr(0, equals), refused.substr(equals + 1));
                  }),
                  "Not allowed")
            << refused;
    }
    EXPECT_FALSE(fs::exists(log));
}

TEST_F(PowerControlTest, AHelperThatAcceptsMakesNoPromptButWithoutOneTheChangeGoesToThePrompt) {
    scriptOsascript(0);
    const fs::path socket = SystemPaths::helperSocket(HelperInfo::machServiceName());
    {
        FakeHelper helper(socket, FakeHelper::Script::reply, "{\"message\":null,\"ok\":true}\n");
        PowerControl::setPmset("womp", "0");
        EXPECT_THAT(helper.received(), HasSubstr("\"womp\""));
        EXPECT_FALSE(fs::exists(log));
    }
    fs::remove(socket);
    PowerControl::setPmset("powernap", "0");
    EXPECT_EQ(fileBytes(log), "-e\ndo shell script \"" +
                                  SystemTools::path(SystemTool::pmset).string() +
                                  " -a powernap 0\" with administrator privileges\n");
    fs::remove(log);
    FakeHelper helper(socket, FakeHelper::Script::reply,
                      "{\"message\":\"pmset exited 1\",\"ok\":false}\n");
    PowerControl::setPmset("acwake", "1");
    EXPECT_THAT(fileBytes(log), HasSubstr(" -a acwake 1\""));
}

TEST_F(PowerControlTest, ThePromptsOwnFailureIsTheReason) {
    const struct {
        int status;
        const char* errorText;
        const char* reason;
    } cases[] = {{1, "  User canceled. (-128)\n", "User canceled. (-128)"},
                 {3, " \n", "pmset exited with code 3"},
                 {2, "\xff\xfe", "pmset exited with code 2"}};
    for (const auto& c : cases) {
        scriptOsascript(c.status, c.errorText);
        EXPECT_EQ(failureReason([] { PowerControl::setPmset("sleep", "10"); }), c.reason);
    }
    SystemTools::inject(SystemTool::osascript, scripts.path() / "missing");
    EXPECT_FALSE(failureReason([] { PowerControl::setPmset("sleep", "10"); }).empty());
    // The keep-awake writer takes the same road.
    scriptOsascript(1, "User canceled. (-128)");
    EXPECT_EQ(failureReason([] { PowerControl::live().setKeepAwakeWithLidClosed(true); }),
              "User canceled. (-128)");
    EXPECT_THAT(fileBytes(log), HasSubstr(" -a disablesleep 1\""));
}

// A refresh reads the keep-awake flag and then every value: one `pmset -g` must serve both, but
// never a later reading or one after a write.
TEST_F(PowerControlTest, ReadersFollowWhatPmsetPrintsOnceAndGiveNothingWhenItCannotRun) {
    SystemTools::inject(SystemTool::pmset, scripts.path() / "missing");
    PowerControl live = PowerControl::live();
    EXPECT_FALSE(live.keepAwakeWithLidClosed());
    EXPECT_FALSE(live.isOnBattery());
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
    EXPECT_EQ(fileBytes(log), "-g\n");
    live.powerValues();
    EXPECT_EQ(fileBytes(log), "-g\n-g\n") << "handed out once";

    scriptOsascript(0);
    live.keepAwakeWithLidClosed();
    live.settingWriter("womp", "1");
    fs::remove(log);
    live.powerValues();
    EXPECT_EQ(fileBytes(log), "-g\n") << "a write makes the kept reading stale";
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
