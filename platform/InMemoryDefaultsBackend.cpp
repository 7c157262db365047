// Looking up and planting values of the in-memory preferences.
#include "platform/InMemoryDefaultsBackend.hpp"

namespace velmora {

std::optional<TweakValue> InMemoryDefaultsBackend::at(const DefaultsKey& key) const {
    const auto found = values.find(storedName(key));
    return found == values.end() ? std::nullopt : std::optional(found->second);
}

void InMemoryDefaultsBackend::put(const DefaultsKey& key, TweakValue value) {
    values.insert_or_assign(storedName(key), std::move(value));
}

}  // namespace velmora
