// The preference seam over the current user's domains, as CoreFoundation preferences would serve
// it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "kit/DefaultsBackend.hpp"
#include "platform/PreferenceStore.hpp"

namespace velmora {

// Reads, writes and removes single keys. Booleans, integers, reals and strings keep their kind both
// ways; any other stored type reads as `unsupportedPreferenceType`. "NSGlobalDomain" and
// ".GlobalPreferences" (exactly) both name the global domain. A write or remove is on disk when it
// returns; one that cannot be made durable throws `PreferenceStoreError`, so callers can roll back.
class CFPreferencesBackend : public DefaultsBackend {
  public:
    // Over the process-wide store of the default home root.
    CFPreferencesBackend();
    explicit CFPreferencesBackend(std::shared_ptr<PreferenceStore> store);

    std::optional<TweakValue> read(const DefaultsKey& key) override;
    void write(const DefaultsKey& key, const TweakValue& value) override;
    void remove(const DefaultsKey& key) override;

    // The store domain a key's domain names.
    static const std::string& applicationID(const DefaultsKey& key);

  private:
    std::shared_ptr<PreferenceStore> store_;
};

}  // namespace velmora
