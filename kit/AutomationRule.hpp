// An automation rule: when a trigger happens, switch to a saved scene; plus the triggers' texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "kit/Decoded.hpp"
#include "kit/Enums.hpp"
#include "kit/UnknownMembers.hpp"

namespace velmora {

struct AutomationRule {
    // Declaration order is the kind picker's order.
    enum class Kind {
        onPower,
        onBattery,
        batteryBelow,
        displayConnected,
        displayDisconnected,
        atTime,
        appLaunched,
        onWake
    };

    // Every rule carries every field; the ones its kind does not use keep whatever they were given.
    std::string id;
    Kind kind = Kind::onPower;
    std::string setupID;  // may name a scene deleted since
    bool enabled = false;
    std::int64_t threshold = 0;  // battery percentage, batteryBelow
    std::int64_t hour = 0;       // 0 to 23, atTime
    std::int64_t minute = 0;     // 0 to 59, atTime
    std::string appBundleID;     // appLaunched
    std::string appName;         // appLaunched
    // Fields a newer version stored, written back as they were.
    UnknownMembers unknownMembers{};

    // 12-hour clock with a fixed English suffix, e.g. "12:05 AM"; independent of the locale.
    std::string timeString() const;
    // One sentence without a full stop for the list of rules, e.g. "When battery drops below 20%".
    std::string describe() const;

    nlohmann::json toJson() const;
    // Strict: every key required, every value type-checked, "kind" one of the case names exactly;
    // other keys are kept as they are.
    static Decoded<AutomationRule> fromJson(const nlohmann::json& json);

    // The stored list "velmora_automation_rules". Encoding throws json::EncodeError for text that
    // is not UTF-8; decoding fails as a whole when any one rule does.
    static std::string encodeList(const std::vector<AutomationRule>& rules);
    static Decoded<std::vector<AutomationRule>> decodeList(std::string_view text);

    friend bool operator==(const AutomationRule&, const AutomationRule&) = default;
};

template <>
const std::vector<AutomationRule::Kind>& allCases<AutomationRule::Kind>();
std::string_view rawValue(AutomationRule::Kind kind);
std::string_view label(AutomationRule::Kind kind);
std::string_view icon(AutomationRule::Kind kind);
// Which extra input the rule form shows for the kind.
bool needsThreshold(AutomationRule::Kind kind);
bool needsTime(AutomationRule::Kind kind);
bool needsApp(AutomationRule::Kind kind);

}  // namespace velmora
