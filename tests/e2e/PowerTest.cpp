// A power setting from the panel's favourites: through the real helper (installed in a
// root-owned prefix, started as root, serving the installed program) it changes what pmset
// reports and the switch shows it on; with the helper stopped the administrator prompt is the
// fallback, the user dismisses it, and the switch stays off.
#include "tests/e2e/EndToEnd.hpp"
#include "tests/e2e/RootAgent.hpp"

namespace velmora::e2e {
namespace {

const std::vector<Seek> kPowerNapRow{{"check box", "Disable Power Nap"}};

class PowerSwitch : public EndToEnd {
  protected:
    void launchWithPowerNapAsFavourite() {
        storeOnboardedProfile();  // no sheet comes up to take the focus from the panel
        storeAppList("favoritePowerTweakIDs", {"power-disable-powernap"});
        launch();
        openPanel();
        ASSERT_EQ(pmsetSettings()["powernap"], "1") << "Power Nap is on at first";
        ASSERT_FALSE(checked(kPowerNapRow));
    }

    // The switch fails: the user is asked for the administrator's password and dismisses the
    // prompt, and the system and the switch stay as they were.
    void expectFailureLeavingItOff() {
        const int before = promptsDismissed();
        click(kPowerNapRow);
        EXPECT_TRUE(waitFor([&] { return promptsDismissed() == before + 1; }))
            << "the administrator prompt comes up";
        EXPECT_TRUE(waitFor([&] { return !checked(kPowerNapRow); }));
        EXPECT_EQ(pmsetSettings()["powernap"], "1");
        EXPECT_FALSE(checked(kPowerNapRow));
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
    EXPECT_TRUE(waitFor([&] { return checked(kPowerNapRow); })) << "the switch shows it on";
    screenshot(QStringLiteral("on"));
    click(kPowerNapRow);
    EXPECT_TRUE(waitFor([&] { return pmsetSettings()["powernap"] == "1"; }));
    EXPECT_TRUE(waitFor([&] { return !checked(kPowerNapRow); }));
    EXPECT_EQ(promptsDismissed(), 0) << "the helper did it: no administrator prompt";

    ASSERT_TRUE(agent->stop());
    expectFailureLeavingItOff();
}

TEST_F(PowerSwitch, WithNoHelperRunningTheSwitchReportsItsFailureAndStaysOff) {
    launchWithPowerNapAsFavourite();
    expectFailureLeavingItOff();
}

}  // namespace
}  // namespace velmora::e2e
