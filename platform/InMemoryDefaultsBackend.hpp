// Preferences held in memory, one value per domain and key: the defaults back-end that tests and
// benchmarks hand to the change engine and the app model in place of the preference files.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "kit/DefaultsBackend.hpp"

namespace velmora {

class InMemoryDefaultsBackend : public DefaultsBackend {
  public:
    std::optional<TweakValue> read(const DefaultsKey& key) override { return at(key); }
    void write(const DefaultsKey& key, const TweakValue& value) override { put(key, value); }
    void remove(const DefaultsKey& key) override { values.erase(storedName(key)); }

    // What the key holds now; unlike read(), never overridden to count or to fail.
    std::optional<TweakValue> at(const DefaultsKey& key) const;
    // Plants a value as if it had been written, without going through write().
    void put(const DefaultsKey& key, TweakValue value);

    // Domain and key. Domains are kept apart exactly as named.
    using Name = std::pair<std::string, std::string>;
    static Name storedName(const DefaultsKey& key) { return {key.domain, key.key}; }

    std::map<Name, TweakValue> values;
};

}  // namespace velmora
