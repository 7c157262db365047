// The wire protocol between the application and its privileged helper: over a Unix stream socket,
// each connection carries one request line and one reply line, each a single JSON object.
//
// Requests:  {"method":"ping"}
//            {"method":"getDisableSleep"}
//            {"flag":true,"method":"setDisableSleep"}
//            {"key":"sleep","method":"setPmset","value":"1"}
// Replies:   ping            {"version":"2"}
//            getDisableSleep {"sleepDisabled":false}
//            the two setters {"message":null,"ok":true}  or  {"message":"Not allowed","ok":false}
// We write keys in this order; a reader must not depend on it. Every key shown is required, no
// other key is accepted, and each line ends in one "\n". A peer that breaks the format gets no
// reply.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/Decoded.hpp"
#include "kit/Enums.hpp"

namespace velmora {

// Longest message either side sends or accepts, its newline included; the bound keeps a peer from
// making the other side buffer without end. Our own requests are far shorter.
inline constexpr std::size_t kHelperMaxMessageBytes = 4096;
// One call, from connecting to the complete reply, gets this long before it counts as timed out.
inline constexpr std::chrono::seconds kHelperCallTimeout{10};

enum class HelperMethod { ping, getDisableSleep, setDisableSleep, setPmset };

template <>
const std::vector<HelperMethod>& allCases<HelperMethod>();
std::string_view rawValue(HelperMethod method);

struct HelperRequest {
    HelperMethod method = HelperMethod::ping;
    bool flag = false;  // setDisableSleep: true disables system sleep
    std::string key;    // setPmset
    std::string value;  // setPmset

    static HelperRequest ping();
    static HelperRequest getDisableSleep();
    static HelperRequest setDisableSleep(bool disable);
    static HelperRequest setPmset(std::string key, std::string value);

    friend bool operator==(const HelperRequest&, const HelperRequest&) = default;
};

struct HelperReply {
    // The reply's shape follows from the method it answers (see `kindAnswering`).
    enum class Kind { version, sleepState, outcome };

    Kind kind = Kind::outcome;
    std::string version;                 // version
    bool sleepDisabled = false;          // sleepState
    bool ok = false;                     // outcome
    std::optional<std::string> message;  // outcome; ignored when ok

    static HelperReply versionAnswer(std::string version);
    static HelperReply sleepState(bool disabled);
    static HelperReply outcome(bool ok, std::optional<std::string> message);
    static Kind kindAnswering(HelperMethod method);

    friend bool operator==(const HelperReply&, const HelperReply&) = default;
};

// The request as one line with its newline, or nothing when it would exceed the bound.
std::optional<std::string> encodeRequest(const HelperRequest& request);
// The reply as one line with its newline; a message too long for the bound is cut short at a
// character boundary, so a reply always fits. Invalid UTF-8 in a message is replaced, not refused.
std::string encodeReply(const HelperReply& reply);

// `line` is one received line without its newline. Never throws; the failure says what was wrong.
Decoded<HelperRequest> parseRequest(std::string_view line);
Decoded<HelperReply> parseReply(std::string_view line, HelperMethod answering);

// Collects received bytes into the first line, refusing one longer than the bound. Bytes after the
// first newline are ignored: one message per connection, the first complete one decides.
class HelperLineReader {
  public:
    enum class Status { needMore, complete, tooLong };

    Status feed(std::string_view bytes);
    Status status() const { return status_; }
    // The complete line without its newline; empty until `status()` is complete.
    const std::string& line() const { return line_; }

  private:
    Status status_ = Status::needMore;
    std::string line_;
};

}  // namespace velmora
