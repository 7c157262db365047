// A temporary system root and home root, and running a stand-in tool inside them.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"
#include "tests/platform/PreferenceTestSupport.hpp"
#include "tests/support/ScopedEnv.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {

using testing::fileBytes;
using testing::putFile;
using testing::ScopedEnv;

// A temporary folder every user can look into: some tools run as an unprivileged user.
class TempFolder : public testing::TempFolder {
  public:
    TempFolder() : testing::TempFolder("velmora-tools", Reach::everyone) {}
};

// "a b c" as the arguments {"a", "b", "c"}.
inline std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> result;
    for (std::string word; in >> word;) {
        result.push_back(word);
    }
    return result;
}

inline void writeScript(const std::filesystem::path& path, const std::string& body) {
    constexpr mode_t scriptMode = 0755;
    putFile(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), scriptMode);
}

class ToolFixture : public ::testing::Test {
  protected:
    // The temporary roots (and `extra` "NAME=value" entries) are the tool's whole environment,
    // so nothing of the machine's own leaks in.
    ProcessResult run(SystemTool tool, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& extra = {}) const {
        return runAs({}, tool, arguments, extra);
    }
    // Whether `runUnprivileged` can work: the test runs as root and can drop to "nobody".
    static bool canRunUnprivileged() { return ::geteuid() == 0 && ::access(setpriv, X_OK) == 0; }
    ProcessResult runUnprivileged(SystemTool tool, const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& extra = {}) const {
        return runAs(words("--reuid=65534 --regid=65534 --clear-groups"), tool, arguments, extra);
    }

    TempFolder systemRoot;
    TempFolder homeRoot;

  private:
    static constexpr const char* setpriv = "/usr/bin/setpriv";

    ProcessResult runAs(std::vector<std::string> privileges, SystemTool tool,
                        const std::vector<std::string>& arguments,
                        const std::vector<std::string>& extra) const {
        ProcessOptions options;
        options.environment = std::vector<std::string>{
            std::string(SystemPaths::rootVariable) + "=" + systemRoot.path().string(),
            "VELMORA_HOME_ROOT=" + homeRoot.path().string(), "PATH=/usr/bin:/bin"};
        options.environment->insert(options.environment->end(), extra.begin(), extra.end());
        std::string program = SystemTools::path(tool).string();
        if (!privileges.empty()) {
            privileges.push_back(program);
            program = setpriv;
        }
        privileges.insert(privileges.end(), arguments.begin(), arguments.end());
        return ProcessRunner::run(program, privileges, options);
    }
};

}  // namespace velmora
