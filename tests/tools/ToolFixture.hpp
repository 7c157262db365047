// A temporary system root and home root, and running a stand-in tool inside them.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"
#include "tests/platform/PreferenceTestSupport.hpp"
#include "tests/support/ScopedEnv.hpp"

namespace velmora {

namespace fs = std::filesystem;
using testing::fileBytes;
using ::testing::HasSubstr;
using testing::putFile;
using testing::ScopedEnv;
using Args = std::vector<std::string>;

// "a b c" as the arguments {"a", "b", "c"}.
inline Args words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

inline void writeScript(const fs::path& path, const std::string& body) {
    putFile(path, "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms(0755));
}

// A temporary folder every user can look into: some tools run as an unprivileged user.
struct TempFolder : testing::TempFolder {
    TempFolder() : testing::TempFolder("velmora-tools", Reach::everyone) {}
};

class ToolFixture : public ::testing::Test {
  protected:
    enum class As { caller, nobody };
    static constexpr const char* kSetpriv = "/usr/bin/setpriv";

    // The temporary roots (and `extra` "NAME=value" entries) are the tool's whole environment,
    // so nothing of the machine's own leaks in.
    ProcessResult run(SystemTool tool, Args arguments, const Args& extra = {},
                      As as = As::caller) const {
        ProcessOptions options;
        // A tool that hangs (on a FIFO, say) fails its test instead of stalling the suite.
        options.timeout = std::chrono::seconds(10);
        options.environment =
            Args{std::string(SystemPaths::rootVariable) + "=" + systemRoot.path().string(),
                 "VELMORA_HOME_ROOT=" + homeRoot.path().string(), "PATH=/usr/bin:/bin"};
        options.environment->insert(options.environment->end(), extra.begin(), extra.end());
        if (as == As::caller) {
            return ProcessRunner::run(SystemTools::path(tool).string(), arguments, options);
        }
        arguments.insert(arguments.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups",
                                             SystemTools::path(tool).string()});
        return ProcessRunner::run(kSetpriv, arguments, options);
    }
    // Whether running as nobody can work: the test runs as root and setpriv is there.
    static bool canRunUnprivileged() { return ::geteuid() == 0 && ::access(kSetpriv, X_OK) == 0; }

    TempFolder systemRoot;
    TempFolder homeRoot;
};

}  // namespace velmora
