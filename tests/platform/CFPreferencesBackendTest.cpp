// The preference seam over the store: the mapping table both ways, both file formats, the global
// domain's two names, unsupported types, and failures that reach the caller.
#include "platform/CFPreferencesBackend.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "PreferenceTestSupport.hpp"
#include "kit/VelmoraError.hpp"

namespace velmora {
namespace {

using testing::TempHome;
using Int = std::numeric_limits<std::int64_t>;

TEST(CFPreferencesBackend, EveryKindReadsBackAsTheSameKindFromDisk) {
    TempHome home;
    const std::vector<TweakValue> values = {
        TweakValue::boolean(true),       TweakValue::boolean(false),
        TweakValue::integer(0),          TweakValue::integer(-1),
        TweakValue::integer(Int::min()), TweakValue::integer(Int::max()),
        TweakValue::real(2.0),           TweakValue::real(-0.125),
        TweakValue::string(""),          TweakValue::string("Größe ✓ \"quoted\""),
    };
    const auto keyAt = [](std::size_t i) {
        return DefaultsKey{"com.velmora.types", std::string(1, static_cast<char>('a' + i))};
    };
    CFPreferencesBackend writer(home.store());
    for (std::size_t i = 0; i < values.size(); ++i) {
        writer.write(keyAt(i), values[i]);
    }
    CFPreferencesBackend reader(home.store());  // a cold cache: everything comes from the file
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(reader.read(keyAt(i)), values[i]) << values[i].description();
    }
    EXPECT_EQ(reader.read({"com.velmora.types", "missing"}), std::nullopt);
}

TEST(CFPreferencesBackend, TheGlobalDomainHasTwoExactNamesAndOtherStoredTypesAreUnsupported) {
    TempHome home;
    testing::putFile(home.file(".GlobalPreferences"),
                     testing::xmlPlist("<key>list</key><array/><key>map</key><dict/><key>when"
                                       "</key><date>2024-01-01T00:00:00Z</date>"
                                       "<key>blob</key><data>AAE=</data>"));
    CFPreferencesBackend backend(home.store());
    for (const std::string name : {"list", "map", "when", "blob"}) {
        try {
            backend.read({"NSGlobalDomain", name});
            ADD_FAILURE() << name << " read without error";
        } catch (const VelmoraError& error) {
            EXPECT_EQ(error, VelmoraError::unsupportedPreferenceType("NSGlobalDomain", name));
        }
    }
    backend.write({"NSGlobalDomain", "AppleShowAllExtensions"}, TweakValue::boolean(true));
    EXPECT_EQ(backend.read({".GlobalPreferences", "AppleShowAllExtensions"}),
              TweakValue::boolean(true));
    backend.write({".GlobalPreferences", "KeyRepeat"}, TweakValue::integer(2));
    EXPECT_EQ(backend.read({"NSGlobalDomain", "KeyRepeat"}), TweakValue::integer(2));
    EXPECT_EQ(backend.read({"nsglobaldomain", "KeyRepeat"}), std::nullopt);
    backend.remove({"NSGlobalDomain", "KeyRepeat"});
    EXPECT_NO_THROW(backend.remove({"NSGlobalDomain", "KeyRepeat"}));
    EXPECT_EQ(backend.read({".GlobalPreferences", "KeyRepeat"}), std::nullopt);
}

TEST(CFPreferencesBackend, AChangeThatCannotBePersistedThrowsAndLeavesTheOldValue) {
    TempHome home;
    CFPreferencesBackend backend(home.store());
    const DefaultsKey key{"com.apple.dock", "autohide"};
    backend.write(key, TweakValue::boolean(false));
    FileFaults::failNth(FileStep::rename, 1, EROFS);
    EXPECT_THROW(backend.write(key, TweakValue::boolean(true)), PreferenceStoreError);
    FileFaults::failNth(FileStep::write, 1, ENOSPC);
    EXPECT_THROW(backend.remove(key), PreferenceStoreError);
    FileFaults::reset();
    EXPECT_EQ(backend.read(key), TweakValue::boolean(false));
    // A string the file format would silently cut short is refused, not truncated.
    EXPECT_THROW(backend.write(key, TweakValue::string(std::string("a\0b", 3))),
                 PreferenceStoreError);
}

}  // namespace
}  // namespace velmora
