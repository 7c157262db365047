// Reads what `pmset -g` and `pmset -g batt` print, by the platform's line and field rules.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class PmsetOutput {
  public:
    PmsetOutput() = delete;

    // The pieces between "\n" characters, empty ones dropped.
    static std::vector<std::string_view> lines(std::string_view text);
    // The pieces between spaces and tabs, empty ones dropped; no other whitespace separates.
    static std::vector<std::string_view> fields(std::string_view line);

    // `pmset -g`: whether the first line naming "SleepDisabled" ends in the field "1".
    static bool sleepDisabled(std::string_view output);
    // `pmset -g`: the last two fields of every line of two or more, as key and value; a later
    // line replaces an earlier one with the same key. Lines such as "Sleep On Power Button 1"
    // therefore yield "Button", which callers that look up known keys never ask for.
    static std::map<std::string, std::string> values(std::string_view output);

    // `pmset -g batt`: on battery only when it says "Battery Power" and not "AC Power".
    static bool onBattery(std::string_view output);
    // `pmset -g batt`: the first run of decimal digits followed by "%", or none (no battery, or a
    // number too large to be a percentage count).
    static std::optional<int> batteryPercent(std::string_view output);
};

}  // namespace velmora
