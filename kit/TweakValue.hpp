// A preference value of one of four kinds, compared strictly by kind: the on-state of a tweak
// depends on it.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace velmora {

class TweakValue {
  public:
    enum class Kind { boolean, integer, real, string };

    // Named constructors: a string literal handed to a variant would silently pick bool.
    static TweakValue boolean(bool value) {
        return TweakValue(Storage(std::in_place_index<0>, value));
    }
    static TweakValue integer(std::int64_t value) {
        return TweakValue(Storage(std::in_place_index<1>, value));
    }
    static TweakValue real(double value) {
        return TweakValue(Storage(std::in_place_index<2>, value));
    }
    static TweakValue string(std::string value) {
        return TweakValue(Storage(std::in_place_index<3>, std::move(value)));
    }

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    bool isBool() const { return kind() == Kind::boolean; }
    bool isInt() const { return kind() == Kind::integer; }
    bool isDouble() const { return kind() == Kind::real; }
    bool isString() const { return kind() == Kind::string; }

    // Accessors of the payload; calling the wrong one throws std::bad_variant_access.
    bool asBool() const { return std::get<0>(storage_); }
    std::int64_t asInt() const { return std::get<1>(storage_); }
    double asDouble() const { return std::get<2>(storage_); }
    const std::string& asString() const { return std::get<3>(storage_); }

    // Same kind and equal payload; doubles numerically, so NaN equals nothing.
    friend bool operator==(const TweakValue& a, const TweakValue& b);

    // The platform's default textual form of the value, e.g. `int(2)` or `string("jpg")`.
    std::string description() const;

  private:
    using Storage = std::variant<bool, std::int64_t, double, std::string>;
    explicit TweakValue(Storage storage) : storage_(std::move(storage)) {}
    Storage storage_;
};

// Quotes a string the way the platform prints a string payload: "a\"b".
std::string quotedDescription(const std::string& text);

}  // namespace velmora
