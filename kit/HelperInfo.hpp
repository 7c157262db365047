// The constants the application and its privileged helper must agree on, compiled into both.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

namespace velmora {

class HelperInfo {
  public:
    HelperInfo() = delete;

    // The application's bundle identifier followed by ".helper"; the helper's socket is named after
    // it.
    static const std::string& machServiceName();
    // The helper's answer to a ping and part of its start log line.
    static const std::string& version();
    // The signing team both deliverables are signed by.
    static const std::string& teamID();
    // The only pmset keys the helper will set; membership is exact and case-sensitive.
    static const std::set<std::string>& pmsetWhitelist();

    // Every setting the helper may change takes a small count, and nine digits still fit a 32-bit
    // number, so a longer value is never a real one.
    static constexpr std::size_t maxPmsetValueDigits = 9;
    // The one rule both sides apply before pmset runs as root: a whitelisted key, and a value of
    // one to `maxPmsetValueDigits` ASCII digits. Numerals of other scripts, signs, points, spaces
    // and the empty value are refused.
    static bool allowsPmset(std::string_view key, std::string_view value);
};

}  // namespace velmora
