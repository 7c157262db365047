// A throw-away system root with application folders, bundles made to order, and a started
// application that is stopped again when the test ends.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/TempFolder.hpp"

extern char** environ;

namespace velmora::testing {

// A fresh system root holding "/Applications" and "/System/Applications"; removed afterwards.
class TempSystemRoot {
  public:
    TempSystemRoot() {
        std::filesystem::create_directories(applications());
        std::filesystem::create_directories(systemApplications());
    }
    TempSystemRoot(const TempSystemRoot&) = delete;
    TempSystemRoot& operator=(const TempSystemRoot&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path applications() const { return root_ / "Applications"; }
    std::filesystem::path systemApplications() const { return root_ / "System" / "Applications"; }
    std::vector<std::filesystem::path> folders() const {
        return {applications(), systemApplications()};
    }

    // `<folder>/<name>.app` with an Info.plist naming `bundleID` (none: no identifier entry) and
    // a copy of /bin/sleep as its executable `Contents/MacOS/<name>`.
    static std::filesystem::path makeBundle(const std::filesystem::path& folder,
                                            const std::string& name,
                                            const std::optional<std::string>& bundleID) {
        const std::filesystem::path bundle = folder / (name + ".app");
        writeInfo(bundle, bundleID
                              ? "<key>CFBundleIdentifier</key><string>" + *bundleID + "</string>"
                              : std::string("<key>CFBundleName</key><string>x</string>"));
        std::filesystem::create_directories(bundle / "Contents" / "MacOS");
        std::filesystem::copy_file("/bin/sleep", executable(bundle, name),
                                   std::filesystem::copy_options::overwrite_existing);
        return bundle;
    }
    static std::filesystem::path executable(const std::filesystem::path& bundle,
                                            const std::string& name) {
        return bundle / "Contents" / "MacOS" / name;
    }
    static void writeInfo(const std::filesystem::path& bundle, const std::string& entries) {
        std::filesystem::create_directories(bundle / "Contents");
        std::ofstream(bundle / "Contents" / "Info.plist", std::ios::trunc)
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<plist version=\"1.0\"><dict>"
            << entries << "</dict></plist>\n";
    }

  private:
    TempFolder folder_{"velmora-system"};
    // The process table names resolved paths; a symlinked temporary folder must not hide a
    // bundle from the comparison.
    std::filesystem::path root_ = std::filesystem::canonical(folder_.path());
};

// A started program, killed and reaped when the test ends.
class RunningProgram {
  public:
    // The bundles' executables are copies of sleep: a few seconds outlast any test's wait.
    explicit RunningProgram(const std::filesystem::path& program) {
        std::string path = program.string();
        std::string seconds = "5";
        char* argv[] = {path.data(), seconds.data(), nullptr};
        if (::posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
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
