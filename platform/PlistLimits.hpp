// Tells, before a property list reaches the parser, whether it is safe and faithful to parse.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The parser builds a tree: a binary list whose objects refer to the same object many times
// expands to that many copies (40 levels of two references each make 2^40 nodes from 400 bytes),
// and it recurses once per level of nesting. Both are bounded here from the raw bytes alone.
class PlistLimits {
  public:
    PlistLimits() = delete;

    // Far beyond any real preferences file, far below what fills memory or the stack.
    static constexpr std::size_t maxNodes = std::size_t{1} << 20;
    static constexpr std::size_t maxDepth = 512;

    // Why these bytes must not be parsed (the expansion or the nesting passes the bounds, an
    // object refers to itself, a text is not well-formed UTF-8, or the binary layout is broken),
    // or none when they may be.
    static std::optional<std::string> refusal(std::string_view bytes);
};

}  // namespace velmora
