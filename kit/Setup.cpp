// The scene record's counts, icon list and stored JSON form.
#include "kit/Setup.hpp"

#include <nlohmann/json.hpp>

#include "kit/JsonList.hpp"
#include "kit/JsonRead.hpp"
#include "kit/JsonWrite.hpp"

namespace velmora {

namespace {

using Json = nlohmann::json;

std::vector<std::string> strings(const Json& object, std::string_view key) {
    std::vector<std::string> result;
    for (const auto& item : json::array(object, key)) {
        if (!item.is_string()) {
            throw json::DecodeError("\"" + std::string(key) + "\" must hold strings");
        }
        result.push_back(item.get<std::string>());
    }
    return result;
}

std::map<std::string, double> sliderValues(const Json& object) {
    const Json& values = json::member(object, "sliderValues");
    if (!values.is_object()) {
        throw json::DecodeError("\"sliderValues\" must be an object");
    }
    std::map<std::string, double> result;
    for (const auto& item : values.items()) {
        try {
            result.emplace(item.key(), json::number(values, item.key()));
        } catch (const json::DecodeError& e) {
            throw json::DecodeError(std::string("\"sliderValues\": ") + e.what());
        }
    }
    return result;
}

Setup decodeSetup(const Json& object) {
    json::requireObject(object, "a scene");
    return Setup{json::string(object, "id"),
                 json::string(object, "name"),
                 json::string(object, "icon"),
                 strings(object, "tweakIDs"),
                 strings(object, "powerToggleIDs"),
                 sliderValues(object),
                 json::boolean(object, "lidClose"),
                 UnknownMembers::of(object, {"id", "name", "icon", "tweakIDs", "powerToggleIDs",
                                             "sliderValues", "lidClose"})};
}

}  // namespace

int Setup::itemCount() const {
    return static_cast<int>(tweakIDs.size() + powerToggleIDs.size() + sliderValues.size()) +
           (lidClose ? 1 : 0);
}

Json Setup::toJson() const {
    Json values = Json::object();
    for (const auto& [slider, value] : sliderValues) {
        values[slider] = json::finite(value, "scene \"" + name + "\": slider \"" + slider + "\"");
    }
    Json object{{"id", id},
                {"name", name},
                {"icon", icon},
                {"tweakIDs", tweakIDs},
                {"powerToggleIDs", powerToggleIDs},
                {"sliderValues", values},
                {"lidClose", lidClose}};
    unknownMembers.addTo(object);
    return object;
}

Decoded<Setup> Setup::fromJson(const Json& object) {
    try {
        return Decoded<Setup>::success(decodeSetup(object));
    } catch (const json::DecodeError& e) {
        return Decoded<Setup>::failure(std::string("scene: ") + e.what());
    }
}

std::string Setup::encodeList(const std::vector<Setup>& setups) {
    Json list = Json::array();
    for (const auto& setup : setups) {
        list.push_back(setup.toJson());
    }
    return json::text(list, "the scene list");
}

Decoded<std::vector<Setup>> Setup::decodeList(std::string_view text) {
    return json::decodeList<Setup>(text, "scene", decodeSetup);
}

const std::vector<std::string>& SetupIcons::all() {
    static const std::vector<std::string> icons{"square.stack.3d.up.fill",
                                                "briefcase.fill",
                                                "moon.fill",
                                                "bolt.fill",
                                                "airplane",
                                                "gamecontroller.fill",
                                                "music.note",
                                                "person.fill",
                                                "cup.and.saucer.fill",
                                                "sun.max.fill",
                                                "leaf.fill",
                                                "display"};
    return icons;
}

}  // namespace velmora
