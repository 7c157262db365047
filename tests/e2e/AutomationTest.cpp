// Automation rules made on the Automations page, run by the monitor on its own: the simulated
// battery dropping under a rule's threshold, and an application started from a bundle in the
// applications folder, each switch to the rule's scene, whose power-up then shows in the domain
// files.
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
    // A scene to switch to (Finder shows hidden files), stored as the application stores it.
    void storeScene() {
        storeOnboardedProfile();
        velmora::Setup scene;
        scene.id = "3F2A7C1E-0000-4000-8000-00000000E2E0";
        scene.name = "Hidden files";
        scene.icon = SetupIcons::all().front();
        scene.tweakIDs = {"dev-show-hidden-files"};
        storeAppData("velmora_setups", velmora::Setup::encodeList({scene}));
    }
    // The rule as a user adds it: the kind from the form's menu, then "Add"; the form's scene is
    // the only one there is.
    void addRule(
        Kind kind, const std::function<void()>& fillIn = [] {}) {
        click(QStringLiteral("nav.automations"));
        choose(QStringLiteral("form.kind"), QString::fromUtf8(label(kind).data()));
        fillIn();
        screenshot(QStringLiteral("form"));
        click(QStringLiteral("form.add"));
        ASSERT_TRUE(waitFor([&] { return model().rules().size() == 1; }));
        const auto stored =
            AutomationRule::decodeList(appData("velmora_automation_rules").value_or(""));
        ASSERT_TRUE(stored) << stored.error();
        ASSERT_EQ(stored.value().size(), 1u);
        EXPECT_EQ(stored.value().front().kind, kind);
        EXPECT_EQ(stored.value().front().setupID, "3F2A7C1E-0000-4000-8000-00000000E2E0");
    }
    bool sceneApplied() { return defaultsRead("com.apple.finder", "AppleShowAllFiles") == "1"; }
};

TEST_F(Automation, ABatteryRuleFiresWhenTheBatteryDropsUnderItsThreshold) {
    storeScene();
    setBattery(21);
    launch();
    addRule(Kind::batteryBelow);
    EXPECT_EQ(model().rules().front().threshold, 20) << "the form's threshold unless changed";
    EXPECT_FALSE(sceneApplied());

    setBattery(19);
    EXPECT_TRUE(waitFor([&] { return sceneApplied(); }, kTickPatience))
        << "the next tick of the monitor sees the drop";
    EXPECT_EQ(model().lastError(), std::nullopt);
}

TEST_F(Automation, AnAppLaunchRuleFiresWhenTheAppStartsFromItsBundle) {
    const fs::path bundle = testing::TempSystemRoot::makeBundle(systemRoot() / "Applications",
                                                                "Notes", "com.apple.Notes");
    storeScene();
    launch();
    addRule(Kind::appLaunched,
            [&] { choose(QStringLiteral("form.app"), QStringLiteral("Notes")); });
    EXPECT_EQ(model().rules().front().appBundleID, "com.apple.Notes");
    EXPECT_FALSE(sceneApplied());

    const testing::RunningProgram notes(testing::TempSystemRoot::executable(bundle, "Notes"));
    EXPECT_TRUE(waitFor([&] { return sceneApplied(); })) << "the launch is seen at the next look";
    EXPECT_EQ(model().lastError(), std::nullopt);
}

}  // namespace
}  // namespace velmora::e2e
