// Texts of the onboarding vocabulary, the reason line and the stored JSON form of a profile.
#include "kit/UserProfile.hpp"

#include <array>

#include <nlohmann/json.hpp>

#include "kit/JsonRead.hpp"

namespace velmora {

namespace {

struct CaseText {
    std::string_view raw, title, blurb, icon;
};

constexpr std::array<CaseText, 7> kFields{{
    {"developer", "Developer", "Terminal, speed, control",
     "chevron.left.forwardslash.chevron.right"},
    {"designer", "Designer", "Pixels, color, precision", "paintbrush.pointed"},
    {"writer", "Writer", "Focus, words, calm", "text.alignleft"},
    {"photoVideo", "Photo & Video", "Capture, storage, displays", "camera"},
    {"student", "Student", "Battery, focus, simple", "graduationcap"},
    {"business", "Business", "Meetings, docs, reliable", "briefcase"},
    {"clean", "Keep it clean", "Minimal, fast, tidy", "sparkles"},
}};

constexpr std::array<CaseText, 6> kGoals{{
    {"speed", "Speed", "Snappier everything", "hare"},
    {"focus", "Focus", "Fewer distractions", "moon"},
    {"privacy", "Privacy", "Less tracking", "lock.shield"},
    {"capture", "Capture", "Better screenshots", "camera.viewfinder"},
    {"battery", "Battery", "Last longer", "battery.100"},
    {"keyboard", "Keyboard", "Navigate fast", "keyboard"},
}};

constexpr std::array<CaseText, 2> kDevices{{
    {"laptop", "Laptop", "", "laptopcomputer"},
    {"desktop", "Desktop", "", "desktopcomputer"},
}};

template <class E, std::size_t N>
std::vector<E> casesOf(const std::array<CaseText, N>&) {
    std::vector<E> cases;
    for (std::size_t i = 0; i < N; ++i) {
        cases.push_back(static_cast<E>(i));
    }
    return cases;
}

const CaseText& text(UserField v) {
    return kFields.at(static_cast<std::size_t>(v));
}
const CaseText& text(UserGoal v) {
    return kGoals.at(static_cast<std::size_t>(v));
}
const CaseText& text(DeviceKind v) {
    return kDevices.at(static_cast<std::size_t>(v));
}

constexpr std::string_view kSeparator = " \u00B7 ";
constexpr std::size_t kMaxReasonTitles = 2;

}  // namespace

template <>
const std::vector<UserField>& allCases<UserField>() {
    static const auto cases = casesOf<UserField>(kFields);
    return cases;
}
template <>
const std::vector<UserGoal>& allCases<UserGoal>() {
    static const auto cases = casesOf<UserGoal>(kGoals);
    return cases;
}
template <>
const std::vector<DeviceKind>& allCases<DeviceKind>() {
    static const auto cases = casesOf<DeviceKind>(kDevices);
    return cases;
}

std::string_view rawValue(UserField v) {
    return text(v).raw;
}
std::string_view title(UserField v) {
    return text(v).title;
}
std::string_view blurb(UserField v) {
    return text(v).blurb;
}
std::string_view icon(UserField v) {
    return text(v).icon;
}
std::string_view rawValue(UserGoal v) {
    return text(v).raw;
}
std::string_view title(UserGoal v) {
    return text(v).title;
}
std::string_view blurb(UserGoal v) {
    return text(v).blurb;
}
std::string_view icon(UserGoal v) {
    return text(v).icon;
}
std::string_view rawValue(DeviceKind v) {
    return text(v).raw;
}
std::string_view title(DeviceKind v) {
    return text(v).title;
}
std::string_view icon(DeviceKind v) {
    return text(v).icon;
}

std::string UserProfile::reason(const std::vector<UserField>& itemFields,
                                const std::vector<UserGoal>& itemGoals) const {
    std::vector<std::string_view> titles;
    for (UserField f : itemFields) {
        if (fields.count(f)) {
            titles.push_back(title(f));
        }
    }
    for (UserGoal g : itemGoals) {
        if (goals.count(g)) {
            titles.push_back(title(g));
        }
    }
    std::string line;
    for (std::size_t i = 0; i < titles.size() && i < kMaxReasonTitles; ++i) {
        if (i > 0) {
            line += kSeparator;
        }
        line += titles[i];
    }
    return line;
}

nlohmann::json UserProfile::toJson() const {
    nlohmann::json fieldList = nlohmann::json::array();
    for (UserField f : fields) {
        fieldList.push_back(std::string(rawValue(f)));
    }
    nlohmann::json goalList = nlohmann::json::array();
    for (UserGoal g : goals) {
        goalList.push_back(std::string(rawValue(g)));
    }
    nlohmann::json object{{"fields", fieldList},
                          {"goals", goalList},
                          {"device", std::string(rawValue(device))},
                          {"completedOnboarding", completedOnboarding}};
    unknownMembers.addTo(object);
    return object;
}

Decoded<UserProfile> UserProfile::fromJson(const nlohmann::json& object) {
    try {
        json::requireObject(object, "a profile");
        UserProfile profile;
        for (const auto& item : json::array(object, "fields")) {
            profile.fields.insert(json::enumValue<UserField>(item, "fields"));
        }
        for (const auto& item : json::array(object, "goals")) {
            profile.goals.insert(json::enumValue<UserGoal>(item, "goals"));
        }
        profile.device = json::enumValue<DeviceKind>(json::member(object, "device"), "device");
        profile.completedOnboarding = json::boolean(object, "completedOnboarding");
        profile.unknownMembers =
            UnknownMembers::of(object, {"fields", "goals", "device", "completedOnboarding"});
        return Decoded<UserProfile>::success(std::move(profile));
    } catch (const json::DecodeError& e) {
        return Decoded<UserProfile>::failure(std::string("profile: ") + e.what());
    }
}

}  // namespace velmora
