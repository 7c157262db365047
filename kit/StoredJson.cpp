// The nesting check and bounded parse of stored JSON.
#include "kit/StoredJson.hpp"

#include <string>

#include <nlohmann/json.hpp>

namespace velmora::json {

bool nestsDeeperThan(std::string_view text, std::size_t limit) {
    std::size_t depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        switch (c) {
            case '"':
                inString = true;
                break;
            case '[':
            case '{':
                if (++depth > limit) {
                    return true;
                }
                break;
            case ']':
            case '}':
                // Unbalanced closers make the text invalid; the parser says so.
                depth -= depth > 0 ? 1 : 0;
                break;
            default:
                break;
        }
    }
    return false;
}

Decoded<nlohmann::json> parseStored(std::string_view text, std::string_view what) {
    using Result = Decoded<nlohmann::json>;
    if (nestsDeeperThan(text, maxStoredDepth)) {
        return Result::failure(std::string(what) + ": nested deeper than " +
                               std::to_string(maxStoredDepth) + " levels");
    }
    nlohmann::json value = nlohmann::json::parse(text, nullptr, false);
    if (value.is_discarded()) {
        return Result::failure(std::string(what) + ": not valid JSON");
    }
    return Result::success(std::move(value));
}

}  // namespace velmora::json
