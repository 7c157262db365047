// Reading pmset's output: the keep-awake line, the value table and the battery report.
#include "platform/PmsetOutput.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

TEST(PmsetOutputTest, SettingsSleepDisabledByTheFirstLineNamingItAndTheValueTable) {
    for (const auto& [output, expected] :
         {std::pair{"System-wide power settings:\n SleepDisabled\t\t1\n", true},
          {"SleepDisabled 0\nSleepDisabled 1\n", false},
          {" SleepDisabled 10\n", false},
          {" SleepDisabled 1\r\n", false},  // only spaces and tabs separate fields
          {"", false}}) {
        EXPECT_EQ(PmsetOutput::sleepDisabled(output), expected) << output;
    }
    // Values take the last two fields of each line.
    EXPECT_THAT(PmsetOutput::values("System-wide power settings:\n"
                                    " womp                 1\n"
                                    " sleep                1 (sleep prevented by coreaudiod)\n"
                                    " displaysleep 10\n"
                                    " displaysleep 20\n"
                                    "lonely\n"),
                ElementsAre(Pair("by", "coreaudiod)"), Pair("displaysleep", "20"),
                            Pair("power", "settings:"), Pair("womp", "1")));
}

TEST(PmsetOutputTest, BatteryReports) {
    for (const auto& [output, expected] :
         {std::pair{"Now drawing from 'Battery Power'\n -InternalBattery-0 (id=0)\t85%;\n", true},
          {"Now drawing from 'AC Power'\n", false},
          {"now drawing from 'battery power'\n", false}}) {
        EXPECT_EQ(PmsetOutput::onBattery(output), expected) << output;
    }
    for (const auto& [output, expected] : std::vector<std::pair<std::string, std::optional<int>>>{
             {" -InternalBattery-0 (id=4587619)\t100%; charged; 0:00 remaining\n", 100},
             {"Now drawing from 'AC Power'\n", std::nullopt},
             {"% 5 %", std::nullopt},
             {"99999999999999999999%", std::nullopt}}) {
        EXPECT_EQ(PmsetOutput::batteryPercent(output), expected) << output;
    }
}

}  // namespace
}  // namespace velmora
