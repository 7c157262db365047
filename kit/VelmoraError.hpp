// The core library's one error type; the application shows its default textual form verbatim.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {

class VelmoraError : public std::exception {
  public:
    enum class Kind {
        unsupportedPreferenceType,
        restartsFailed,
        unknownTweak,
        powerCommandFailed,
        unexpectedHelperResponse
    };

    static VelmoraError unsupportedPreferenceType(std::string domain, std::string key);
    static VelmoraError restartsFailed(std::vector<std::string> services);
    static VelmoraError unknownTweak(std::string id);
    static VelmoraError powerCommandFailed(std::string reason);
    static VelmoraError unexpectedHelperResponse();

    Kind kind;
    std::string domain;                 // unsupportedPreferenceType
    std::string key;                    // unsupportedPreferenceType
    std::vector<std::string> services;  // restartsFailed
    std::string id;                     // unknownTweak
    std::string reason;                 // powerCommandFailed

    // Case name with its labelled payload, e.g. `unknownTweak(id: "nope")`.
    std::string description() const;
    const char* what() const noexcept override { return text_.c_str(); }

    friend bool operator==(const VelmoraError& a, const VelmoraError& b);

  private:
    explicit VelmoraError(Kind k) : kind(k) {}
    void seal() { text_ = description(); }
    std::string text_;
};

}  // namespace velmora
