// The constants the application and its privileged helper must agree on, compiled into both.
#pragma once

#include <set>
#include <string>

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
};

}  // namespace velmora
