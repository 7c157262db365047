// Launches spotted in the process table, over a table made of links to drive each case (the
// machine's own is watched for real by the Qt event-source and monitor tests).
#include "platform/LaunchScanner.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "tests/platform/BundleFixture.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TempSystemRoot;

class LaunchScannerTest : public ::testing::Test {
  protected:
    // A process table of our own: `<pid>/exe` links to the executable, `<pid>/stat` names the
    // parent.
    void run(pid_t pid, const fs::path& executable, pid_t parent = 1,
             const std::string& command = "app") {
        const fs::path folder = table / std::to_string(pid);
        fs::create_directories(folder);
        fs::remove(folder / "exe");
        fs::create_symlink(executable, folder / "exe");
        std::ofstream(folder / "stat", std::ios::trunc)
            << pid << " (" << command << ") S " << parent << " " << pid << " 0 0\n";
    }
    void end(pid_t pid) { fs::remove_all(table / std::to_string(pid)); }
    fs::path app(const fs::path& folder, const std::string& name,
                 const std::optional<std::string>& id) {
        return TempSystemRoot::executable(TempSystemRoot::makeBundle(folder, name, id), name);
    }

    TempSystemRoot system;
    fs::path table = [this] {
        fs::create_directories(system.root() / "proc");
        return system.root() / "proc";
    }();
    fs::path mail = app(system.applications(), "Mail", "com.x.mail");
    LaunchScanner scanner{system.folders(), table};
};

TEST_F(LaunchScannerTest, WhatRunsAtTheFirstLookIsNoLaunchAndEachNewProcessIsOne) {
    run(100, mail);
    run(101, "/usr/bin/sleep");
    EXPECT_THAT(scanner.scan(), IsEmpty());
    EXPECT_THAT(scanner.scan(), IsEmpty());
    end(100);
    scanner.scan();
    run(200, mail);
    run(201, "/usr/bin/true");
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.mail"));
    EXPECT_THAT(scanner.scan(), IsEmpty());
    // A process that turns into an application is a launch.
    run(101, mail);
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.mail"));
}

TEST_F(LaunchScannerTest, AnApplicationsOwnChildProcessesAreNoLaunches) {
    run(400, mail);
    scanner.scan();
    run(401, mail, 400, "Mail (worker) x");
    EXPECT_THAT(scanner.scan(), IsEmpty());
    // Started by another application: a launch of its own.
    run(402, app(system.applications(), "Notes", "com.x.notes"), 400);
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.notes"));
}

TEST_F(LaunchScannerTest, OnlyIdentifiedBundlesInTheFoldersFireInProcessOrder) {
    scanner.scan();
    run(500, app(system.applications(), "Plain", std::nullopt));
    run(501, app(system.root(), "Loose", "com.x.loose"));
    run(502, system.applications() / "Mail.app" / "Contents" / "Resources" / "tool");
    run(900, mail);
    run(80, app(system.systemApplications(), "Notes", "com.x.notes"));
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.notes", "com.x.mail"));
}

}  // namespace
}  // namespace velmora
