// The in-memory preferences the tests and benchmarks run the engine over: each domain keeps its
// own keys, a write replaces, a removal brings back "no value", and planting bypasses write().
#include <gtest/gtest.h>

#include "platform/InMemoryDefaultsBackend.hpp"

namespace velmora {
namespace {

TEST(InMemoryDefaultsBackend, KeepsEachDomainsKeysApartAndRemovesToNoValue) {
    InMemoryDefaultsBackend backend;
    const DefaultsKey dock{"com.apple.dock", "autohide"};
    const DefaultsKey finder{"com.apple.finder", "autohide"};
    EXPECT_EQ(backend.read(dock), std::nullopt);

    backend.write(dock, TweakValue::boolean(true));
    backend.write(finder, TweakValue::integer(3));
    backend.write(finder, TweakValue::integer(4));
    EXPECT_EQ(backend.read(dock), TweakValue::boolean(true));
    EXPECT_EQ(backend.read(finder), TweakValue::integer(4)) << "the last write wins";
    EXPECT_EQ(backend.values.size(), 2u);

    backend.remove(dock);
    backend.remove(dock);  // removing what is not there is no error
    EXPECT_EQ(backend.read(dock), std::nullopt);
    EXPECT_EQ(backend.at(finder), TweakValue::integer(4)) << "the other domain keeps its key";
}

// A double that counts writes sees none for a planted value, and at() never goes through read().
TEST(InMemoryDefaultsBackend, PlantingAndLookingAtBypassTheOverridableCalls) {
    struct Counting : InMemoryDefaultsBackend {
        int writes = 0, reads = 0;
        std::optional<TweakValue> read(const DefaultsKey& key) override {
            ++reads;
            return InMemoryDefaultsBackend::read(key);
        }
        void write(const DefaultsKey& key, const TweakValue& value) override {
            ++writes;
            InMemoryDefaultsBackend::write(key, value);
        }
    } counting;
    const DefaultsKey key{"NSGlobalDomain", "AppleShowAllExtensions"};
    counting.put(key, TweakValue::boolean(true));
    EXPECT_EQ(counting.at(key), TweakValue::boolean(true));
    EXPECT_EQ(counting.writes, 0);
    EXPECT_EQ(counting.reads, 0);
    EXPECT_EQ(counting.read(key), TweakValue::boolean(true));
    EXPECT_EQ(counting.reads, 1);
}

}  // namespace
}  // namespace velmora
