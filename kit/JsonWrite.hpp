// Writing stored JSON records: refuse what could not be read back instead of writing it damaged.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace velmora::json {

// Thrown by a record's encoder when a field cannot be written faithfully (a non-finite number,
// which JSON cannot hold, or text that is not UTF-8). The message names the record and the field.
class EncodeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// `value` when it is finite; otherwise throws EncodeError naming `what`. JSON has no NaN or
// infinity and nlohmann would write null, which then fails to read and loses the whole list.
double finite(double value, std::string_view what);

// Compact text of `value`; throws EncodeError for text that is not valid UTF-8.
std::string text(const nlohmann::json& value, std::string_view what);

}  // namespace velmora::json
