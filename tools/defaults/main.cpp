// Stand-in for the Mac's defaults: reads whole domains, and reads, writes and deletes single keys
// of the simulated preferences.
#include <plist/plist.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/DefaultsKey.hpp"
#include "platform/PreferenceStore.hpp"

using namespace velmora;

namespace {

constexpr int exitOk = 0;
constexpr int exitFailure = 1;
constexpr const char* globalShownAs = "kCFPreferencesAnyApplication";
constexpr const char* usage =
    "usage: defaults read <domain> [<key>]\n"
    "       defaults write <domain> <key> [-string|-int|-integer|-float|-bool|-boolean] <value>\n"
    "       defaults delete <domain> <key>\n"
    "<domain> is a domain name, or -g for the global domain\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return exitFailure;
}

int usageError() {
    std::fputs(usage, stderr);
    return exitFailure;
}

bool isGlobal(std::string_view domain) {
    return domain == "-g" || domain == "-globalDomain" || isGlobalDomain(domain);
}

std::string storedDomain(std::string_view domain) {
    return isGlobal(domain) ? PreferenceStore::globalDomain() : std::string(domain);
}

std::string shownDomain(std::string_view domain) {
    return isGlobal(domain) ? globalShownAs : std::string(domain);
}

std::string missingPair(std::string_view domain, std::string_view key) {
    return "\nThe domain/default pair of (" + shownDomain(domain) + ", " + std::string(key) +
           ") does not exist";
}

// The value as the platform's tool prints it: numbers and text plainly, Booleans as 1 or 0,
// anything larger as its property list.
std::string describe(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            std::uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            return flag ? "1" : "0";
        }
        case PLIST_UINT: {
            std::uint64_t bits = 0;
            plist_get_uint_val(node, &bits);
            return std::to_string(static_cast<std::int64_t>(bits));
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            char buffer[32];
            auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
            return std::string(buffer, end);
        }
        case PLIST_STRING: {
            char* text = nullptr;
            plist_get_string_val(node, &text);
            std::string result = text ? text : "";
            std::free(text);
            return result;
        }
        default: {
            char* xml = nullptr;
            std::uint32_t length = 0;
            plist_to_xml(node, &xml, &length);
            std::string result = xml ? std::string(xml, length) : "";
            plist_to_xml_free(xml);
            while (!result.empty() && result.back() == '\n') {
                result.pop_back();
            }
            return result;
        }
    }
}

std::optional<PlistNode> parseInteger(std::string_view text) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return PlistNode(plist_new_uint(static_cast<std::uint64_t>(value)));
}

std::optional<PlistNode> parseReal(std::string_view text) {
    std::string copy(text);
    char* end = nullptr;
    double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return PlistNode(plist_new_real(value));
}

std::optional<PlistNode> parseBool(std::string_view text) {
    std::string lower;
    for (char c : text) {
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (lower == "true" || lower == "yes" || lower == "1") {
        return PlistNode(plist_new_bool(1));
    }
    if (lower == "false" || lower == "no" || lower == "0") {
        return PlistNode(plist_new_bool(0));
    }
    return std::nullopt;
}

// An untyped value is stored as text, as the platform's tool does.
std::optional<PlistNode> parseValue(std::string_view type, std::string_view text) {
    if (type == "-string") {
        return PlistNode(plist_new_string(std::string(text).c_str()));
    }
    if (type == "-int" || type == "-integer") {
        return parseInteger(text);
    }
    if (type == "-float") {
        return parseReal(text);
    }
    if (type == "-bool" || type == "-boolean") {
        return parseBool(text);
    }
    return std::nullopt;
}

// The whole domain in the form a dictionary value is read in, so that a user can see everything a
// change wrote.
int readDomain(PreferenceStore& store, std::string_view domain) {
    PlistNode dict = store.copyDomain(storedDomain(domain));
    if (plist_dict_get_size(dict.get()) == 0) {
        return fail("\nDomain " + shownDomain(domain) + " does not exist");
    }
    std::string text = describe(dict.get()) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    return exitOk;
}

int read(PreferenceStore& store, std::string_view domain, const std::string& key) {
    PlistNode value = store.copyValue(storedDomain(domain), key);
    if (!value) {
        return fail(missingPair(domain, key));
    }
    std::string text = describe(value.get()) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    return exitOk;
}

bool isType(std::string_view type) {
    for (std::string_view known : {"-string", "-int", "-integer", "-float", "-bool", "-boolean"}) {
        if (type == known) {
            return true;
        }
    }
    return false;
}

int write(PreferenceStore& store, std::string_view domain, const std::string& key,
          std::string_view type, std::string_view text) {
    if (!isType(type)) {
        return usageError();
    }
    auto value = parseValue(type, text);
    if (!value) {
        return fail("defaults: '" + std::string(text) + "' is not a valid " +
                    std::string(type.substr(1)) + " value");
    }
    store.setValue(storedDomain(domain), key, std::move(*value));
    return exitOk;
}

int remove(PreferenceStore& store, std::string_view domain, const std::string& key) {
    if (!store.copyValue(storedDomain(domain), key)) {
        return fail(missingPair(domain, key) + "\nDefaults have not been changed.");
    }
    store.removeValue(storedDomain(domain), key);
    return exitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() < 2 || (args.size() == 2 && args[0] != "read")) {
        return usageError();
    }
    const std::string key(args.size() > 2 ? args[2] : std::string_view());
    try {
        PreferenceStore store(PreferenceStore::defaultHomeRoot(), FolderWatching::off);
        if (args[0] == "read" && args.size() == 2) {
            return readDomain(store, args[1]);
        }
        if (args[0] == "read" && args.size() == 3) {
            return read(store, args[1], key);
        }
        if (args[0] == "delete" && args.size() == 3) {
            return remove(store, args[1], key);
        }
        if (args[0] == "write" && args.size() == 4) {
            return write(store, args[1], key, "-string", args[3]);
        }
        if (args[0] == "write" && args.size() == 5) {
            return write(store, args[1], key, args[3], args[4]);
        }
    } catch (const std::exception& error) {
        return fail(std::string("defaults: ") + error.what());
    }
    return usageError();
}
