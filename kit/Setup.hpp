// A saved scene: which tweaks and power settings are on, slider values and the lid-close flag.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "kit/Decoded.hpp"
#include "kit/UnknownMembers.hpp"

namespace velmora {

struct Setup {
    std::string id;
    std::string name;
    std::string icon;  // SF Symbol name, normally one of SetupIcons::all()
    std::vector<std::string> tweakIDs;
    std::vector<std::string> powerToggleIDs;
    std::map<std::string, double> sliderValues;  // slider id to value
    bool lidClose = false;
    // Fields a newer version stored, written back as they were.
    UnknownMembers unknownMembers{};

    // Tweaks, power settings and slider values, plus one when the scene keeps the Mac awake.
    int itemCount() const;

    // Every field under its name. Throws json::EncodeError (kit/JsonWrite.hpp) for a slider value
    // that is not finite: JSON cannot hold it and writing null would lose the stored list.
    nlohmann::json toJson() const;
    // Strict: every key required, every value type-checked; other keys are kept as they are.
    static Decoded<Setup> fromJson(const nlohmann::json& json);

    // The stored list "velmora_setups". Encoding throws json::EncodeError like toJson (and for
    // text that is not UTF-8); decoding fails as a whole when any one scene does.
    static std::string encodeList(const std::vector<Setup>& setups);
    static Decoded<std::vector<Setup>> decodeList(std::string_view text);

    friend bool operator==(const Setup&, const Setup&) = default;
};

class SetupIcons {
  public:
    SetupIcons() = delete;
    // The icons offered for a new scene, in picker order; the editor starts with the first.
    static const std::vector<std::string>& all();
};

}  // namespace velmora
