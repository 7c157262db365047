// User defaults in a map, read by the same rules as the stored ones.
#include "platform/InMemoryUserDefaults.hpp"

#include <stdexcept>

namespace velmora {

void InMemoryUserDefaults::refuseIfAsked() const {
    if (refusal) {
        throw std::runtime_error(*refusal);
    }
}

std::optional<std::vector<std::string>> InMemoryUserDefaults::stringArray(const std::string& key) {
    auto it = values.find(key);
    if (it == values.end()) {
        return std::nullopt;
    }
    if (const auto* strings = std::get_if<std::vector<std::string>>(&it->second)) {
        return *strings;
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> InMemoryUserDefaults::stringElements(
    const std::string& key) {
    return stringArray(key);
}

bool InMemoryUserDefaults::boolean(const std::string& key) {
    auto it = values.find(key);
    if (it == values.end()) {
        return false;
    }
    if (const auto* flag = std::get_if<bool>(&it->second)) {
        return *flag;
    }
    if (const auto* number = std::get_if<std::int64_t>(&it->second)) {
        return *number != 0;
    }
    if (const auto* text = std::get_if<std::string>(&it->second)) {
        return textIsTrue(*text);
    }
    return false;
}

std::optional<std::string> InMemoryUserDefaults::data(const std::string& key) {
    auto it = values.find(key);
    if (it == values.end()) {
        return std::nullopt;
    }
    if (const auto* bytes = std::get_if<Data>(&it->second)) {
        return bytes->bytes;
    }
    return std::nullopt;
}

bool InMemoryUserDefaults::contains(const std::string& key) {
    return values.contains(key);
}

void InMemoryUserDefaults::setStringArray(const std::string& key,
                                          const std::vector<std::string>& strings) {
    refuseIfAsked();
    ++writes;
    values[key] = strings;
}

void InMemoryUserDefaults::setBool(const std::string& key, bool value) {
    refuseIfAsked();
    ++writes;
    values[key] = value;
}

void InMemoryUserDefaults::setData(const std::string& key, std::string_view bytes) {
    refuseIfAsked();
    ++writes;
    values[key] = Data{std::string(bytes)};
}

bool InMemoryUserDefaults::copyIfAbsent(const std::string& from, const std::string& to) {
    ++copies;
    auto source = values.find(from);
    if (source == values.end() || values.contains(to)) {
        return false;
    }
    refuseIfAsked();
    ++writes;
    values[to] = source->second;
    return true;
}

}  // namespace velmora
