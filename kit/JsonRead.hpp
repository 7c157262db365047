// Strict readers for stored JSON records: a missing key or a value of the wrong type is an error,
// never a silent conversion (nlohmann would turn 20.5 into 20 and true into 1).
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "kit/Enums.hpp"

namespace velmora::json {

// Thrown only inside a decoder and turned into a Decoded failure there.
class DecodeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

const nlohmann::json& member(const nlohmann::json& object, std::string_view key);
void requireObject(const nlohmann::json& value, std::string_view what);
std::string string(const nlohmann::json& object, std::string_view key);
bool boolean(const nlohmann::json& object, std::string_view key);
// A JSON integer that fits; 20.5, true or "20" are refused.
std::int64_t integer(const nlohmann::json& object, std::string_view key);
// Any finite JSON number.
double number(const nlohmann::json& object, std::string_view key);
const nlohmann::json& array(const nlohmann::json& object, std::string_view key);

template <class E>
E enumValue(const nlohmann::json& value, std::string_view key) {
    if (!value.is_string()) {
        throw DecodeError("\"" + std::string(key) + "\" must hold strings");
    }
    const auto& text = value.get_ref<const std::string&>();
    if (auto parsed = fromRaw<E>(text)) {
        return *parsed;
    }
    throw DecodeError("\"" + std::string(key) + "\" holds an unknown value \"" + text + "\"");
}

}  // namespace velmora::json
