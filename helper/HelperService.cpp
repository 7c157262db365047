// The helper's request handling: pmset runs by argument vector, never through a shell, with a
// fixed environment and a deadline.
#include "helper/HelperService.hpp"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <exception>

#include "helper/TrustedAnchor.hpp"
#include "kit/HelperInfo.hpp"
#include "platform/CodeRequirement.hpp"
#include "platform/GuestCode.hpp"
#include "platform/PmsetOutput.hpp"
#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"

namespace velmora {

namespace {

constexpr const char* kNotAllowed = "Not allowed";
// pmset runs as root: it sees a fixed search path and the C locale, never what the helper was
// started with (library paths, shell start-up files, word separators, secrets).
constexpr const char* kToolPath = "PATH=/usr/bin:/bin:/usr/sbin:/sbin";
constexpr const char* kToolLocale = "LC_ALL=C";

// Calls visit(codePoint, start, end) for each code point; false at the first invalid sequence.
template <class Visit>
bool forEachCodePoint(std::string_view text, Visit visit) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t offset = 0;
    while (offset < length) {
        const std::int32_t start = offset;
        UChar32 c = 0;
        U8_NEXT(bytes, offset, length, c);
        if (c < 0) {
            return false;
        }
        visit(c, static_cast<std::size_t>(start), static_cast<std::size_t>(offset));
    }
    return true;
}

bool isValidUtf8(std::string_view text) {
    return forEachCodePoint(text, [](UChar32, std::size_t, std::size_t) {});
}

// Decoded as UTF-8 (empty when it is not) and trimmed of white space and newlines at both ends.
std::string trimmedText(std::string_view bytes) {
    std::size_t first = bytes.size();
    std::size_t last = 0;
    const bool valid = forEachCodePoint(bytes, [&](UChar32 c, std::size_t start, std::size_t end) {
        if (!u_isUWhiteSpace(c)) {
            first = std::min(first, start);
            last = end;
        }
    });
    if (!valid || first >= last) {
        return {};
    }
    return std::string(bytes.substr(first, last - first));
}

std::string statusText(const ProcessResult& result) {
    return std::to_string(result.ending == ProcessResult::Ending::exited ? result.exitStatus
                                                                         : result.signal);
}

}  // namespace

std::string HelperService::requirementText() {
    return "anchor apple generic and certificate leaf[subject.OU] = \"" + HelperInfo::teamID() +
           "\"";
}

bool HelperService::isValidClient(int connectionFd) {
    const auto code = GuestCode::fromConnection(connectionFd);
    if (!code) {
        return false;
    }
    const auto requirement = CodeRequirement::compile(requirementText());
    if (!requirement) {
        return false;
    }
    return validator_.check(code.value(), requirement.value()).ok();
}

HelperService::HelperService(HelperLog& log, CodeValidator& validator, std::filesystem::path pmset,
                             const std::filesystem::path& systemRoot)
    : log_(log),
      validator_(validator),
      pmset_(std::move(pmset)),
      environment_{kToolPath, kToolLocale,
                   std::string(SystemPaths::rootVariable) + "=" + systemRoot.string()} {}

ProcessResult HelperService::pmset(const std::vector<std::string>& arguments,
                                   ProcessOutput output) const {
    ProcessOptions options;
    options.standardOutput = output;
    options.environment = environment_;
    options.timeout = pmsetTimeout;
    return ProcessRunner::run(pmset_.string(), arguments, options);
}

bool HelperService::readDisableSleep() const {
    try {
        const auto result = pmset({"-g"}, ProcessOutput::capture);
        if (result.timedOut || !isValidUtf8(result.standardOutput)) {
            return false;
        }
        return PmsetOutput::sleepDisabled(result.standardOutput);
    } catch (const std::exception&) {
        return false;
    }
}

HelperReply HelperService::handle(const HelperRequest& request) {
    switch (request.method) {
        case HelperMethod::ping:
            return HelperReply::versionAnswer(HelperInfo::version());
        case HelperMethod::getDisableSleep:
            return HelperReply::sleepState(readDisableSleep());
        case HelperMethod::setDisableSleep:
            return runPmset("disablesleep", request.flag ? "1" : "0");
        case HelperMethod::setPmset:
            return setPmset(request.key, request.value);
    }
    return HelperReply::outcome(false, kNotAllowed);
}

HelperReply HelperService::setPmset(const std::string& key, const std::string& value) {
    if (!HelperInfo::allowsPmset(key, value)) {
        log_.write("rejected pmset " + key + "=" + value);
        return HelperReply::outcome(false, kNotAllowed);
    }
    return runPmset(key, value);
}

HelperReply HelperService::runPmset(const std::string& key, const std::string& value) {
    ProcessResult result;
    try {
        // Nobody reads what pmset prints on standard output; its error output is the reason.
        result = pmset({"-a", key, value}, ProcessOutput::discard);
    } catch (const std::exception& error) {
        log_.write(std::string("pmset launch failed: ") + error.what());
        return HelperReply::outcome(false, error.what());
    }
    if (result.timedOut) {
        const std::string reason =
            "pmset timed out after " + std::to_string(pmsetTimeout.count()) + " seconds";
        log_.write("pmset " + key + " failed: " + reason);
        return HelperReply::outcome(false, reason);
    }
    if (result.succeeded()) {
        log_.write("set " + key + " " + value + " ok");
        return HelperReply::outcome(true, std::nullopt);
    }
    const std::string status = statusText(result);
    const std::string reason = trimmedText(result.standardError);
    log_.write("pmset " + key + " failed (" + status + "): " + reason);
    return HelperReply::outcome(false, reason.empty() ? "pmset exited " + status : reason);
}

}  // namespace velmora
