// Reading pmset's output: the keep-awake line, the value table and the battery report.
#include "platform/PmsetOutput.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

TEST(PmsetOutputTest, SplittingDropsEmptyPiecesAndOnlySpacesAndTabsSeparateFields) {
    EXPECT_THAT(PmsetOutput::lines("a\n\nb\n"), ElementsAre("a", "b"));
    EXPECT_THAT(PmsetOutput::lines(""), ElementsAre());
    EXPECT_THAT(PmsetOutput::fields(" \tkey  \t value\r"), ElementsAre("key", "value\r"));
    EXPECT_THAT(PmsetOutput::fields(" \t "), ElementsAre());
}

TEST(PmsetOutputTest, SleepDisabledIsDecidedByTheFirstLineNamingIt) {
    EXPECT_TRUE(PmsetOutput::sleepDisabled("System-wide power settings:\n SleepDisabled\t\t1\n"));
    EXPECT_TRUE(PmsetOutput::sleepDisabled(" SleepDisabled\t\t1"));
    EXPECT_FALSE(PmsetOutput::sleepDisabled("SleepDisabled 0\n"));
    EXPECT_FALSE(PmsetOutput::sleepDisabled("SleepDisabled 0\nSleepDisabled 1\n"));
    EXPECT_FALSE(PmsetOutput::sleepDisabled("Currently in use:\n sleep 1\n"));
    EXPECT_FALSE(PmsetOutput::sleepDisabled(" sleepdisabled 1\n"));  // case-sensitive
    EXPECT_FALSE(PmsetOutput::sleepDisabled(" SleepDisabled 10\n"));
    EXPECT_FALSE(PmsetOutput::sleepDisabled(""));
}

TEST(PmsetOutputTest, ValuesTakeTheLastTwoFieldsOfEachLine) {
    const auto values = PmsetOutput::values(
        "System-wide power settings:\n"
        " SleepDisabled\t\t0\n"
        "Currently in use:\n"
        " womp                 1\n"
        " lowpowermode         0\n"
        " sleep                1 (sleep prevented by coreaudiod)\n"
        " Sleep On Power Button 1\n"
        " displaysleep 10\n"
        " displaysleep 20\n"
        "lonely\n");
    EXPECT_THAT(values, ElementsAre(Pair("Button", "1"), Pair("SleepDisabled", "0"),
                                    Pair("by", "coreaudiod)"), Pair("displaysleep", "20"),
                                    Pair("in", "use:"), Pair("lowpowermode", "0"),
                                    Pair("power", "settings:"), Pair("womp", "1")));
    EXPECT_TRUE(PmsetOutput::values("").empty());
}

TEST(PmsetOutputTest, OnBatteryNeedsBatteryPowerAndNoAcPower) {
    EXPECT_TRUE(PmsetOutput::onBattery(
        "Now drawing from 'Battery Power'\n -InternalBattery-0 (id=0)\t85%; discharging\n"));
    EXPECT_FALSE(PmsetOutput::onBattery("Now drawing from 'AC Power'\n"));
    EXPECT_FALSE(PmsetOutput::onBattery("'Battery Power' 'AC Power'"));
    EXPECT_FALSE(PmsetOutput::onBattery("Now drawing from 'UPS Power'\n"));
    EXPECT_FALSE(PmsetOutput::onBattery("now drawing from 'battery power'\n"));
}

TEST(PmsetOutputTest, BatteryPercentIsTheFirstDigitsFollowedByPercent) {
    EXPECT_EQ(PmsetOutput::batteryPercent(
                  "Now drawing from 'AC Power'\n -InternalBattery-0 (id=4587619)\t100%; charged; "
                  "0:00 remaining present: true\n"),
              100);
    EXPECT_EQ(PmsetOutput::batteryPercent("id=12 x 7%"), 7);
    EXPECT_EQ(PmsetOutput::batteryPercent("0%"), 0);
    EXPECT_EQ(PmsetOutput::batteryPercent("Now drawing from 'AC Power'\n"), std::nullopt);
    EXPECT_EQ(PmsetOutput::batteryPercent("% 5 %"), std::nullopt);
    EXPECT_EQ(PmsetOutput::batteryPercent("99999999999999999999%"), std::nullopt);
}

}  // namespace
}  // namespace velmora
