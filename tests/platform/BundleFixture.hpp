// A throw-away system root with application folders, bundles made to order, and a started
// application that is stopped again when the test ends.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/TempFolder.hpp"

namespace velmora::testing {

namespace fs = std::filesystem;

// A fresh system root holding "/Applications" and "/System/Applications"; removed afterwards.
class TempSystemRoot {
  public:
    TempSystemRoot() {
        fs::create_directories(applications());
        fs::create_directories(systemApplications());
    }
    const fs::path& root() const { return root_; }
    fs::path applications() const { return root_ / "Applications"; }
    fs::path systemApplications() const { return root_ / "System" / "Applications"; }
    std::vector<fs::path> folders() const { return {applications(), systemApplications()}; }

    // `<folder>/<name>.app` with an Info.plist naming `bundleID` (none: no identifier entry) and
    // a copy of /bin/sleep as its executable `Contents/MacOS/<name>`.
    static fs::path makeBundle(const fs::path& folder, const std::string& name,
                               const std::optional<std::string>& bundleID) {
        const fs::path bundle = folder / (name + ".app");
        writeInfo(bundle, bundleID
                              ? "<key>CFBundleIdentifier</key><string>" + *bundleID + "</string>"
                              : std::string("<key>CFBundleName</key><string>x</string>"));
        fs::create_directories(bundle / "Contents" / "MacOS");
        fs::copy_file("/bin/sleep", executable(bundle, name), fs::copy_options::overwrite_existing);
        return bundle;
    }
    static fs::path executable(const fs::path& bundle, const std::string& name) {
        return bundle / "Contents" / "MacOS" / name;
    }
    static void writeInfo(const fs::path& bundle, const std::string& entries) {
        fs::create_directories(bundle / "Contents");
        std::ofstream(bundle / "Contents" / "Info.plist", std::ios::trunc)
            << "<plist version=\"1.0\"><dict>" << entries << "</dict></plist>\n";
    }

  private:
    TempFolder folder_{"velmora-system"};
    // The process table names resolved paths; a symlinked temporary folder must not hide a
    // bundle from the comparison.
    fs::path root_ = fs::canonical(folder_.path());
};

// A started bundle executable (a copy of sleep, outlasting any test's wait), killed at the end.
class RunningProgram {
  public:
    explicit RunningProgram(const fs::path& program) {
        const std::string path = program.string();
        const char* argv[] = {path.c_str(), "5", nullptr};
        if (::posix_spawn(&pid_, path.c_str(), nullptr, nullptr, const_cast<char**>(argv),
                          nullptr) != 0) {
            throw std::runtime_error("cannot start " + path);
        }
    }
    ~RunningProgram() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

  private:
    pid_t pid_ = 0;
};

}  // namespace velmora::testing
