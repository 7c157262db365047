// The value text of a slider, formatted independently of the user's locale.
#include "kit/SliderTweak.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace velmora {

namespace {

constexpr int kSignificantDigits = 2;
constexpr std::size_t kNumberBufferSize = 64;
// 2^63: the first double beyond the signed 64-bit range.
constexpr double kInt64Bound = 9223372036854775808.0;

std::string formatted(double value, std::chars_format format, int precision) {
    std::array<char, kNumberBufferSize> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
    return std::string(buffer.data(), result.ptr);
}

std::string wholeNumber(std::int64_t value) {
    std::array<char, kNumberBufferSize> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::string SliderTweak::display(double value) const {
    std::string text;
    const double rounded = std::round(value);  // halves away from zero
    if (isInt && std::isfinite(rounded) && rounded >= -kInt64Bound && rounded < kInt64Bound) {
        text = wholeNumber(static_cast<std::int64_t>(rounded));
    } else {
        // to_chars with the general format is "%.2g" of the C locale, never the user's.
        text = formatted(value, std::chars_format::general, kSignificantDigits);
    }
    return text + unit;
}

}  // namespace velmora
