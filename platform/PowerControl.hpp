// Reading and changing the Mac's power settings: a bundle of operations the app model holds.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace velmora {

struct PowerControl {
    using Flag = std::function<bool()>;
    using FlagWriter = std::function<void(bool)>;
    using Values = std::map<std::string, std::string>;
    using ValuesReader = std::function<Values()>;
    using SettingWriter = std::function<void(const std::string& key, const std::string& value)>;
    using PercentReader = std::function<std::optional<int>()>;

    // Whether system sleep is disabled (the Mac stays awake with its lid closed).
    Flag reader;
    // Disables (true) or re-enables (false) system sleep; throws VelmoraError on failure.
    FlagWriter writer;
    // Whether the Mac runs on battery.
    Flag batteryReader;
    // Every pmset setting as key and value text.
    ValuesReader valuesReader = [] { return Values{}; };
    // Writes one pmset setting; the app model calls this rather than the static `setPmset`, so
    // that its tests run without any tool or helper.
    SettingWriter settingWriter = &PowerControl::setPmset;
    // The battery's charge in percent; none without a battery or a readable answer.
    PercentReader percentReader = [] { return std::optional<int>{}; };

    bool keepAwakeWithLidClosed() const { return reader(); }
    bool isOnBattery() const { return batteryReader(); }
    Values powerValues() const { return valuesReader(); }
    void setKeepAwakeWithLidClosed(bool on) const { writer(on); }

    // Wired to pmset, the privileged helper and the administrator prompt.
    static PowerControl live();
    // Reads nothing and changes nothing.
    static PowerControl disabled();

    // Through the privileged helper, else through the administrator prompt. A key and value the
    // helper would refuse (HelperInfo::allowsPmset) are refused with "Not allowed" before either
    // is tried. Throws VelmoraError::powerCommandFailed.
    static void setPmset(const std::string& key, const std::string& value);
    // `pmset -g` as key and value texts; empty when pmset cannot be run.
    static Values pmsetValues();
    // The first percentage `pmset -g batt` prints; none when it cannot be run or prints none.
    static std::optional<int> batteryPercent();
};

}  // namespace velmora
