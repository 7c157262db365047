// Line and field splitting of pmset's output, and the readings taken from it.
#include "platform/PmsetOutput.hpp"

#include <charconv>
#include <system_error>

namespace velmora {

namespace {

constexpr std::string_view sleepDisabledName = "SleepDisabled";
constexpr std::string_view sleepDisabledOn = "1";
constexpr std::string_view batteryPowerText = "Battery Power";
constexpr std::string_view acPowerText = "AC Power";
constexpr std::size_t keyValueFields = 2;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::vector<std::string_view> split(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (end > start) {
            pieces.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return pieces;
}

}  // namespace

std::vector<std::string_view> PmsetOutput::lines(std::string_view text) {
    return split(text, "\n");
}

std::vector<std::string_view> PmsetOutput::fields(std::string_view line) {
    return split(line, " \t");
}

bool PmsetOutput::sleepDisabled(std::string_view output) {
    for (std::string_view line : lines(output)) {
        if (line.find(sleepDisabledName) != std::string_view::npos) {
            auto parts = fields(line);
            return !parts.empty() && parts.back() == sleepDisabledOn;
        }
    }
    return false;
}

std::map<std::string, std::string> PmsetOutput::values(std::string_view output) {
    std::map<std::string, std::string> result;
    for (std::string_view line : lines(output)) {
        auto parts = fields(line);
        if (parts.size() < keyValueFields) {
            continue;
        }
        result.insert_or_assign(std::string(parts[parts.size() - 2]), std::string(parts.back()));
    }
    return result;
}

bool PmsetOutput::onBattery(std::string_view output) {
    return output.find(batteryPowerText) != std::string_view::npos &&
           output.find(acPowerText) == std::string_view::npos;
}

std::optional<int> PmsetOutput::batteryPercent(std::string_view output) {
    for (std::size_t i = 0; i < output.size(); ++i) {
        if (!isDigit(output[i])) {
            continue;
        }
        std::size_t end = i;
        while (end < output.size() && isDigit(output[end])) {
            ++end;
        }
        if (end < output.size() && output[end] == '%') {
            int value = 0;
            auto [stop, error] = std::from_chars(output.data() + i, output.data() + end, value);
            if (error != std::errc()) {
                return std::nullopt;
            }
            return value;
        }
        i = end;
    }
    return std::nullopt;
}

}  // namespace velmora
