// Random identifiers from the system's entropy source, and their textual form.
#include "kit/Uuid.hpp"

#include <random>

namespace velmora {

namespace {
constexpr std::size_t versionByte = 6;
constexpr std::uint8_t versionMask = 0x0F;
constexpr std::uint8_t version4 = 0x40;
constexpr std::size_t variantByte = 8;
constexpr std::uint8_t variantMask = 0x3F;
constexpr std::uint8_t variantRfc4122 = 0x80;
constexpr int bitsPerByte = 8;
}  // namespace

Uuid Uuid::random() {
    thread_local std::random_device source;
    Bytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += sizeof(std::random_device::result_type)) {
        auto word = source();
        for (std::size_t j = 0; j < sizeof(word) && i + j < bytes.size(); ++j) {
            bytes[i + j] = static_cast<std::uint8_t>(word >> (bitsPerByte * j));
        }
    }
    bytes[versionByte] = static_cast<std::uint8_t>((bytes[versionByte] & versionMask) | version4);
    bytes[variantByte] =
        static_cast<std::uint8_t>((bytes[variantByte] & variantMask) | variantRfc4122);
    return Uuid(bytes);
}

std::string Uuid::string() const {
    static constexpr char hex[] = "0123456789ABCDEF";
    static constexpr std::array<std::size_t, 4> dashesBefore{4, 6, 8, 10};
    std::string text;
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        for (std::size_t dash : dashesBefore) {
            if (i == dash) {
                text += '-';
            }
        }
        text += hex[bytes_[i] >> 4];
        text += hex[bytes_[i] & 0x0F];
    }
    return text;
}

}  // namespace velmora
