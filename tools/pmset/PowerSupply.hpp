// What the machine draws its power from and how charged its batteries are, as the kernel says.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::pmset {

struct Battery {
    enum class Charging { charging, discharging, full, notCharging, unknown };
    int percent = 0;
    Charging charging = Charging::unknown;
};

struct PowerSupply {
    bool onBattery = false;
    // The machine's own batteries, not those of a mouse or keyboard.
    std::vector<Battery> batteries;
};

// The kernel's power-supply class, or the folder named by VELMORA_POWER_SUPPLY_DIR (for tests).
std::filesystem::path powerSupplyFolder();
// A missing or unreadable folder reads as a desktop on mains power.
PowerSupply readPowerSupply(const std::filesystem::path& folder);

}  // namespace velmora::pmset
