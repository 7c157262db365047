// Uniform access to the string-backed enumerations: every case, raw value text and parsing back.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace velmora {

// Specialised next to each enumeration: all cases in declaration order.
template <class E>
const std::vector<E>& allCases();

// The case whose raw value equals `raw` exactly (case-sensitive), or nothing.
template <class E>
std::optional<E> fromRaw(std::string_view raw) {
    for (E value : allCases<E>()) {
        if (rawValue(value) == raw) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace velmora
