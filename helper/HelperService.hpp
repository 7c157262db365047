// What the helper does for a client: the signature check of the connecting program, and for each
// request the whitelist and numeric test, the pmset run, the reply and the log line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "helper/HelperLog.hpp"
#include "kit/HelperProtocol.hpp"
#include "platform/CodeValidator.hpp"

namespace velmora {

class HelperService {
  public:
    HelperService(HelperLog& log, CodeValidator& validator) : log_(log), validator_(validator) {}

    // Whether the program at the other end of the connection is signed by the maker's team.
    bool isValidClient(int connectionFd);
    // Exactly one reply per request; refusals and pmset outcomes are logged.
    HelperReply handle(const HelperRequest& request);

    // The text the client's code must satisfy.
    static std::string requirementText();
    // Every code point has a Unicode numeric type; the empty value passes.
    static bool isNumeric(std::string_view value);
    static bool readDisableSleep();

  private:
    HelperReply setPmset(const std::string& key, const std::string& value);
    HelperReply runPmset(const std::string& key, const std::string& value);

    HelperLog& log_;
    CodeValidator& validator_;
};

}  // namespace velmora
