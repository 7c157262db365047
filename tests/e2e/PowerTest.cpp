// A power setting from the panel's favourites: through the real helper (installed in a
// root-owned prefix, started as root, serving this signed program) it changes what pmset
// reports; with the helper stopped the administrator prompt is the fallback, the user dismisses
// it, and the switch says so and stays off.
#include "tests/e2e/EndToEnd.hpp"
#include "tests/e2e/RootAgent.hpp"
#include "ui/model/AppModel.hpp"
#include "ui/shell/AppDelegate.hpp"

namespace velmora::e2e {
namespace {

constexpr const char* kPowerNap = "power-disable-powernap";
const QString kPowerNapRow = QStringLiteral("menu.row.power-disable-powernap");

const PowerTweak& powerNap() {
    for (const PowerTweak& toggle : Catalog::powerToggles()) {
        if (toggle.id == kPowerNap) {
            return toggle;
        }
    }
    throw std::logic_error("no Power Nap setting in the catalog");
}

class PowerSwitch : public EndToEnd {
  protected:
    void launchWithPowerNapAsFavourite() {
        storeOnboardedProfile();  // no sheet comes up to take the focus from the panel
        storeAppList("favoritePowerTweakIDs", {kPowerNap});
        launch();
        openPanel();
        ASSERT_EQ(pmsetSettings()["powernap"], "1") << "Power Nap is on at first";
        ASSERT_FALSE(model().isPowerToggleOn(powerNap()));
    }

    // The switch fails: the reason is kept, and the system and the switch stay as they were.
    void expectFailureLeavingItOff() {
        model().setLastError(std::nullopt);
        click(kPowerNapRow);
        EXPECT_TRUE(waitFor([&] { return model().lastError().has_value(); }))
            << "a failed switch is reported";
        EXPECT_NE(model().lastError().value_or("").find("User canceled"), std::string::npos)
            << model().lastError().value_or("");
        EXPECT_EQ(pmsetSettings()["powernap"], "1");
        EXPECT_FALSE(model().isPowerToggleOn(powerNap()));
    }
};

TEST_F(PowerSwitch, ThroughTheRealHelperItChangesPmsetAndOnceTheHelperStopsItFailsAndStaysOff) {
    HelperAgent* agent = HelperAgent::instance();
    if (agent == nullptr) {
        GTEST_SKIP() << "the helper runs only as root: run the end-to-end cases as root to "
                        "include this one";
    }
    const HelperAgent::Started helper = agent->start();
    ASSERT_TRUE(helper.systemRoot.has_value()) << helper.error;
    useSystemRoot(*helper.systemRoot);
    launchWithPowerNapAsFavourite();

    click(kPowerNapRow);
    EXPECT_TRUE(waitFor([&] { return pmsetSettings()["powernap"] == "0"; }));
    EXPECT_TRUE(waitFor([&] { return model().isPowerToggleOn(powerNap()); }));
    EXPECT_EQ(model().lastError(), std::nullopt);
    screenshot(QStringLiteral("on"));
    click(kPowerNapRow);
    EXPECT_TRUE(waitFor([&] { return pmsetSettings()["powernap"] == "1"; }));
    EXPECT_TRUE(waitFor([&] { return !model().isPowerToggleOn(powerNap()); }));

    ASSERT_TRUE(agent->stop());
    expectFailureLeavingItOff();
}

TEST_F(PowerSwitch, WithNoHelperRunningTheSwitchReportsItsFailureAndStaysOff) {
    launchWithPowerNapAsFavourite();
    expectFailureLeavingItOff();
}

}  // namespace
}  // namespace velmora::e2e
