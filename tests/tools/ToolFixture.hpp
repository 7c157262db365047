// A temporary system root and home root, and running a stand-in tool inside them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"
#include "tests/support/ScopedEnv.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora {

using testing::ScopedEnv;

// A temporary folder every user can look into: some tools run as an unprivileged user.
class TempFolder : public testing::TempFolder {
  public:
    TempFolder() : testing::TempFolder("velmora-tools", Reach::everyone) {}
};

void writeFile(const std::filesystem::path& path, const std::string& text);
std::string readFile(const std::filesystem::path& path);

class ToolFixture : public ::testing::Test {
  protected:
    // Runs the tool with the temporary roots (and `extra` "NAME=value" entries) as its whole
    // environment, so nothing of the machine's own leaks in.
    ProcessResult run(SystemTool tool, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& extra = {}) const;
    // Whether `runUnprivileged` can work: the test runs as root and can drop to "nobody".
    static bool canRunUnprivileged();
    // The same as `run`, as the unprivileged user "nobody".
    ProcessResult runUnprivileged(SystemTool tool, const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& extra = {}) const;
    std::vector<std::string> environment(const std::vector<std::string>& extra) const;

    TempFolder systemRoot;
    TempFolder homeRoot;
};

}  // namespace velmora
