// Keeping a stored record's unknown members as the JSON text they were read as.
#include "kit/UnknownMembers.hpp"

#include <algorithm>
#include <string_view>

#include <nlohmann/json.hpp>

namespace velmora {

UnknownMembers UnknownMembers::of(const nlohmann::json& object,
                                  std::initializer_list<std::string_view> known) {
    UnknownMembers unknown;
    if (!object.is_object()) {
        return unknown;
    }
    nlohmann::json others = nlohmann::json::object();
    for (auto member = object.begin(); member != object.end(); ++member) {
        if (std::find(known.begin(), known.end(), member.key()) == known.end()) {
            others[member.key()] = member.value();
        }
    }
    if (!others.empty()) {
        unknown.text_ = others.dump();
    }
    return unknown;
}

void UnknownMembers::addTo(nlohmann::json& object) const {
    if (text_.empty()) {
        return;
    }
    // Read as a view, as every other JSON text is, so the program carries one parser.
    const nlohmann::json stored = nlohmann::json::parse(std::string_view(text_));
    for (auto member = stored.begin(); member != stored.end(); ++member) {
        object.emplace(member.key(), member.value());
    }
}

}  // namespace velmora
