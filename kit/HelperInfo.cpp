// Values of the constants shared with the helper; identity comes from the build's cache settings.
#include "kit/HelperInfo.hpp"

#include <algorithm>

namespace velmora {

namespace {
constexpr const char* kServiceSuffix = ".helper";
constexpr const char* kVersion = "2";
}  // namespace

const std::string& HelperInfo::machServiceName() {
    static const std::string name = std::string(VELMORA_BUNDLE_ID) + kServiceSuffix;
    return name;
}

const std::string& HelperInfo::version() {
    static const std::string text = kVersion;
    return text;
}

const std::string& HelperInfo::teamID() {
    static const std::string team = VELMORA_TEAM_ID;
    return team;
}

const std::set<std::string>& HelperInfo::pmsetWhitelist() {
    static const std::set<std::string> keys{
        "disablesleep",  "powernap",     "womp",  "tcpkeepalive", "acwake",
        "proximitywake", "lowpowermode", "sleep", "displaysleep", "disksleep"};
    return keys;
}

bool HelperInfo::allowsPmset(std::string_view key, std::string_view value) {
    const bool digitsOnly =
        std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    return pmsetWhitelist().contains(std::string(key)) && !value.empty() &&
           value.size() <= maxPmsetValueDigits && digitsOnly;
}

}  // namespace velmora
