// The two seams between the change engine and the system: preference access and process restarts.
#pragma once

#include <optional>
#include <string>

#include "kit/DefaultsKey.hpp"

namespace velmora {

class DefaultsBackend {
  public:
    virtual ~DefaultsBackend() = default;
    // The stored value, or nothing when the key holds none; throws on a value it cannot represent.
    virtual std::optional<TweakValue> read(const DefaultsKey& key) = 0;
    virtual void write(const DefaultsKey& key, const TweakValue& value) = 0;
    // Removes the key so that the system default applies again (`delete` in the platform's terms).
    virtual void remove(const DefaultsKey& key) = 0;
};

class ServiceController {
  public:
    virtual ~ServiceController() = default;
    virtual void restart(const std::string& processName) = 0;
};

}  // namespace velmora
