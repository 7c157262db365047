// Checks made before a stored record is written.
#include "kit/JsonWrite.hpp"

#include <cmath>

#include <nlohmann/json.hpp>

namespace velmora::json {

double finite(double value, std::string_view what) {
    if (!std::isfinite(value)) {
        throw EncodeError(std::string(what) + " is not a finite number");
    }
    return value;
}

std::string text(const nlohmann::json& value, std::string_view what) {
    try {
        return value.dump();
    } catch (const nlohmann::json::type_error&) {
        // The only type error dump() raises is text that is not valid UTF-8.
        throw EncodeError(std::string(what) + " holds text that is not valid UTF-8");
    }
}

}  // namespace velmora::json
