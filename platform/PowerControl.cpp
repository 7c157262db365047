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

// The app model reads the keep-awake flag and then all values, a few milliseconds apart, on every
// refresh, and a tool run is most of a refresh's cost: one `pmset -g` serves both. Its output is
// handed to the values reading at most once, only while young, and never across a write.
class SharedSettingsReading {
  public:
    bool sleepDisabled() {
        std::optional<std::string> output = pmsetOutput({"-g"});
        std::lock_guard lock(mutex_);
        kept_ = output;
        takenAt_ = std::chrono::steady_clock::now();
        return output && PmsetOutput::sleepDisabled(*output);
    }

    PowerControl::Values values() {
        std::optional<std::string> output;
        {
            std::lock_guard lock(mutex_);
            if (kept_ && std::chrono::steady_clock::now() - takenAt_ < readingReuseWindow) {
                output = std::move(kept_);
            }
            kept_.reset();
        }
        if (!output) {
            output = pmsetOutput({"-g"});
        }
        return output ? PmsetOutput::values(*output) : PowerControl::Values{};
    }

    void forget() {
        std::lock_guard lock(mutex_);
        kept_.reset();
    }

  private:
    std::mutex mutex_;
    std::optional<std::string> kept_;
    std::chrono::steady_clock::time_point takenAt_;
};

// The automation monitor reads the power source and then the battery level, a few milliseconds
// apart, at its start and at every tick: one `pmset -g batt` serves both, so that an idle tick
// starts one process instead of two. Handed to the level reading at most once, only while young.
class SharedBatteryReading {
  public:
    bool onBattery() {
        std::optional<std::string> output = pmsetOutput({"-g", "batt"});
        std::lock_guard lock(mutex_);
        kept_ = output;
        takenAt_ = std::chrono::steady_clock::now();
        return output && PmsetOutput::onBattery(*output);
    }

    std::optional<int> percent() {
        std::optional<std::string> output;
        {
            std::lock_guard lock(mutex_);
            if (kept_ && std::chrono::steady_clock::now() - takenAt_ < readingReuseWindow) {
                output = std::move(kept_);
            }
            kept_.reset();
        }
        if (!output) {
            output = pmsetOutput({"-g", "batt"});
        }
        return output ? PmsetOutput::batteryPercent(*output) : std::nullopt;
    }

  private:
    std::mutex mutex_;
    std::optional<std::string> kept_;
    std::chrono::steady_clock::time_point takenAt_;
};

}  // namespace

PowerControl PowerControl::live() {
    auto reading = std::make_shared<SharedSettingsReading>();
    auto battery = std::make_shared<SharedBatteryReading>();
    return PowerControl{
        .reader = [reading] { return reading->sleepDisabled(); },
        .writer =
            [reading](bool on) {
                reading->forget();
                writeThroughHelperOrPrompt(sleepKey, on ? "1" : "0");
            },
        .batteryReader = [battery] { return battery->onBattery(); },
        .valuesReader = [reading] { return reading->values(); },
        .settingWriter =
            [reading](const std::string& key, const std::string& value) {
                reading->forget();
                setPmset(key, value);
            },
        .percentReader = [battery] { return battery->percent(); },
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
