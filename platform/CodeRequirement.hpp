// A compiled code requirement. Only one shape is understood, the one that names the maker's
// team: anchor apple generic and certificate leaf[subject.OU] = "<team>". Anything else fails to
// compile, so a caller can never be checked against a requirement we do not understand.
#pragma once

#include <string>
#include <string_view>

#include "kit/Decoded.hpp"

namespace velmora {

class CodeRequirement {
  public:
    static Decoded<CodeRequirement> compile(std::string_view text);

    // The organisational unit (team) the signer's certificate must carry.
    const std::string& team() const { return team_; }

  private:
    explicit CodeRequirement(std::string team) : team_(std::move(team)) {}
    std::string team_;
};

}  // namespace velmora
