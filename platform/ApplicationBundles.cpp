// Application bundles in the application folders: their identifiers, the list the rule form
// offers, and which bundle a running executable belongs to.
#include "platform/ApplicationBundles.hpp"

#include <plist/plist.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <system_error>

#include "kit/Search.hpp"
#include "platform/PlistLimits.hpp"
#include "platform/PreferenceStore.hpp"
#include "platform/SystemPaths.hpp"
#include "platform/ToolOutput.hpp"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr const char* identifierKey = "CFBundleIdentifier";
constexpr const char* contentsFolder = "Contents";
constexpr const char* executablesFolder = "MacOS";
constexpr const char* infoFile = "Info.plist";
// An Info.plist is a few kilobytes; anything far larger is not one we will parse.
constexpr std::uintmax_t maxInfoBytes = 4 * 1024 * 1024;

bool endsWith(const std::string& text, std::string_view suffix) {
    return text.size() > suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::optional<std::string> readSmallFile(const fs::path& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > maxInfoBytes) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

// Lower-cased, then in canonical composed form, so that "é" typed either way sorts alike; UTF-8
// bytes compare in Unicode scalar order.
std::string sortKey(const std::string& name) {
    const std::string lowered = Search::lowercased(name);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) {
        return lowered;
    }
    const icu::UnicodeString composed =
        nfc->normalize(icu::UnicodeString::fromUTF8(lowered), status);
    if (U_FAILURE(status)) {
        return lowered;
    }
    std::string key;
    composed.toUTF8String(key);
    return key;
}

void addBundlesOf(const fs::path& folder, std::vector<InstalledApp>& apps) {
    // Stepping with an error code: a listing that fails halfway keeps what it found instead of
    // throwing out of the rule form.
    std::error_code error;
    for (fs::directory_iterator entries(folder, error), end; !error && entries != end;
         entries.increment(error)) {
        const fs::directory_entry& entry = *entries;
        const std::string fileName = entry.path().filename().string();
        // A name that is not UTF-8 could be neither shown nor stored in a rule.
        if (!endsWith(fileName, ApplicationBundles::bundleSuffix) ||
            !ToolOutput::isUtf8(fileName)) {
            continue;
        }
        if (auto id = ApplicationBundles::identifier(entry.path())) {
            const std::size_t nameLength =
                fileName.size() - std::string_view(ApplicationBundles::bundleSuffix).size();
            apps.push_back({fileName.substr(0, nameLength), std::move(*id)});
        }
    }
}

}  // namespace

std::optional<std::string> ApplicationBundles::identifier(const fs::path& bundle) {
    const auto bytes = readSmallFile(bundle / contentsFolder / infoFile);
    // An application's Info.plist is anyone's bytes: a shared-reference bomb would fill memory.
    if (!bytes || bytes->empty() || PlistLimits::refusal(*bytes)) {
        return std::nullopt;
    }
    plist_t root = nullptr;
    plist_from_memory(bytes->data(), static_cast<std::uint32_t>(bytes->size()), &root);
    const PlistNode info(root);
    if (!info || plist_get_node_type(info.get()) != PLIST_DICT) {
        return std::nullopt;
    }
    const plist_t node = plist_dict_get_item(info.get(), identifierKey);
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING) {
        return std::nullopt;
    }
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    if (text == nullptr || length == 0) {
        return std::nullopt;
    }
    std::string id(text, length);
    if (!ToolOutput::isUtf8(id)) {
        return std::nullopt;
    }
    return id;
}

std::vector<InstalledApp> ApplicationBundles::installed(const std::vector<fs::path>& folders) {
    std::vector<InstalledApp> apps;
    for (const fs::path& folder : folders) {
        addBundlesOf(folder, apps);
    }
    std::vector<std::pair<std::string, InstalledApp>> keyed;
    keyed.reserve(apps.size());
    for (InstalledApp& app : apps) {
        keyed.emplace_back(sortKey(app.name), std::move(app));
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    apps.clear();
    for (auto& [key, app] : keyed) {
        apps.push_back(std::move(app));
    }
    return apps;
}

std::vector<InstalledApp> ApplicationBundles::installed() {
    return installed(SystemPaths::applicationFolders());
}

std::optional<fs::path> ApplicationBundles::bundleOf(const fs::path& executable,
                                                     const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        const fs::path inside = executable.lexically_relative(folder);
        if (inside.empty() || *inside.begin() == "..") {
            continue;
        }
        const std::vector<fs::path> parts(inside.begin(), inside.end());
        // Name.app, Contents, MacOS and at least the file itself.
        constexpr std::size_t bundleDepth = 4;
        std::optional<std::size_t> innermost;
        for (std::size_t i = 0; i + bundleDepth <= parts.size(); ++i) {
            if (endsWith(parts[i].string(), bundleSuffix) && parts[i + 1] == contentsFolder &&
                parts[i + 2] == executablesFolder) {
                innermost = i;
            }
        }
        if (innermost) {
            fs::path bundle = folder;
            for (std::size_t i = 0; i <= *innermost; ++i) {
                bundle /= parts[i];
            }
            return bundle;
        }
    }
    return std::nullopt;
}

}  // namespace velmora
