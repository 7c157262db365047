// Application bundles in the application folders: their identifiers, the list the rule form
// offers, and which bundle a running executable belongs to.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

struct InstalledApp {
    std::string name;  // the bundle's folder name without ".app"
    std::string bundleID;

    friend bool operator==(const InstalledApp&, const InstalledApp&) = default;
};

class ApplicationBundles {
  public:
    ApplicationBundles() = delete;

    static constexpr const char* bundleSuffix = ".app";

    // `CFBundleIdentifier` of `<bundle>/Contents/Info.plist` (XML or binary); none when the file
    // is missing or unreadable, or the entry is absent, not a string, empty or not UTF-8.
    static std::optional<std::string> identifier(const std::filesystem::path& bundle);

    // The bundles directly inside each folder, in the folders' order, sorted by lower-cased name
    // (equal names keep the order found, so an application in both folders is listed twice).
    // Entries without an identifier, and folders that cannot be listed, are skipped.
    static std::vector<InstalledApp> installed(const std::vector<std::filesystem::path>& folders);
    // Over `SystemPaths::applicationFolders()`.
    static std::vector<InstalledApp> installed();

    // The bundle `<folder>/…/Name.app` whose `Contents/MacOS` holds `executable`, for the first of
    // `folders` that contains it; the innermost such bundle when bundles are nested. Both sides
    // are compared as given: pass canonical paths.
    static std::optional<std::filesystem::path> bundleOf(
        const std::filesystem::path& executable, const std::vector<std::filesystem::path>& folders);
};

}  // namespace velmora
