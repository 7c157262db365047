// Strict JSON readers shared by the stored records.
#include "kit/JsonRead.hpp"

#include <cmath>

namespace velmora::json {

namespace {
std::string quoted(std::string_view key) {
    return "\"" + std::string(key) + "\"";
}
}  // namespace

void requireObject(const nlohmann::json& value, std::string_view what) {
    if (!value.is_object()) {
        throw DecodeError(std::string(what) + " must be a JSON object");
    }
}

const nlohmann::json& member(const nlohmann::json& object, std::string_view key) {
    auto found = object.find(key);
    if (found == object.end()) {
        throw DecodeError("missing key " + quoted(key));
    }
    return *found;
}

std::string string(const nlohmann::json& object, std::string_view key) {
    const auto& value = member(object, key);
    if (!value.is_string()) {
        throw DecodeError(quoted(key) + " must be a string");
    }
    return value.get<std::string>();
}

bool boolean(const nlohmann::json& object, std::string_view key) {
    const auto& value = member(object, key);
    if (!value.is_boolean()) {
        throw DecodeError(quoted(key) + " must be true or false");
    }
    return value.get<bool>();
}

std::int64_t integer(const nlohmann::json& object, std::string_view key) {
    const auto& value = member(object, key);
    if (value.is_number_integer()) {
        if (value.is_number_unsigned() &&
            value.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX)) {
            throw DecodeError(quoted(key) + " is out of range");
        }
        return value.get<std::int64_t>();
    }
    throw DecodeError(quoted(key) + " must be a whole number");
}

double number(const nlohmann::json& object, std::string_view key) {
    const auto& value = member(object, key);
    if (!value.is_number()) {
        throw DecodeError(quoted(key) + " must be a number");
    }
    double result = value.get<double>();
    if (!std::isfinite(result)) {
        throw DecodeError(quoted(key) + " must be finite");
    }
    return result;
}

const nlohmann::json& array(const nlohmann::json& object, std::string_view key) {
    const auto& value = member(object, key);
    if (!value.is_array()) {
        throw DecodeError(quoted(key) + " must be an array");
    }
    return value;
}

}  // namespace velmora::json
