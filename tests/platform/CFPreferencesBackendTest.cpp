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
    // Appends rather than `"k" + std::to_string(i)`: GCC 12 at -O3 misreads that operator+ as an
    // overlapping memcpy (-Wrestrict).
    const auto keyAt = [](std::size_t index) {
        std::string name = "k";
        name += std::to_string(index);
        return DefaultsKey{"com.velmora.types", name};
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

// The store writes binary files, so the round trip above reads that format; other tools write XML.
TEST(CFPreferencesBackend, ReadsXmlFilesOtherToolsWrote) {
    TempHome home;
    testing::putFile(
        home.file("com.apple.xml"),
        testing::xmlPlist("<key>b</key><true/><key>neg</key><integer>-7</integer>\n"
                          "<key>r</key><real>2</real><key>s</key><string>png</string>"));
    CFPreferencesBackend backend(home.store());
    EXPECT_EQ(backend.read({"com.apple.xml", "b"}), TweakValue::boolean(true));
    EXPECT_EQ(backend.read({"com.apple.xml", "neg"}), TweakValue::integer(-7));
    EXPECT_EQ(backend.read({"com.apple.xml", "r"}), TweakValue::real(2.0));
    EXPECT_EQ(backend.read({"com.apple.xml", "s"}), TweakValue::string("png"));
}

TEST(CFPreferencesBackend, TheGlobalDomainHasTwoExactNames) {
    TempHome home;
    CFPreferencesBackend backend(home.store());
    backend.write({"NSGlobalDomain", "AppleShowAllExtensions"}, TweakValue::boolean(true));
    EXPECT_EQ(backend.read({".GlobalPreferences", "AppleShowAllExtensions"}),
              TweakValue::boolean(true));
    backend.write({".GlobalPreferences", "KeyRepeat"}, TweakValue::integer(2));
    EXPECT_EQ(backend.read({"NSGlobalDomain", "KeyRepeat"}), TweakValue::integer(2));
    EXPECT_TRUE(std::filesystem::exists(home.file(".GlobalPreferences")));

    // Other letter case is an ordinary application domain, as is another app's case of a name.
    EXPECT_EQ(backend.read({"nsglobaldomain", "KeyRepeat"}), std::nullopt);
    EXPECT_EQ(backend.read({".globalpreferences", "KeyRepeat"}), std::nullopt);
    backend.write({"com.apple.Dock", "tilesize"}, TweakValue::integer(48));
    EXPECT_EQ(backend.read({"com.apple.dock", "tilesize"}), std::nullopt);

    backend.remove({"NSGlobalDomain", "KeyRepeat"});
    EXPECT_NO_THROW(backend.remove({"NSGlobalDomain", "KeyRepeat"}));
    EXPECT_EQ(backend.read({".GlobalPreferences", "KeyRepeat"}), std::nullopt);
}

TEST(CFPreferencesBackend, OtherStoredTypesAreUnsupportedWithTheDomainAsPassed) {
    TempHome home;
    testing::putFile(home.file(".GlobalPreferences"),
                     testing::xmlPlist("<key>list</key><array><string>a</string></array>\n"
                                       "<key>map</key><dict/>\n"
                                       "<key>when</key><date>2024-01-01T00:00:00Z</date>\n"
                                       "<key>blob</key><data>AAE=</data>\n"));
    CFPreferencesBackend backend(home.store());
    for (const std::string name : {"list", "map", "when", "blob"}) {
        try {
            backend.read({"NSGlobalDomain", name});
            ADD_FAILURE() << name << " read without error";
        } catch (const VelmoraError& error) {
            EXPECT_EQ(error, VelmoraError::unsupportedPreferenceType("NSGlobalDomain", name));
        }
    }
}

TEST(CFPreferencesBackend, AChangeThatCannotBePersistedThrowsAndLeavesTheOldValue) {
    TempHome home;
    CFPreferencesBackend backend(home.store());
    backend.write({"com.apple.dock", "autohide"}, TweakValue::boolean(false));
    FileFaults::failNth(FileStep::rename, 1, EROFS);
    EXPECT_THROW(backend.write({"com.apple.dock", "autohide"}, TweakValue::boolean(true)),
                 PreferenceStoreError);
    FileFaults::failNth(FileStep::write, 1, ENOSPC);
    EXPECT_THROW(backend.remove({"com.apple.dock", "autohide"}), PreferenceStoreError);
    FileFaults::reset();
    EXPECT_EQ(backend.read({"com.apple.dock", "autohide"}), TweakValue::boolean(false));

    // A string the file format would silently cut short is refused, not truncated.
    EXPECT_THROW(backend.write({"com.apple.dock", "s"}, TweakValue::string(std::string("a\0b", 3))),
                 PreferenceStoreError);
}

}  // namespace
}  // namespace velmora
