// Running a system tool for what it prints, as the power and display readers do.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class ToolOutput {
  public:
    ToolOutput() = delete;

    // The tool's standard output (its error output is dropped; its exit status is not looked
    // at), or none when it cannot be started or prints what is not UTF-8.
    static std::optional<std::string> capture(const std::filesystem::path& program,
                                              const std::vector<std::string>& arguments);
    static bool isUtf8(std::string_view bytes);
    // Without whitespace and line ends at either end.
    static std::string trimmed(std::string_view text);
};

}  // namespace velmora
