// The suggestion of the day on chosen dates, hours, devices and power states.
#include "tests/ui/model/ModelFakes.hpp"

namespace velmora::testing {
namespace {

const char* const onBatteryText = "On battery \u2014 lighten up to save power.";
const char* const eveningText = "Winding down \u2014 declutter your screen.";
const char* const workText = "Make today feel snappier.";

// One tweak per recipe, so a recipe is applied exactly while its tweak is on.
class SuggestionTest : public ModelTest {
  protected:
    std::unique_ptr<AppModel> model =
        make(Catalog({tweak("t-battery"), tweak("t-speed1"), tweak("t-speed2"), tweak("t-focus"),
                      tweak("t-writer"), tweak("t-plain")},
                     {recipe("r-battery", {{"t-battery", true}}, {UserGoal::battery}),
                      recipe("r-speed1", {{"t-speed1", true}}, {UserGoal::speed}),
                      recipe("r-speed2", {{"t-speed2", true}}, {UserGoal::speed}),
                      recipe("r-focus", {{"t-focus", true}}, {UserGoal::focus}),
                      recipe("r-writer", {{"t-writer", true}}, {}, {UserField::writer}),
                      recipe("r-plain", {{"t-plain", true}})}));

    void desktop(std::set<UserField> fields = {}) {
        model->saveProfile(std::move(fields), {}, DeviceKind::desktop);
    }
    void applied(std::initializer_list<const char*> tweakIDs) {
        for (const char* id : tweakIDs) {
            backend->put(keyOf(id), TweakValue::boolean(true));
        }
    }
    std::optional<Suggestion> at(int month, int day, int hour, int minute = 0) {
        now = localTime(2026, month, day, hour, minute);
        model->refresh();
        return model->suggestion();
    }
};

TEST_F(SuggestionTest, ALaptopOnMainsGetsTheTipUntilItStaysAwakeOrIsADesktop) {
    mac.keepAwake = true;
    // Day 35, working hours: the second of two speed recipes.
    EXPECT_EQ(at(2, 4, 10), (Suggestion{"r-speed2", false, workText}));
    mac.keepAwake = false;
    EXPECT_EQ(at(2, 4, 20),
              (Suggestion{std::nullopt, true, "Plugged in? Keep it awake with the lid shut."}));
    // The laptop tip must not outlive the answer that the Mac is a desktop.
    desktop();
    ASSERT_TRUE(model->suggestion());
    EXPECT_FALSE(model->suggestion()->isPower);
}

TEST_F(SuggestionTest, OnBatteryFallsFromBatteryToSpeedToFocusThenToTheProfile) {
    mac.onBattery = true;
    EXPECT_EQ(at(2, 4, 7), (Suggestion{"r-battery", false, onBatteryText}));
    applied({"t-battery"});
    EXPECT_EQ(at(2, 4, 7), (Suggestion{"r-speed2", false, onBatteryText})) << "35 mod 2 is 1";
    EXPECT_EQ(at(2, 5, 7), (Suggestion{"r-speed1", false, onBatteryText})) << "next day";
    applied({"t-speed1", "t-speed2"});
    EXPECT_EQ(at(2, 4, 7), (Suggestion{"r-focus", false, onBatteryText}));
    desktop({UserField::writer});
    applied({"t-focus"});
    EXPECT_EQ(at(2, 4, 20), (Suggestion{"r-writer", false, "Because you picked Writer."}));
}

TEST_F(SuggestionTest, HourBandsHaveTheirEdges) {
    desktop();
    const char* const morning = "A fresh pick for Wednesday.";
    const std::tuple<int, int, const char*> bands[] = {{18, 0, eveningText}, {5, 59, eveningText},
                                                       {9, 0, workText},     {17, 59, workText},
                                                       {6, 0, morning},      {8, 59, morning}};
    for (const auto& [hour, minute, reason] : bands) {
        ASSERT_TRUE(at(2, 4, hour, minute));
        EXPECT_EQ(model->suggestion()->reason, reason) << hour << ":" << minute;
    }
}

TEST_F(SuggestionTest, AFreshPickRotatesByTheDayOfTheYear) {
    desktop({UserField::writer});
    applied({"t-writer", "t-battery", "t-speed1", "t-focus"});
    // 1 January 2026, a Thursday: candidates r-speed2 and r-plain, 1 mod 2 is 1.
    EXPECT_EQ(at(1, 1, 7), (Suggestion{"r-plain", false, "A fresh pick for Thursday."}));
    EXPECT_EQ(at(1, 2, 7), (Suggestion{"r-speed2", false, "A fresh pick for Friday."}));
    applied({"t-speed2", "t-plain"});
    EXPECT_EQ(at(1, 2, 7), std::nullopt) << "nothing left to suggest";
}

}  // namespace
}  // namespace velmora::testing
