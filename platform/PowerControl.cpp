// Power state from pmset's output; power changes through the helper or an administrator prompt.
#include "platform/PowerControl.hpp"

#include <chrono>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>

#include "kit/HelperInfo.hpp"
#include "kit/VelmoraError.hpp"
#include "platform/HelperClient.hpp"
#include "platform/PmsetOutput.hpp"
#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"
#include "platform/ToolOutput.hpp"

namespace velmora {

namespace {

constexpr const char* notAllowed = "Not allowed";
constexpr const char* sleepKey = "disablesleep";
constexpr const char* exitedWithCode = "pmset exited with code ";

std::optional<std::string> pmsetOutput(const std::vector<std::string>& arguments) {
    return ToolOutput::capture(SystemTools::path(SystemTool::pmset), arguments);
}

// The text is handed to a root shell on the Mac, so only what the helper itself would accept may
// ever reach it, whatever the caller passes.
void refuseUnlessAllowed(const std::string& key, const std::string& value) {
    if (!HelperInfo::allowsPmset(key, value)) {
        throw VelmoraError::powerCommandFailed(notAllowed);
    }
}

void writePmsetPrompt(const std::string& key, const std::string& value) {
    const std::string script = "do shell script \"" +
                               SystemTools::path(SystemTool::pmset).string() + " -a " + key + " " +
                               value + "\" with administrator privileges";
    ProcessOptions options;
    options.standardOutput = ProcessOutput::discard;
    ProcessResult result;
    try {
        result = ProcessRunner::run(SystemTools::path(SystemTool::osascript).string(),
                                    {"-e", script}, options);
    } catch (const ProcessLaunchError& error) {
        throw VelmoraError::powerCommandFailed(error.what());
    } catch (const std::system_error& error) {
        // Only powerCommandFailed may leave a power change, whatever broke while waiting.
        throw VelmoraError::powerCommandFailed(error.what());
    }
    if (result.succeeded()) {
        return;
    }
    std::string reason =
        ToolOutput::isUtf8(result.standardError) ? ToolOutput::trimmed(result.standardError) : "";
    if (reason.empty()) {
        const int status =
            result.ending == ProcessResult::Ending::exited ? result.exitStatus : result.signal;
        reason = exitedWithCode + std::to_string(status);
    }
    throw VelmoraError::powerCommandFailed(reason);
}

// The helper's own failure is dropped: whatever went wrong there, the prompt gets its turn.
void writeThroughHelperOrPrompt(const std::string& key, const std::string& value) {
    try {
        HelperClient::setPmset(key, value);
        return;
    } catch (const std::exception&) {
    }
    writePmsetPrompt(key, value);
}

// How long a `pmset -g` output may serve the values reading that follows the keep-awake reading.
constexpr std::chrono::milliseconds readingReuseWindow{1000};

// One `pmset` report, read for a first reading and kept for the one that follows it a few
// milliseconds later: a tool run is most of the cost of either. The kept report is handed over at
// most once, only while young, and never across a write. A run that gave nothing is kept too: a
// hanging `pmset` costs one wait, not two.
class KeptPmsetReport {
  public:
    explicit KeptPmsetReport(std::vector<std::string> arguments)
        : arguments_(std::move(arguments)) {}

    std::optional<std::string> readAndKeep() {
        std::optional<std::string> output = pmsetOutput(arguments_);
        std::lock_guard lock(mutex_);
        kept_.emplace(output);
        takenAt_ = std::chrono::steady_clock::now();
        return output;
    }

    std::optional<std::string> takeKeptOrRead() {
        std::optional<std::optional<std::string>> output;
        {
            std::lock_guard lock(mutex_);
            if (kept_ && std::chrono::steady_clock::now() - takenAt_ < readingReuseWindow) {
                output = std::move(kept_);
            }
            kept_.reset();
        }
        return output ? *output : pmsetOutput(arguments_);
    }

    void forget() {
        std::lock_guard lock(mutex_);
        kept_.reset();
    }

  private:
    const std::vector<std::string> arguments_;
    std::mutex mutex_;
    std::optional<std::optional<std::string>> kept_;  // outer: a report is kept; inner: its output
    std::chrono::steady_clock::time_point takenAt_;
};

}  // namespace

PowerControl PowerControl::live() {
    // The app model reads the keep-awake flag and then all values on every refresh; the automation
    // monitor reads the power source and then the battery level at every tick.
    auto settings = std::make_shared<KeptPmsetReport>(std::vector<std::string>{"-g"});
    auto battery = std::make_shared<KeptPmsetReport>(std::vector<std::string>{"-g", "batt"});
    return PowerControl{
        .reader =
            [settings] {
                auto output = settings->readAndKeep();
                return output && PmsetOutput::sleepDisabled(*output);
            },
        .writer =
            [settings](bool on) {
                settings->forget();
                writeThroughHelperOrPrompt(sleepKey, on ? "1" : "0");
            },
        .batteryReader =
            [battery] {
                auto output = battery->readAndKeep();
                return output && PmsetOutput::onBattery(*output);
            },
        .valuesReader =
            [settings] {
                auto output = settings->takeKeptOrRead();
                return output ? PmsetOutput::values(*output) : Values{};
            },
        .settingWriter =
            [settings](const std::string& key, const std::string& value) {
                settings->forget();
                setPmset(key, value);
            },
        .percentReader =
            [battery] {
                auto output = battery->takeKeptOrRead();
                return output ? PmsetOutput::batteryPercent(*output) : std::nullopt;
            },
    };
}

PowerControl PowerControl::disabled() {
    return PowerControl{
        .reader = [] { return false; },
        .writer = [](bool) {},
        .batteryReader = [] { return false; },
        .valuesReader = [] { return Values{}; },
        .settingWriter = [](const std::string&, const std::string&) {},
        .percentReader = [] { return std::optional<int>{}; },
    };
}

void PowerControl::setPmset(const std::string& key, const std::string& value) {
    refuseUnlessAllowed(key, value);
    writeThroughHelperOrPrompt(key, value);
}

PowerControl::Values PowerControl::pmsetValues() {
    auto output = pmsetOutput({"-g"});
    return output ? PmsetOutput::values(*output) : Values{};
}

std::optional<int> PowerControl::batteryPercent() {
    auto output = pmsetOutput({"-g", "batt"});
    return output ? PmsetOutput::batteryPercent(*output) : std::nullopt;
}

}  // namespace velmora
