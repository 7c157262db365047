// Reading pmset's output: the keep-awake line, the value table and the battery report.
#include "platform/PmsetOutput.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

TEST(PmsetOutputTest, SleepDisabledIsDecidedByTheFirstLineNamingIt) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"System-wide power settings:\n SleepDisabled\t\t1\n", true},
        {" SleepDisabled\t\t1", true},
        {"SleepDisabled 0\nSleepDisabled 1\n", false},
        {"Currently in use:\n sleep 1\n", false},
        {" sleepdisabled 1\n", false},  // case-sensitive
        {" SleepDisabled 10\n", false},
        {" SleepDisabled 1\r\n", false},  // only spaces and tabs separate fields
        {"", false},
    };
    for (const auto& [output, expected] : cases) {
        EXPECT_EQ(PmsetOutput::sleepDisabled(output), expected) << output;
    }
}

TEST(PmsetOutputTest, ValuesTakeTheLastTwoFieldsOfEachLine) {
    const auto values = PmsetOutput::values(
        "System-wide power settings:\n"
        " SleepDisabled\t\t0\n"
        "Currently in use:\n"
        " womp                 1\n"
        " sleep                1 (sleep prevented by coreaudiod)\n"
        " displaysleep 10\n"
        " displaysleep 20\n"
        "lonely\n");
    EXPECT_THAT(values, ElementsAre(Pair("SleepDisabled", "0"), Pair("by", "coreaudiod)"),
                                    Pair("displaysleep", "20"), Pair("in", "use:"),
                                    Pair("power", "settings:"), Pair("womp", "1")));
    EXPECT_TRUE(PmsetOutput::values("").empty());
}

TEST(PmsetOutputTest, OnBatteryNeedsBatteryPowerAndNoAcPower) {
    for (const auto& [output, expected] :
         {std::pair{"Now drawing from 'Battery Power'\n -InternalBattery-0 (id=0)\t85%;\n", true},
          {"Now drawing from 'AC Power'\n", false},
          {"'Battery Power' 'AC Power'", false},
          {"Now drawing from 'UPS Power'\n", false},
          {"now drawing from 'battery power'\n", false}}) {
        EXPECT_EQ(PmsetOutput::onBattery(output), expected) << output;
    }
}

TEST(PmsetOutputTest, BatteryPercentIsTheFirstDigitsFollowedByPercent) {
    const std::vector<std::pair<std::string, std::optional<int>>> cases = {
        {"Now drawing from 'AC Power'\n -InternalBattery-0 (id=4587619)\t100%; charged; "
         "0:00 remaining present: true\n",
         100},
        {"id=12 x 7%", 7},
        {"0%", 0},
        {"Now drawing from 'AC Power'\n", std::nullopt},
        {"% 5 %", std::nullopt},
        {"99999999999999999999%", std::nullopt},
    };
    for (const auto& [output, expected] : cases) {
        EXPECT_EQ(PmsetOutput::batteryPercent(output), expected) << output;
    }
}

}  // namespace
}  // namespace velmora
