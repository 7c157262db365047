// The onboarding answers and the field/goal vocabulary that tweaks, recipes and settings are tagged
// with.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "kit/Decoded.hpp"
#include "kit/Enums.hpp"
#include "kit/UnknownMembers.hpp"

namespace velmora {

enum class UserField { developer, designer, writer, photoVideo, student, business, clean };
enum class UserGoal { speed, focus, privacy, capture, battery, keyboard };
enum class DeviceKind { laptop, desktop };

template <>
const std::vector<UserField>& allCases<UserField>();
template <>
const std::vector<UserGoal>& allCases<UserGoal>();
template <>
const std::vector<DeviceKind>& allCases<DeviceKind>();

std::string_view rawValue(UserField value);
std::string_view title(UserField value);
std::string_view blurb(UserField value);
std::string_view icon(UserField value);

std::string_view rawValue(UserGoal value);
std::string_view title(UserGoal value);
std::string_view blurb(UserGoal value);
std::string_view icon(UserGoal value);

std::string_view rawValue(DeviceKind value);
std::string_view title(DeviceKind value);
std::string_view icon(DeviceKind value);

struct UserProfile {
    std::set<UserField> fields;
    std::set<UserGoal> goals;
    DeviceKind device = DeviceKind::laptop;
    bool completedOnboarding = false;
    // Fields a newer version stored, written back as they were.
    UnknownMembers unknownMembers{};

    // The line that says why an item is suggested: matching field titles, then goal titles, at most
    // two.
    std::string reason(const std::vector<UserField>& itemFields,
                       const std::vector<UserGoal>& itemGoals) const;

    nlohmann::json toJson() const;
    // Strict: every key required, every value type-checked, unknown raw values refused; other keys
    // are kept as they are.
    static Decoded<UserProfile> fromJson(const nlohmann::json& json);

    friend bool operator==(const UserProfile&, const UserProfile&) = default;
};

}  // namespace velmora
