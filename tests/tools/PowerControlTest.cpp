// PowerControl over real and scripted tools: the refusal before any prompt, the prompt's reasons,
// and the whole road through the stand-in osascript and pmset.
#include "platform/PowerControl.hpp"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "kit/HelperInfo.hpp"
#include "kit/VelmoraError.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr mode_t scriptMode = 0755;

// A helper that answers one connection with a fixed reply line.
class OneShotHelper {
  public:
    OneShotHelper(const fs::path& socketPath, std::string reply) : reply_(std::move(reply)) {
        fs::create_directories(socketPath.parent_path());
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(listener_, 1) != 0) {
            throw std::runtime_error("cannot listen on " + socketPath.string());
        }
        thread_ = std::thread([this] { serve(); });
    }
    ~OneShotHelper() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    OneShotHelper(const OneShotHelper&) = delete;
    OneShotHelper& operator=(const OneShotHelper&) = delete;
    const std::string& request() const { return request_; }

  private:
    void serve() {
        int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            return;
        }
        char c = 0;
        while (::read(connection, &c, 1) == 1 && c != '\n') {
            request_ += c;
        }
        [[maybe_unused]] auto sent = ::write(connection, reply_.data(), reply_.size());
        ::close(connection);
    }
    int listener_ = -1;
    std::string reply_;
    std::string request_;
    std::thread thread_;
};

class PowerControlTest : public ToolFixture {
  protected:
    void SetUp() override { SystemTools::resetAll(); }
    void TearDown() override { SystemTools::resetAll(); }

    // A stand-in osascript that records its arguments, prints `errorText` and exits `status`.
    void scriptOsascript(int status, const std::string& errorText = "") {
        fs::path script = scripts.path() / "osascript";
        writeFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + promptLog().string() +
                              "'\nprintf '%s' '" + errorText + "' >&2\nexit " +
                              std::to_string(status) + "\n");
        ::chmod(script.c_str(), scriptMode);
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

TEST_F(PowerControlTest, AHelperThatAcceptsMakesNoPrompt) {
    scriptOsascript(0);
    OneShotHelper helper(SystemPaths::helperSocket(HelperInfo::machServiceName()),
                         "{\"message\":null,\"ok\":true}\n");
    PowerControl::setPmset("womp", "0");
    EXPECT_THAT(helper.request(), HasSubstr("\"womp\""));
    EXPECT_FALSE(fs::exists(promptLog()));
}

TEST_F(PowerControlTest, AHelperFailureOfAnAllowedChangeStillFallsBackToThePrompt) {
    scriptOsascript(0);
    OneShotHelper helper(SystemPaths::helperSocket(HelperInfo::machServiceName()),
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

TEST_F(PowerControlTest, ReadersGiveFalseAndNothingWhenPmsetCannotRun) {
    SystemTools::inject(SystemTool::pmset, scripts.path() / "missing");
    PowerControl live = PowerControl::live();
    EXPECT_FALSE(live.keepAwakeWithLidClosed());
    EXPECT_FALSE(live.isOnBattery());
    EXPECT_TRUE(live.powerValues().empty());
    EXPECT_EQ(live.percentReader(), std::nullopt);
}

TEST_F(PowerControlTest, ReadersFollowWhatPmsetPrints) {
    fs::path fake = scripts.path() / "pmset";
    writeFile(fake,
              "#!/bin/sh\n"
              "if [ \"$2\" = batt ]; then printf \"Now drawing from 'Battery Power'\\n "
              "-InternalBattery-0\t19%%; discharging\\n\"; "
              "exit 0; fi\n"
              "printf 'System-wide power settings:\\n SleepDisabled\\t\\t1\\n womp 0\\n'\n");
    ::chmod(fake.c_str(), scriptMode);
    SystemTools::inject(SystemTool::pmset, fake);
    PowerControl live = PowerControl::live();
    EXPECT_TRUE(live.keepAwakeWithLidClosed());
    EXPECT_TRUE(live.isOnBattery());
    EXPECT_EQ(live.percentReader(), 19);
    EXPECT_EQ(live.powerValues().at("womp"), "0");
}

// A refresh reads the keep-awake flag and then every value: one `pmset -g` must serve both, but
// never a later reading or one after a write.
TEST_F(PowerControlTest, OnePmsetRunServesTheValuesThatFollowTheKeepAwakeReading) {
    const fs::path runs = scripts.path() / "runs";
    fs::path fake = scripts.path() / "pmset";
    writeFile(fake, "#!/bin/sh\necho \"$*\" >> '" + runs.string() +
                        "'\nprintf ' SleepDisabled\\t\\t1\\n womp 0\\n'\n");
    ::chmod(fake.c_str(), scriptMode);
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

TEST(PowerControlValueTest, DisabledReadsNothingAndChangesNothing) {
    PowerControl off = PowerControl::disabled();
    EXPECT_FALSE(off.keepAwakeWithLidClosed());
    EXPECT_FALSE(off.isOnBattery());
    EXPECT_TRUE(off.powerValues().empty());
    EXPECT_EQ(off.percentReader(), std::nullopt);
    EXPECT_NO_THROW(off.setKeepAwakeWithLidClosed(true));
    EXPECT_NO_THROW(off.settingWriter("hibernatemode", "x"));
}

}  // namespace
}  // namespace velmora
