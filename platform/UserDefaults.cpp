// The application's settings as property-list values in its own domain of the preference store.
#include "platform/UserDefaults.hpp"

#include <cstdint>

#include "platform/PreferenceStore.hpp"

namespace velmora {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

bool textIsTrue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    while (i < text.size() && text[i] == '0') {
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    const char c = text[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

namespace {

enum class OtherElements { refuse, skip };

// The texts of a stored array; anything else is none, and so is an array holding something else
// unless `others` says to skip it.
std::optional<std::vector<std::string>> stringsOf(plist_t node, OtherElements others) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_ARRAY) {
        return std::nullopt;
    }
    std::vector<std::string> strings;
    const std::uint32_t count = plist_array_get_size(node);
    strings.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        plist_t item = plist_array_get_item(node, i);
        if (plist_get_node_type(item) != PLIST_STRING) {
            if (others == OtherElements::refuse) {
                return std::nullopt;
            }
            continue;
        }
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(item, &length);
        strings.emplace_back(text, length);
    }
    return strings;
}

// How a stored value reads as a flag: numbers by being non-zero, texts as `textIsTrue` reads them.
bool truthOf(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            std::uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            return flag != 0;
        }
        case PLIST_UINT: {
            std::uint64_t bits = 0;
            plist_get_uint_val(node, &bits);
            return bits != 0;
        }
        case PLIST_REAL: {
            double number = 0;
            plist_get_real_val(node, &number);
            return number != 0;
        }
        case PLIST_STRING: {
            std::uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            return textIsTrue(std::string_view(text, length));
        }
        default:
            return false;
    }
}

}  // namespace

std::shared_ptr<UserDefaults> UserDefaults::standard() {
    static const std::shared_ptr<UserDefaults> defaults =
        std::make_shared<PreferenceUserDefaults>(PreferenceStore::shared(), VELMORA_BUNDLE_ID);
    return defaults;
}

PreferenceUserDefaults::PreferenceUserDefaults(std::shared_ptr<PreferenceStore> store,
                                               std::string domain)
    : store_(std::move(store)), domain_(std::move(domain)) {}

std::optional<std::vector<std::string>> PreferenceUserDefaults::stringArray(
    const std::string& key) {
    return store_->inspect(domain_, key,
                           [](plist_t node) { return stringsOf(node, OtherElements::refuse); });
}

std::optional<std::vector<std::string>> PreferenceUserDefaults::stringElements(
    const std::string& key) {
    return store_->inspect(domain_, key,
                           [](plist_t node) { return stringsOf(node, OtherElements::skip); });
}

bool PreferenceUserDefaults::boolean(const std::string& key) {
    return store_->inspect(domain_, key,
                           [](plist_t node) { return node != nullptr && truthOf(node); });
}

std::optional<std::string> PreferenceUserDefaults::data(const std::string& key) {
    return store_->inspect(domain_, key, [](plist_t node) -> std::optional<std::string> {
        if (node == nullptr || plist_get_node_type(node) != PLIST_DATA) {
            return std::nullopt;
        }
        std::uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return std::string(bytes, length);
    });
}

bool PreferenceUserDefaults::contains(const std::string& key) {
    return store_->inspect(domain_, key, [](plist_t node) { return node != nullptr; });
}

void PreferenceUserDefaults::setStringArray(const std::string& key,
                                            const std::vector<std::string>& strings) {
    PlistNode array(plist_new_array());
    for (const std::string& text : strings) {
        if (text.find('\0') != std::string::npos) {
            throw PreferenceStoreError("a stored text under \"" + key +
                                       "\" cannot contain a NUL character");
        }
        plist_array_append_item(array.get(), plist_new_string(text.c_str()));
    }
    store_->setValue(domain_, key, std::move(array));
}

void PreferenceUserDefaults::setBool(const std::string& key, bool value) {
    store_->setValue(domain_, key, PlistNode(plist_new_bool(value ? 1 : 0)));
}

void PreferenceUserDefaults::setData(const std::string& key, std::string_view bytes) {
    store_->setValue(domain_, key, PlistNode(plist_new_data(bytes.data(), bytes.size())));
}

bool PreferenceUserDefaults::copyIfAbsent(const std::string& from, const std::string& to) {
    if (contains(to)) {
        return false;
    }
    PlistNode value = store_->copyValue(domain_, from);
    if (!value) {
        return false;
    }
    store_->setValue(domain_, to, std::move(value));
    return true;
}

}  // namespace velmora
