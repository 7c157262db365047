// Trigger texts, the rule's sentence and time text, and its stored JSON form.
#include "kit/AutomationRule.hpp"

#include <array>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "kit/JsonList.hpp"
#include "kit/JsonRead.hpp"
#include "kit/JsonWrite.hpp"

namespace velmora {

namespace {

using Json = nlohmann::json;
using Kind = AutomationRule::Kind;

enum class Input { none, threshold, time, app };

struct KindText {
    std::string_view raw, label, icon;
    Input input;
};

constexpr std::array<KindText, 8> kKinds{{
    {"onPower", "Plugged in", "powerplug.fill", Input::none},
    {"onBattery", "On battery", "battery.50", Input::none},
    {"batteryBelow", "Battery below\u2026", "battery.25", Input::threshold},
    {"displayConnected", "Display connected", "display", Input::none},
    {"displayDisconnected", "Display disconnected", "display.trianglebadge.exclamationmark",
     Input::none},
    {"atTime", "At a time", "clock.fill", Input::time},
    {"appLaunched", "An app opens", "app.badge", Input::app},
    {"onWake", "Mac wakes", "sunrise.fill", Input::none},
}};

constexpr std::int64_t kHoursPerHalfDay = 12;
constexpr std::size_t kTimeTextCapacity = 64;  // two 64-bit numbers, a colon and a suffix

const KindText& text(Kind kind) {
    return kKinds.at(static_cast<std::size_t>(kind));
}

AutomationRule decodeRule(const Json& object) {
    json::requireObject(object, "a rule");
    return AutomationRule{
        json::string(object, "id"),
        json::enumValue<Kind>(json::member(object, "kind"), "kind"),
        json::string(object, "setupID"),
        json::boolean(object, "enabled"),
        json::integer(object, "threshold"),
        json::integer(object, "hour"),
        json::integer(object, "minute"),
        json::string(object, "appBundleID"),
        json::string(object, "appName"),
        UnknownMembers::of(object, {"id", "kind", "setupID", "enabled", "threshold", "hour",
                                    "minute", "appBundleID", "appName"})};
}

}  // namespace

template <>
const std::vector<Kind>& allCases<Kind>() {
    static const std::vector<Kind> cases = [] {
        std::vector<Kind> all;
        for (std::size_t i = 0; i < kKinds.size(); ++i) {
            all.push_back(static_cast<Kind>(i));
        }
        return all;
    }();
    return cases;
}

std::string_view rawValue(Kind kind) {
    return text(kind).raw;
}
std::string_view label(Kind kind) {
    return text(kind).label;
}
std::string_view icon(Kind kind) {
    return text(kind).icon;
}
bool needsThreshold(Kind kind) {
    return text(kind).input == Input::threshold;
}
bool needsTime(Kind kind) {
    return text(kind).input == Input::time;
}
bool needsApp(Kind kind) {
    return text(kind).input == Input::app;
}

std::string AutomationRule::timeString() const {
    std::int64_t shown = hour % kHoursPerHalfDay;
    if (shown == 0) {
        shown = kHoursPerHalfDay;
    }
    const char* suffix = hour < kHoursPerHalfDay ? "AM" : "PM";
    char buffer[kTimeTextCapacity];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld %s", static_cast<long long>(shown),
                  static_cast<long long>(minute), suffix);
    return buffer;
}

std::string AutomationRule::describe() const {
    switch (kind) {
        case Kind::onPower:
            return "When I plug in";
        case Kind::onBattery:
            return "When I unplug";
        case Kind::batteryBelow:
            return "When battery drops below " + std::to_string(threshold) + "%";
        case Kind::displayConnected:
            return "When an external display connects";
        case Kind::displayDisconnected:
            return "When an external display disconnects";
        case Kind::atTime:
            return "Every day at " + timeString();
        case Kind::appLaunched:
            return "When " + (appName.empty() ? "an app" : appName) + " opens";
        case Kind::onWake:
            return "When my Mac wakes up";
    }
    return {};
}

Json AutomationRule::toJson() const {
    Json object{{"id", id},
                {"kind", std::string(rawValue(kind))},
                {"setupID", setupID},
                {"enabled", enabled},
                {"threshold", threshold},
                {"hour", hour},
                {"minute", minute},
                {"appBundleID", appBundleID},
                {"appName", appName}};
    unknownMembers.addTo(object);
    return object;
}

Decoded<AutomationRule> AutomationRule::fromJson(const Json& object) {
    try {
        return Decoded<AutomationRule>::success(decodeRule(object));
    } catch (const json::DecodeError& e) {
        return Decoded<AutomationRule>::failure(std::string("rule: ") + e.what());
    }
}

std::string AutomationRule::encodeList(const std::vector<AutomationRule>& rules) {
    Json list = Json::array();
    for (const auto& rule : rules) {
        list.push_back(rule.toJson());
    }
    return json::text(list, "the rule list");
}

Decoded<std::vector<AutomationRule>> AutomationRule::decodeList(std::string_view text) {
    return json::decodeList<AutomationRule>(text, "rule", decodeRule);
}

}  // namespace velmora
