// A random 128-bit identity for change records, compared only for equality.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velmora {

class Uuid {
  public:
    using Bytes = std::array<std::uint8_t, 16>;

    // A version-4 (random) identifier.
    static Uuid random();

    Uuid() = default;  // all zero bits
    explicit Uuid(const Bytes& bytes) : bytes_(bytes) {}

    const Bytes& bytes() const { return bytes_; }
    // Upper-case hex in 8-4-4-4-12 groups, e.g. "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
    std::string string() const;

    friend bool operator==(const Uuid&, const Uuid&) = default;

  private:
    Bytes bytes_{};
};

}  // namespace velmora
