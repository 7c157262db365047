// Where the Mac's system paths and system tools are on this machine: one place that resolves them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The Mac's system folders mirrored under one system root, so that tests and demos never touch the
// real ones. The root is read on every call, so a test may point `VELMORA_SYSTEM_ROOT` elsewhere.
class SystemPaths {
  public:
    static constexpr const char* rootVariable = "VELMORA_SYSTEM_ROOT";
    static constexpr const char* defaultRoot = "/var/lib/velmora/system";

    static std::filesystem::path root();
    // `macPath` is absolute in the Mac's layout, e.g. "/Library/Logs".
    static std::filesystem::path mirrored(std::string_view macPath);

    static std::filesystem::path helperLog();
    // Only root may write here; the helper creates it and listens inside.
    static std::filesystem::path helperSocketFolder();
    // The socket carries the helper's service name, so two builds with different bundle ids do
    // not answer each other.
    static std::filesystem::path helperSocket(std::string_view machServiceName);
    // The helper's two places relative to the root, for code that works from the open root folder.
    static std::filesystem::path helperLogInRoot();
    static std::filesystem::path helperSocketInRoot(std::string_view machServiceName);
    // Where the stand-in `pmset` keeps the power settings.
    static std::filesystem::path powerSettings();
    // Scanned for applications to offer, in this order.
    static std::vector<std::filesystem::path> applicationFolders();
};

enum class SystemTool { pmset, defaults, osascript, killall };

// The programs the application runs in place of the Mac's /usr/bin tools.
class SystemTools {
  public:
    // The injected path when one is set, else the platform's own tool.
    static std::filesystem::path path(SystemTool tool);
    // The application's private folder of stand-in tools, beside the running executable.
    static std::filesystem::path libexecFolder();

    // For tests: make `path(tool)` answer `replacement` until `reset`.
    static void inject(SystemTool tool, std::filesystem::path replacement);
    static void reset(SystemTool tool);
    static void resetAll();
};

}  // namespace velmora
