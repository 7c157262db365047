// Automation rules made on the Automations page, run by the monitor on its own: the simulated
// battery dropping under a rule's threshold, and an application started from a bundle in the
// applications folder, each switch to the rule's scene, whose power-up then shows in the domain
// files.
#include "kit/AutomationRule.hpp"
#include "kit/Setup.hpp"
#include "tests/e2e/EndToEnd.hpp"
#include "tests/platform/BundleFixture.hpp"

namespace velmora::e2e {
namespace {

using Kind = AutomationRule::Kind;

// The monitor looks every 20 seconds; one look and a good margin for a loaded machine.
constexpr auto kTickPatience = std::chrono::seconds(20 + 15);
constexpr const char* kSceneID = "3F2A7C1E-0000-4000-8000-00000000E2E0";

class Automation : public EndToEnd {
  protected:
    // A scene to switch to (Finder shows hidden files), stored as the application stores it.
    void storeScene() {
        storeOnboardedProfile();
        velmora::Setup scene;
        scene.id = kSceneID;
        scene.name = "Hidden files";
        scene.icon = SetupIcons::all().front();
        scene.tweakIDs = {"dev-show-hidden-files"};
        storeAppData("velmora_setups", velmora::Setup::encodeList({scene}));
    }
    // The rule as a user adds it: the kind from the form's menu (which shows "On battery" at
    // first), then "Add automation"; the form's scene is the only one there is. The page then
    // lists the rule by its sentence, switched on.
    void addRule(
        Kind kind, const std::string& sentence, const std::function<void()>& fillIn = [] {}) {
        goTo("Automations");
        choose({{"", "On battery"}}, std::string(label(kind)));
        fillIn();
        screenshot(QStringLiteral("form"));
        click({{"push button", "Add automation"}});
        const std::vector<Seek> rule{{"check box", sentence}};
        EXPECT_TRUE(waitFor([&] { return find(rule).has_value(); })) << "the page lists the rule:\n"
                                                                     << onScreen();
        EXPECT_TRUE(checked(rule)) << "a new rule is on";
        std::optional<std::string> text;
        ASSERT_TRUE(waitFor([&] {
            return (text = appData("velmora_automation_rules")).has_value();
        })) << "the rule is stored";
        const auto stored = AutomationRule::decodeList(*text);
        ASSERT_TRUE(stored) << stored.error();
        ASSERT_EQ(stored.value().size(), 1u);
        EXPECT_EQ(stored.value().front().kind, kind);
        EXPECT_EQ(stored.value().front().setupID, kSceneID);
    }
    bool sceneApplied() { return defaultsRead("com.apple.finder", "AppleShowAllFiles") == "1"; }
};

TEST_F(Automation, ABatteryRuleFiresWhenTheBatteryDropsUnderItsThreshold) {
    storeScene();
    setBattery(21);
    launch();
    // The form's threshold unless changed.
    addRule(Kind::batteryBelow, "When battery drops below 20%");
    EXPECT_FALSE(sceneApplied());

    setBattery(19);
    EXPECT_TRUE(waitFor([&] { return sceneApplied(); }, kTickPatience))
        << "the next tick of the monitor sees the drop";
}

TEST_F(Automation, AnAppLaunchRuleFiresWhenTheAppStartsFromItsBundle) {
    const fs::path bundle = testing::TempSystemRoot::makeBundle(systemRoot() / "Applications",
                                                                "Notes", "com.apple.Notes");
    storeScene();
    launch();
    addRule(Kind::appLaunched, "When Notes opens", [&] { choose({{"", "Choose app"}}, "Notes"); });
    EXPECT_FALSE(sceneApplied());

    const testing::RunningProgram notes(testing::TempSystemRoot::executable(bundle, "Notes"));
    EXPECT_TRUE(waitFor([&] { return sceneApplied(); })) << "the launch is seen at the next look";
}

}  // namespace
}  // namespace velmora::e2e
