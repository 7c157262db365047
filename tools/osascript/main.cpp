// Stand-in for the Mac's osascript: runs exactly the two scripts the application sends, no others.
#include <plist/plist.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/PreferenceStore.hpp"
#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"

using namespace velmora;

namespace {

constexpr int exitOk = 0;
constexpr int exitFailure = 1;
// pkexec's status when the person dismissed the password dialog.
constexpr int pkexecDismissed = 126;
constexpr const char* userCanceled = "User canceled. (-128)";
constexpr const char* pkexecVariable = "VELMORA_PKEXEC";
constexpr const char* pkexecPath = "/usr/bin/pkexec";
constexpr const char* envPath = "/usr/bin/env";

constexpr std::string_view appearancePrefix =
    "tell application \"System Events\" to tell appearance preferences to set dark mode to ";
constexpr std::string_view adminPrefix = "do shell script \"";
constexpr std::string_view adminSuffix = "\" with administrator privileges";
constexpr std::string_view pmsetAllFlag = " -a ";
constexpr const char* interfaceStyleKey = "AppleInterfaceStyle";
constexpr const char* darkStyle = "Dark";

// The stand-ins lie side by side in the libexec folder, so our pmset is our sibling.
std::string pmsetPath() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : (self.parent_path() / "pmset").string();
}

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return exitFailure;
}

int scriptError() {
    return fail(
        "osascript: script error: this stand-in runs only the appearance script and the "
        "administrator pmset script");
}

// System Events keeps the appearance in the global domain: "Dark", or no key for light.
int setDarkMode(bool dark) {
    try {
        PreferenceStore store(PreferenceStore::defaultHomeRoot(), FolderWatching::off);
        if (dark) {
            store.setValue(PreferenceStore::globalDomain(), interfaceStyleKey,
                           PlistNode(plist_new_string(darkStyle)));
        } else {
            store.removeValue(PreferenceStore::globalDomain(), interfaceStyleKey);
        }
    } catch (const std::exception& error) {
        return fail(std::string("osascript: execution error: ") + error.what());
    }
    return exitOk;
}

bool isLowerWord(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < 'a' || c > 'z') {
            return false;
        }
    }
    return true;
}

bool isDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

struct PmsetChange {
    std::string key;
    std::string value;
};

// "<our pmset> -a <key> <value>" and nothing else: no other program, no shell syntax.
std::optional<PmsetChange> parseCommand(std::string_view command) {
    std::size_t lastSpace = command.rfind(' ');
    if (lastSpace == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view value = command.substr(lastSpace + 1);
    std::string_view rest = command.substr(0, lastSpace);
    std::size_t flag = rest.rfind(pmsetAllFlag);
    if (flag == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view key = rest.substr(flag + pmsetAllFlag.size());
    std::string_view program = rest.substr(0, flag);
    if (program.empty() || program != pmsetPath() || !isLowerWord(key) || !isDigits(value)) {
        return std::nullopt;
    }
    return PmsetChange{std::string(key), std::string(value)};
}

int passOn(const ProcessResult& result) {
    std::fwrite(result.standardError.data(), 1, result.standardError.size(), stderr);
    if (result.ending == ProcessResult::Ending::signalled) {
        return exitFailure;
    }
    return result.exitStatus;
}

int runAsAdministrator(const PmsetChange& change) {
    const std::string pmset = pmsetPath();
    ProcessOptions options;
    options.standardOutput = ProcessOutput::discard;
    try {
        if (::geteuid() == 0) {
            return passOn(ProcessRunner::run(pmset, {"-a", change.key, change.value}, options));
        }
        // pkexec clears the environment; the simulated system root must reach pmset all the same.
        std::vector<std::string> arguments;
        if (const char* root = std::getenv(SystemPaths::rootVariable); root && *root) {
            arguments = {envPath, std::string(SystemPaths::rootVariable) + "=" + root};
        }
        arguments.insert(arguments.end(), {pmset, "-a", change.key, change.value});
        const char* prompt = std::getenv(pkexecVariable);
        ProcessResult result =
            ProcessRunner::run(prompt && *prompt ? prompt : pkexecPath, arguments, options);
        if (result.ending == ProcessResult::Ending::exited &&
            result.exitStatus == pkexecDismissed) {
            return fail(userCanceled);
        }
        return passOn(result);
    } catch (const std::exception& error) {
        return fail(std::string("osascript: execution error: ") + error.what());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::string_view(argv[1]) != "-e") {
        return fail("usage: osascript -e <script>");
    }
    std::string_view script = argv[2];
    if (script.starts_with(appearancePrefix)) {
        std::string_view setting = script.substr(appearancePrefix.size());
        if (setting == "true" || setting == "false") {
            return setDarkMode(setting == "true");
        }
        return scriptError();
    }
    if (script.starts_with(adminPrefix) && script.ends_with(adminSuffix) &&
        script.size() > adminPrefix.size() + adminSuffix.size()) {
        auto change = parseCommand(script.substr(
            adminPrefix.size(), script.size() - adminPrefix.size() - adminSuffix.size()));
        if (change) {
            return runAsAdministrator(*change);
        }
    }
    return scriptError();
}
