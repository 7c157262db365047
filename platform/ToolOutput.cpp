// Captures a tool's output and checks that it decodes before anyone reads it.
#include "platform/ToolOutput.hpp"

#include <unicode/ustring.h>
#include <unicode/utypes.h>

#include <limits>
#include <system_error>

#include "platform/ProcessRunner.hpp"

namespace velmora {

namespace {
constexpr std::string_view whitespace = " \t\n\r\v\f";
}

std::optional<std::string> ToolOutput::capture(const std::filesystem::path& program,
                                               const std::vector<std::string>& arguments) {
    ProcessOptions options;
    options.standardError = ProcessOutput::discard;
    options.timeout = readingTimeout;
    try {
        ProcessResult result = ProcessRunner::run(program.string(), arguments, options);
        if (result.timedOut || !isUtf8(result.standardOutput)) {
            return std::nullopt;
        }
        return std::move(result.standardOutput);
    } catch (const ProcessLaunchError&) {
        return std::nullopt;
    } catch (const std::system_error&) {
        // Waiting for the tool failed; a reader reports nothing rather than throwing.
        return std::nullopt;
    }
}

bool ToolOutput::isUtf8(std::string_view bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        return false;
    }
    // Measuring the UTF-16 length walks every sequence and stops at the first ill-formed one.
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    return status != U_INVALID_CHAR_FOUND && status != U_ILLEGAL_ARGUMENT_ERROR;
}

std::string ToolOutput::trimmed(std::string_view text) {
    std::size_t first = text.find_first_not_of(whitespace);
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(whitespace);
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace velmora
