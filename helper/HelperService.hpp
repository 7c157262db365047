// What the helper does for a client: the signature check of the connecting program, and for each
// request the key and value rule, the pmset run, the reply and the log line.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "helper/HelperLog.hpp"
#include "kit/HelperProtocol.hpp"
#include "platform/CodeValidator.hpp"
#include "platform/ProcessRunner.hpp"

namespace velmora {

class HelperService {
  public:
    // `pmset` is the checked program to run; `systemRoot` is passed on to it, as the only thing of
    // the helper's own environment it sees.
    HelperService(HelperLog& log, CodeValidator& validator, std::filesystem::path pmset,
                  const std::filesystem::path& systemRoot);

    // A pmset run gets this long; then it is killed and the request fails. Half the client's own
    // wait, so that the failure reaches the client before it gives up.
    static constexpr std::chrono::seconds pmsetTimeout{5};

    // Whether the program at the other end of the connection is signed by the maker's team.
    bool isValidClient(int connectionFd);
    // Exactly one reply per request; refusals and pmset outcomes are logged.
    HelperReply handle(const HelperRequest& request);

    // The text the client's code must satisfy.
    static std::string requirementText();

  private:
    bool readDisableSleep() const;
    HelperReply setPmset(const std::string& key, const std::string& value);
    HelperReply runPmset(const std::string& key, const std::string& value);
    ProcessResult pmset(const std::vector<std::string>& arguments, ProcessOutput output) const;

    HelperLog& log_;
    CodeValidator& validator_;
    std::filesystem::path pmset_;
    std::vector<std::string> environment_;
};

}  // namespace velmora
