// A temporary system root and home root, and running a stand-in tool inside them.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessRunner.hpp"
#include "platform/SystemPaths.hpp"

namespace velmora {

// Sets an environment variable for one test and restores the old value.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// A fresh folder removed with everything in it at the end of the test.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
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
