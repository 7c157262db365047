// The result of reading bytes we do not control: a value, or a message saying what was wrong.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace velmora {

template <class T>
class Decoded {
  public:
    static Decoded success(T value) { return Decoded(std::move(value), {}); }
    static Decoded failure(std::string error) { return Decoded(std::nullopt, std::move(error)); }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *value_; }
    T& value() { return *value_; }
    const std::string& error() const { return error_; }

  private:
    Decoded(std::optional<T> value, std::string error)
        : value_(std::move(value)), error_(std::move(error)) {}
    std::optional<T> value_;
    std::string error_;
};

}  // namespace velmora
