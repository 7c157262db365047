// Reads the kernel's power-supply class: adaptors say whether they are online, batteries their
// charge.
#include "tools/pmset/PowerSupply.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <system_error>

namespace velmora::pmset {
namespace fs = std::filesystem;

namespace {

constexpr const char* folderVariable = "VELMORA_POWER_SUPPLY_DIR";
constexpr const char* kernelFolder = "/sys/class/power_supply";
constexpr std::size_t attributeLimit = 256;
constexpr int fullPercent = 100;

// One attribute file's text without its trailing newline, or none.
std::optional<std::string> attribute(const fs::path& supply, const char* name) {
    int fd = ::open((supply / name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::array<char, attributeLimit> buffer{};
    ssize_t n = ::read(fd, buffer.data(), buffer.size());
    ::close(fd);
    if (n < 0) {
        return std::nullopt;
    }
    std::string text(buffer.data(), static_cast<std::size_t>(n));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::optional<long long> number(const fs::path& supply, const char* name) {
    auto text = attribute(supply, name);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    long long value = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size()) {
        return std::nullopt;
    }
    return value;
}

// Drivers report either the percentage itself or a level against the full level.
std::optional<int> percentOf(const fs::path& supply) {
    std::optional<long long> percent = number(supply, "capacity");
    if (!percent) {
        for (auto [now, full] :
             {std::pair{"energy_now", "energy_full"}, std::pair{"charge_now", "charge_full"}}) {
            auto level = number(supply, now);
            auto whole = number(supply, full);
            if (level && whole && *whole > 0) {
                percent = *level * fullPercent / *whole;
                break;
            }
        }
    }
    if (!percent) {
        return std::nullopt;
    }
    return static_cast<int>(std::clamp<long long>(*percent, 0, fullPercent));
}

Battery::Charging chargingOf(const std::optional<std::string>& status) {
    if (!status) {
        return Battery::Charging::unknown;
    }
    if (*status == "Charging") {
        return Battery::Charging::charging;
    }
    if (*status == "Discharging") {
        return Battery::Charging::discharging;
    }
    if (*status == "Full") {
        return Battery::Charging::full;
    }
    if (*status == "Not charging") {
        return Battery::Charging::notCharging;
    }
    return Battery::Charging::unknown;
}

}  // namespace

fs::path powerSupplyFolder() {
    const char* value = std::getenv(folderVariable);
    return value != nullptr && *value != '\0' ? fs::path(value) : fs::path(kernelFolder);
}

PowerSupply readPowerSupply(const fs::path& folder) {
    std::vector<fs::path> supplies;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        supplies.push_back(it->path());
    }
    std::sort(supplies.begin(), supplies.end());

    PowerSupply result;
    bool anyAdaptor = false;
    bool adaptorOnline = false;
    bool anyDischarging = false;
    for (const fs::path& supply : supplies) {
        auto type = attribute(supply, "type");
        if (!type) {
            continue;
        }
        if (*type == "Battery") {
            if (attribute(supply, "scope") == "Device" || attribute(supply, "present") == "0") {
                continue;
            }
            Battery battery;
            battery.charging = chargingOf(attribute(supply, "status"));
            anyDischarging = anyDischarging || battery.charging == Battery::Charging::discharging;
            if (auto percent = percentOf(supply)) {
                battery.percent = *percent;
                result.batteries.push_back(battery);
            }
        } else if (*type == "Mains" || type->starts_with("USB")) {
            anyAdaptor = true;
            adaptorOnline = adaptorOnline || attribute(supply, "online") == "1";
        }
    }
    // An adaptor that reports itself decides; without one, a discharging battery does.
    result.onBattery = anyAdaptor ? !adaptorOnline && !result.batteries.empty() : anyDischarging;
    return result;
}

}  // namespace velmora::pmset
