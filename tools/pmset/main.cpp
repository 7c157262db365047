// Stand-in for the Mac's pmset: shows and changes the simulated power settings, shows the power
// source.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/SystemPaths.hpp"
#include "tools/pmset/PowerSettings.hpp"
#include "tools/pmset/PowerSupply.hpp"

using namespace velmora;
using namespace velmora::pmset;

namespace {

constexpr int exitOk = 0;
constexpr int exitFailure = 1;
constexpr std::size_t keyColumnWidth = 20;
constexpr std::string_view sleepDisabledKey = "disablesleep";
constexpr const char* usage =
    "usage: pmset -g\n"
    "       pmset -g batt\n"
    "       pmset -a <setting> <value>\n";

void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "pmset: %s\n", message.c_str());
    return exitFailure;
}

const char* describeRange(SettingKind kind) {
    switch (kind) {
        case SettingKind::flag:
            return "0 or 1";
        case SettingKind::minutes:
            return "minutes from 0 (never) to 1440";
        case SettingKind::hibernateMode:
            return "0, 3 or 25";
    }
    return "";
}

int showSettings() {
    auto values = PowerSettingsFile(SystemPaths::powerSettings()).load();
    if (!values) {
        return fail("cannot read the power settings: " + values.error());
    }
    std::string out = "System-wide power settings:\n SleepDisabled\t\t";
    out += std::to_string(values.value().find(sleepDisabledKey)->second);
    out += "\nCurrently in use:\n";
    for (const Setting& setting : knownSettings()) {
        if (setting.key == sleepDisabledKey) {
            continue;
        }
        out += ' ';
        out += setting.key;
        out.append(keyColumnWidth > setting.key.size() ? keyColumnWidth - setting.key.size() : 0,
                   ' ');
        out += ' ';
        out += std::to_string(values.value().find(setting.key)->second);
        out += '\n';
    }
    print(out);
    return exitOk;
}

const char* describeCharging(Battery::Charging charging, bool onBattery) {
    switch (charging) {
        case Battery::Charging::charging:
            return "charging";
        case Battery::Charging::discharging:
            return "discharging";
        case Battery::Charging::full:
            return "charged";
        case Battery::Charging::notCharging:
            return "AC attached; not charging";
        case Battery::Charging::unknown:
            break;
    }
    return onBattery ? "discharging" : "AC attached; not charging";
}

int showBattery() {
    PowerSupply supply = readPowerSupply(powerSupplyFolder());
    std::string out =
        supply.onBattery ? "Now drawing from 'Battery Power'\n" : "Now drawing from 'AC Power'\n";
    int id = 0;
    for (const Battery& battery : supply.batteries) {
        out += " -InternalBattery-" + std::to_string(id) + " (id=" + std::to_string(id) + ")\t";
        out += std::to_string(battery.percent) + "%; ";
        out += describeCharging(battery.charging, supply.onBattery);
        out += "; (no estimate) present: true\n";
        ++id;
    }
    print(out);
    return exitOk;
}

int change(std::string_view key, std::string_view text) {
    if (::geteuid() != 0) {
        return fail("this command must be run as root");
    }
    const Setting* setting = findSetting(key);
    if (setting == nullptr) {
        return fail("unknown setting '" + std::string(key) + "'");
    }
    auto value = parseValue(*setting, text);
    if (!value) {
        return fail("'" + std::string(text) + "' is not a valid value for " + std::string(key) +
                    " (" + describeRange(setting->kind) + ")");
    }
    if (auto error = PowerSettingsFile(SystemPaths::powerSettings()).store(*setting, *value)) {
        return fail("cannot store the power settings: " + *error);
    }
    return exitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::string_view first = argc > 1 ? argv[1] : "";
    if (argc == 2 && first == "-g") {
        return showSettings();
    }
    if (argc == 3 && first == "-g" && std::string_view(argv[2]) == "batt") {
        return showBattery();
    }
    if (argc == 4 && first == "-a") {
        return change(argv[2], argv[3]);
    }
    std::fputs(usage, stderr);
    return exitFailure;
}
