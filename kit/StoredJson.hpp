// Parsing JSON that was read back from storage, whose nesting is bounded before any tree is built.
#pragma once

#include <cstddef>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "kit/Decoded.hpp"

namespace velmora::json {

// We write at most four levels (a list of records holding a map); a newer version may nest a
// little deeper in fields we keep for it. Far deeper data is damage or an attack: copying or
// writing such a tree recurses once per level and would run out of stack.
inline constexpr std::size_t maxStoredDepth = 128;

// Whether `text` opens more than `limit` arrays or objects inside one another. Looks only at the
// bytes (strings skipped), so it is safe on any input, valid JSON or not.
bool nestsDeeperThan(std::string_view text, std::size_t limit);

// The parsed value; a failure naming `what` when the text is not JSON or nests deeper than
// `maxStoredDepth`.
Decoded<nlohmann::json> parseStored(std::string_view text, std::string_view what);

}  // namespace velmora::json
