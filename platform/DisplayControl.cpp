// Dark mode read with `defaults` and switched through System Events with `osascript`.
#include "platform/DisplayControl.hpp"

#include <string>
#include <system_error>

#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"
#include "platform/ToolOutput.hpp"

namespace velmora {

namespace {
constexpr const char* darkText = "Dark";
constexpr const char* appearanceScript =
    "tell application \"System Events\" to tell appearance preferences to set dark mode to ";
}  // namespace

DisplayControl DisplayControl::live() {
    return DisplayControl{DarkMode::isOn, DarkMode::set};
}

bool DarkMode::isOn() {
    // In light mode the key is absent and `defaults` prints only to its error output.
    auto output = ToolOutput::capture(SystemTools::path(SystemTool::defaults),
                                      {"read", "-g", "AppleInterfaceStyle"});
    return output && output->find(darkText) != std::string::npos;
}

void DarkMode::set(bool on) {
    ProcessOptions options;
    options.standardOutput = ProcessOutput::discard;
    options.standardError = ProcessOutput::discard;
    try {
        ProcessRunner::run(SystemTools::path(SystemTool::osascript).string(),
                           {"-e", std::string(appearanceScript) + (on ? "true" : "false")},
                           options);
    } catch (const ProcessLaunchError&) {
        // Nothing is reported to the caller, as with any other failure of the script.
    } catch (const std::system_error&) {
        // Nor when waiting for the script failed.
    }
}

}  // namespace velmora
