// The mapping between `TweakValue` and stored property-list nodes, and the global domain's names.
#include "platform/CFPreferencesBackend.hpp"

#include <cstdint>

#include "kit/DefaultsKey.hpp"
#include "kit/VelmoraError.hpp"

namespace velmora {
namespace {

PlistNode nodeOf(const TweakValue& value) {
    switch (value.kind()) {
        case TweakValue::Kind::boolean:
            return PlistNode(plist_new_bool(value.asBool() ? 1 : 0));
        case TweakValue::Kind::integer:
            // The format's integers are signed 64-bit; the library only speaks unsigned, and
            // keeps the bits.
            return PlistNode(plist_new_uint(static_cast<std::uint64_t>(value.asInt())));
        case TweakValue::Kind::real:
            return PlistNode(plist_new_real(value.asDouble()));
        case TweakValue::Kind::string:
            return PlistNode(plist_new_string(value.asString().c_str()));
    }
    return nullptr;
}

// `key` is the caller's, so an error names the domain exactly as it was passed.
std::optional<TweakValue> valueOf(plist_t node, const DefaultsKey& key) {
    if (node == nullptr) {
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            std::uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            return TweakValue::boolean(flag != 0);
        }
        case PLIST_UINT: {
            std::uint64_t bits = 0;
            plist_get_uint_val(node, &bits);
            return TweakValue::integer(static_cast<std::int64_t>(bits));
        }
        case PLIST_REAL: {
            double number = 0;
            plist_get_real_val(node, &number);
            return TweakValue::real(number);
        }
        case PLIST_STRING: {
            std::uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            return TweakValue::string(std::string(text, length));
        }
        default:
            throw VelmoraError::unsupportedPreferenceType(key.domain, key.key);
    }
}

}  // namespace

CFPreferencesBackend::CFPreferencesBackend() : store_(PreferenceStore::shared()) {}

CFPreferencesBackend::CFPreferencesBackend(std::shared_ptr<PreferenceStore> store)
    : store_(std::move(store)) {}

const std::string& CFPreferencesBackend::applicationID(const DefaultsKey& key) {
    if (isGlobalDomain(key.domain)) {
        return PreferenceStore::globalDomain();
    }
    return key.domain;
}

std::optional<TweakValue> CFPreferencesBackend::read(const DefaultsKey& key) {
    return store_->inspect(applicationID(key), key.key,
                           [&key](plist_t node) { return valueOf(node, key); });
}

void CFPreferencesBackend::write(const DefaultsKey& key, const TweakValue& value) {
    if (value.isString() && value.asString().find('\0') != std::string::npos) {
        throw PreferenceStoreError("preference value for key \"" + key.key +
                                   "\" cannot contain a NUL character");
    }
    store_->setValue(applicationID(key), key.key, nodeOf(value));
}

void CFPreferencesBackend::remove(const DefaultsKey& key) {
    store_->removeValue(applicationID(key), key.key);
}

}  // namespace velmora
