// Members of a stored JSON record that this version does not know, carried through load and save.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace velmora {

// A newer version may store more fields in a record than this one reads; saving the record again
// must not drop them, or moving between versions loses the user's settings. They take no part in a
// record's equality, which stays that of its known fields.
class UnknownMembers {
  public:
    // The members of `object` whose names are not in `known`.
    static UnknownMembers of(const nlohmann::json& object,
                             std::initializer_list<std::string_view> known);
    // Adds them to `object`, which holds the known fields (those win on a clash).
    void addTo(nlohmann::json& object) const;
    bool empty() const { return text_.empty(); }

    friend bool operator==(const UnknownMembers&, const UnknownMembers&) { return true; }

  private:
    std::string text_;  // their JSON object's compact text, or nothing when there are none
};

}  // namespace velmora
