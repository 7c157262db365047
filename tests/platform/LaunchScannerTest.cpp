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

// A process table of our own: `<pid>/exe` links to the executable, `<pid>/stat` names the parent.
class FakeProcessTable {
  public:
    explicit FakeProcessTable(fs::path root) : root_(std::move(root)) {
        fs::create_directories(root_);
    }
    const fs::path& root() const { return root_; }

    void run(pid_t pid, const fs::path& executable, pid_t parent = 1,
             const std::string& command = "app") {
        const fs::path folder = root_ / std::to_string(pid);
        fs::create_directories(folder);
        fs::remove(folder / "exe");
        fs::create_symlink(executable, folder / "exe");
        std::ofstream(folder / "stat", std::ios::trunc)
            << pid << " (" << command << ") S " << parent << " " << pid << " 0 0\n";
    }
    void end(pid_t pid) { fs::remove_all(root_ / std::to_string(pid)); }

  private:
    fs::path root_;
};

class LaunchScannerTest : public ::testing::Test {
  protected:
    TempSystemRoot system;
    FakeProcessTable table{system.root() / "proc"};
    fs::path mail = TempSystemRoot::makeBundle(system.applications(), "Mail", "com.x.mail");
    fs::path mailBinary = TempSystemRoot::executable(mail, "Mail");
    LaunchScanner scanner{system.folders(), table.root()};
};

TEST_F(LaunchScannerTest, WhatRunsAtTheFirstLookIsNoLaunch) {
    table.run(100, mailBinary);
    EXPECT_THAT(scanner.scan(), IsEmpty());
    EXPECT_THAT(scanner.scan(), IsEmpty());
}

TEST_F(LaunchScannerTest, ANewProcessOfABundleIsOneLaunch) {
    table.run(100, "/usr/bin/sleep");
    scanner.scan();
    table.run(200, mailBinary);
    table.run(201, "/usr/bin/true");
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.mail"));
    EXPECT_THAT(scanner.scan(), IsEmpty());
    // Quit and opened again: a second launch.
    table.end(200);
    scanner.scan();
    table.run(202, mailBinary);
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.mail"));
}

TEST_F(LaunchScannerTest, AProcessThatTurnsIntoAnApplicationIsALaunch) {
    table.run(300, "/bin/sh");
    scanner.scan();
    table.run(300, mailBinary);
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.mail"));
}

TEST_F(LaunchScannerTest, AnApplicationsOwnChildProcessesAreNoLaunches) {
    table.run(400, mailBinary);
    scanner.scan();
    table.run(401, mailBinary, 400, "Mail (worker) x");
    EXPECT_THAT(scanner.scan(), IsEmpty());
    // Started by another application: a launch of its own.
    const fs::path notes =
        TempSystemRoot::makeBundle(system.applications(), "Notes", "com.x.notes");
    table.run(402, TempSystemRoot::executable(notes, "Notes"), 400);
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.notes"));
}

TEST_F(LaunchScannerTest, BundlesWithoutIdentifierAndProgramsOutsideTheFoldersFireNothing) {
    scanner.scan();
    const fs::path plain = TempSystemRoot::makeBundle(system.applications(), "Plain", std::nullopt);
    table.run(500, TempSystemRoot::executable(plain, "Plain"));
    const fs::path elsewhere = TempSystemRoot::makeBundle(system.root(), "Loose", "com.x.loose");
    table.run(501, TempSystemRoot::executable(elsewhere, "Loose"));
    table.run(502, system.applications() / "Mail.app" / "Contents" / "Resources" / "tool");
    EXPECT_THAT(scanner.scan(), IsEmpty());
}

TEST_F(LaunchScannerTest, SeveralLaunchesComeInProcessOrder) {
    scanner.scan();
    const fs::path notes =
        TempSystemRoot::makeBundle(system.systemApplications(), "Notes", "com.x.notes");
    table.run(900, mailBinary);
    table.run(80, TempSystemRoot::executable(notes, "Notes"));
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.notes", "com.x.mail"));
}

}  // namespace
}  // namespace velmora
