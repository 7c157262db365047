// Resolves the simulated Mac's system root and the tools that stand in for the Mac's own.
#include "platform/SystemPaths.hpp"

#include <array>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <system_error>

namespace velmora {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view helperLogMacPath = "/Library/Logs/Velmora-helper.log";
constexpr std::string_view helperSocketMacFolder = "/var/run/velmora";
constexpr std::string_view socketSuffix = ".sock";
constexpr std::string_view powerSettingsMacPath =
    "/Library/Preferences/SystemConfiguration/com.apple.PowerManagement.plist";
constexpr std::array<std::string_view, 2> applicationMacFolders = {"/Applications",
                                                                   "/System/Applications"};

constexpr std::size_t toolCount = 4;

std::size_t indexOf(SystemTool tool) {
    return static_cast<std::size_t>(tool);
}

struct Injections {
    std::mutex mutex;
    std::array<std::optional<fs::path>, toolCount> paths;
};

Injections& injections() {
    static Injections instance;
    return instance;
}

#ifdef __APPLE__
fs::path platformTool(SystemTool tool) {
    switch (tool) {
        case SystemTool::pmset:
            return "/usr/bin/pmset";
        case SystemTool::defaults:
            return "/usr/bin/defaults";
        case SystemTool::osascript:
            return "/usr/bin/osascript";
        case SystemTool::killall:
            return "/usr/bin/killall";
    }
    return {};
}
#else
// Debian's psmisc provides killall; the other three exist only as our stand-ins.
fs::path platformTool(SystemTool tool) {
    switch (tool) {
        case SystemTool::pmset:
            return SystemTools::libexecFolder() / "pmset";
        case SystemTool::defaults:
            return SystemTools::libexecFolder() / "defaults";
        case SystemTool::osascript:
            return SystemTools::libexecFolder() / "osascript";
        case SystemTool::killall:
            return "/usr/bin/killall";
    }
    return {};
}
#endif

}  // namespace

fs::path SystemPaths::root() {
    const char* value = std::getenv(rootVariable);
    if (value == nullptr || *value == '\0') {
        return defaultRoot;
    }
    return value;
}

fs::path SystemPaths::mirrored(std::string_view macPath) {
    return (root() / fs::path(macPath).relative_path()).lexically_normal();
}

fs::path SystemPaths::helperLog() {
    return mirrored(helperLogMacPath);
}

fs::path SystemPaths::helperSocketFolder() {
    return mirrored(helperSocketMacFolder);
}

fs::path SystemPaths::helperSocket(std::string_view machServiceName) {
    return (root() / helperSocketInRoot(machServiceName)).lexically_normal();
}

fs::path SystemPaths::helperLogInRoot() {
    return fs::path(helperLogMacPath).relative_path();
}

fs::path SystemPaths::helperSocketInRoot(std::string_view machServiceName) {
    std::string name(machServiceName);
    name += socketSuffix;
    return fs::path(helperSocketMacFolder).relative_path() / name;
}

fs::path SystemPaths::powerSettings() {
    return mirrored(powerSettingsMacPath);
}

std::vector<fs::path> SystemPaths::applicationFolders() {
    std::vector<fs::path> folders;
    for (std::string_view folder : applicationMacFolders) {
        folders.push_back(mirrored(folder));
    }
    return folders;
}

fs::path SystemTools::path(SystemTool tool) {
    {
        Injections& state = injections();
        std::lock_guard lock(state.mutex);
        if (const auto& injected = state.paths[indexOf(tool)]) {
            return *injected;
        }
    }
    return platformTool(tool);
}

fs::path SystemTools::libexecFolder() {
    // The executable does not move while it runs, so one look-up serves the whole process.
    static const fs::path folder = [] {
        std::error_code error;
        fs::path self = fs::read_symlink("/proc/self/exe", error);
        if (error) {
            return fs::path(VELMORA_LIBEXEC_RELATIVE);
        }
        return (self.parent_path() / VELMORA_LIBEXEC_RELATIVE).lexically_normal();
    }();
    return folder;
}

void SystemTools::inject(SystemTool tool, fs::path replacement) {
    Injections& state = injections();
    std::lock_guard lock(state.mutex);
    state.paths[indexOf(tool)] = std::move(replacement);
}

void SystemTools::reset(SystemTool tool) {
    Injections& state = injections();
    std::lock_guard lock(state.mutex);
    state.paths[indexOf(tool)].reset();
}

void SystemTools::resetAll() {
    Injections& state = injections();
    std::lock_guard lock(state.mutex);
    for (auto& injected : state.paths) {
        injected.reset();
    }
}

}  // namespace velmora
