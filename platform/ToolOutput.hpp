// Running a system tool for what it prints, as the power and display readers do.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class ToolOutput {
  public:
    ToolOutput() = delete;

    // A reading tool answers in milliseconds; one that has not ended by then hangs, and would
    // hold the application with it.
    static constexpr std::chrono::milliseconds readingTimeout{5000};

    // The tool's standard output (its error output is dropped; its exit status is not looked
    // at), or none when it cannot be started, prints what is not UTF-8 or has not ended within
    // `readingTimeout` (it is then killed).
    static std::optional<std::string> capture(const std::filesystem::path& program,
                                              const std::vector<std::string>& arguments);
    static bool isUtf8(std::string_view bytes);
    // Without whitespace and line ends at either end.
    static std::string trimmed(std::string_view text);
};

}  // namespace velmora
