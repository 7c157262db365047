// Strict equality and the textual form of preference values.
#include "kit/TweakValue.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velmora {

bool operator==(const TweakValue& a, const TweakValue& b) {
    if (a.kind() != b.kind()) {
        return false;
    }
    switch (a.kind()) {
        case TweakValue::Kind::boolean:
            return a.asBool() == b.asBool();
        case TweakValue::Kind::integer:
            return a.asInt() == b.asInt();
        case TweakValue::Kind::real:
            return a.asDouble() == b.asDouble();
        case TweakValue::Kind::string:
            return a.asString() == b.asString();
    }
    return false;
}

namespace {

// Shortest text that reads back as the same double, with a ".0" on whole numbers as the platform
// prints.
std::string formatDouble(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    constexpr int kMaxDigits = 17;
    char buffer[64];
    for (int precision = 1; precision <= kMaxDigits; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value) {
            break;
        }
    }
    std::string text = buffer;
    if (text.find_first_of(".en") == std::string::npos) {
        text += ".0";
    }
    return text;
}

}  // namespace

std::string quotedDescription(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\'':
                out += "\\'";  // the platform escapes apostrophes in a string's textual form too
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\0':
                out += "\\0";
                break;
            default:
                if (c < 0x20 || c == 0x7f) {
                    char buffer[16];
                    std::snprintf(buffer, sizeof buffer, "\\u{%02X}", c);
                    out += buffer;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
    return out;
}

std::string TweakValue::description() const {
    switch (kind()) {
        case Kind::boolean:
            return asBool() ? "bool(true)" : "bool(false)";
        case Kind::integer:
            return "int(" + std::to_string(asInt()) + ")";
        case Kind::real:
            return "double(" + formatDouble(asDouble()) + ")";
        case Kind::string:
            return "string(" + quotedDescription(asString()) + ")";
    }
    return {};
}

}  // namespace velmora
