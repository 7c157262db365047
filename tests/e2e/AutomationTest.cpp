// Automation rules as the monitor runs them on their own: the simulated battery dropping under a
// rule's threshold, and an application started from a bundle in the applications folder, each
// switch to the rule's scene, whose power-up then shows in the domain files.
#include <QProcess>

#include "kit/AutomationRule.hpp"
#include "kit/Setup.hpp"
#include "tests/e2e/EndToEnd.hpp"
#include "tests/platform/BundleFixture.hpp"
#include "ui/model/AppModel.hpp"

namespace velmora::e2e {
namespace {

using Kind = AutomationRule::Kind;

// One tick of the monitor and a good margin for a loaded machine.
constexpr auto kTickPatience = AppModel::automationInterval + std::chrono::seconds(15);

class Automation : public EndToEnd {
  protected:
    // The rule and its scene (Finder shows hidden files), stored before the start as the
    // application stores them.
    void storeRule(AutomationRule rule) {
        velmora::Setup scene;
        scene.id = "3F2A7C1E-0000-4000-8000-00000000E2E0";
        scene.name = "Hidden files";
        scene.icon = SetupIcons::all().front();
        scene.tweakIDs = {"dev-show-hidden-files"};
        rule.id = "3F2A7C1E-0000-4000-8000-00000000E2E1";
        rule.setupID = scene.id;
        rule.enabled = true;
        storeAppData("velmora_setups", velmora::Setup::encodeList({scene}));
        storeAppData("velmora_automation_rules", AutomationRule::encodeList({rule}));
    }
    bool sceneApplied() { return defaultsRead("com.apple.finder", "AppleShowAllFiles") == "1"; }
};

TEST_F(Automation, ABatteryRuleFiresWhenTheBatteryDropsUnderItsThreshold) {
    AutomationRule rule;
    rule.kind = Kind::batteryBelow;
    rule.threshold = 20;
    storeRule(rule);
    setBattery(21);
    launch();
    ASSERT_EQ(model().rules().size(), 1u);
    EXPECT_FALSE(sceneApplied());

    setBattery(19);
    EXPECT_TRUE(waitFor([&] { return sceneApplied(); }, kTickPatience))
        << "the next tick of the monitor sees the drop";
    EXPECT_EQ(model().lastError(), std::nullopt);
}

TEST_F(Automation, AnAppLaunchRuleFiresWhenTheAppStartsFromItsBundle) {
    const fs::path bundle = testing::TempSystemRoot::makeBundle(systemRoot() / "Applications",
                                                                "Notes", "com.apple.Notes");
    AutomationRule rule;
    rule.kind = Kind::appLaunched;
    rule.appBundleID = "com.apple.Notes";
    rule.appName = "Notes";
    storeRule(rule);
    launch();
    ASSERT_EQ(model().rules().size(), 1u);
    EXPECT_FALSE(sceneApplied());

    const testing::RunningProgram notes(testing::TempSystemRoot::executable(bundle, "Notes"));
    EXPECT_TRUE(waitFor([&] { return sceneApplied(); })) << "the launch is seen at the next look";
    EXPECT_EQ(model().lastError(), std::nullopt);
}

}  // namespace
}  // namespace velmora::e2e
