// Launches spotted in the process table, over a table made of links to drive each case (the
// machine's own is watched for real by the Qt event-source and monitor tests).
#include "platform/LaunchScanner.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
        const fs::path folder = system.root() / "proc" / std::to_string(pid);
        fs::create_directories(folder);
        fs::remove(folder / "exe");
        fs::create_symlink(executable, folder / "exe");
        std::ofstream(folder / "stat", std::ios::trunc)
            << pid << " (" << command << ") S " << parent << " " << pid << " 0 0\n";
    }
    // The table's "loadavg", which ends with the id of the process the system started last.
    void lastStarted(pid_t pid) {
        std::ofstream(system.root() / "proc" / "loadavg", std::ios::trunc)
            << "0.00 0.01 0.05 1/99 " << pid << "\n";
    }
    fs::path app(const fs::path& folder, const std::string& name,
                 const std::optional<std::string>& id = std::nullopt) {
        return TempSystemRoot::executable(TempSystemRoot::makeBundle(folder, name, id), name);
    }

    TempSystemRoot system;
    fs::path mail = app(system.applications(), "Mail", "com.x.mail");
    LaunchScanner scanner{system.folders(), system.root() / "proc"};
};

TEST_F(LaunchScannerTest, NewProcessesOfIdentifiedBundlesInTheFoldersAreLaunchesInProcessOrder) {
    run(100, mail);
    run(101, "/usr/bin/sleep");
    EXPECT_THAT(scanner.scan(), IsEmpty());
    fs::remove_all(system.root() / "proc" / "100");
    scanner.scan();
    run(200, mail);
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.mail"));
    EXPECT_THAT(scanner.scan(), IsEmpty());
    run(101, mail);  // a process that turns into an application
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.mail"));
    run(500, app(system.applications(), "Plain"));
    run(501, app(system.root(), "Loose", "com.x.loose"));
    run(502, system.applications() / "Mail.app" / "Contents" / "Resources" / "tool");
    run(900, mail);
    run(80, app(system.systemApplications(), "Notes", "com.x.notes"));
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.notes", "com.x.mail"));
}

TEST_F(LaunchScannerTest, AnApplicationsOwnChildProcessesAreNoLaunches) {
    run(400, mail);
    scanner.scan();
    run(401, mail, 400, "Mail (worker) x");
    EXPECT_THAT(scanner.scan(), IsEmpty());
    run(402, app(system.applications(), "Notes", "com.x.notes"), 400);
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.notes"));
}

// The live watch reads only what is new: a look at an unchanged table reads no executable, a new
// process is read at its first look and again at the next (it usually replaces its program just
// after it starts), and an old process is left alone.
TEST_F(LaunchScannerTest, ReadingNewProcessesOnlyReadsNewcomersAndTheirNextLook) {
    LaunchScanner watch{system.folders(), system.root() / "proc", ProcessReading::newProcesses};
    for (pid_t pid = 10; pid < 40; ++pid) {
        run(pid, "/usr/bin/sleep");
    }
    EXPECT_THAT(watch.scan(), IsEmpty());
    EXPECT_EQ(watch.executablesRead(), 30U) << "the baseline reads everything";
    EXPECT_THAT(watch.scan(), IsEmpty());
    EXPECT_EQ(watch.executablesRead(), 0U) << "nothing new";

    run(50, "/usr/bin/env");  // started: still the launcher's program
    EXPECT_THAT(watch.scan(), IsEmpty());
    EXPECT_EQ(watch.executablesRead(), 1U);
    run(50, mail);  // then replaced by the application's
    EXPECT_THAT(watch.scan(), ElementsAre("com.x.mail"));
    EXPECT_EQ(watch.executablesRead(), 1U);

    run(12, mail);  // an old process turning into the application is not read again
    run(60, app(system.applications(), "Notes", "com.x.notes"));
    EXPECT_THAT(watch.scan(), ElementsAre("com.x.notes"));
    EXPECT_EQ(watch.executablesRead(), 1U);
    EXPECT_THAT(watch.scan(), IsEmpty());
    EXPECT_EQ(watch.executablesRead(), 1U) << "the newcomer's second look";
    EXPECT_THAT(watch.scan(), IsEmpty());
    EXPECT_EQ(watch.executablesRead(), 0U);

    fs::remove_all(system.root() / "proc" / "60");
    run(61, app(system.applications(), "Notes", "com.x.notes"), 1);
    EXPECT_THAT(watch.scan(), ElementsAre("com.x.notes")) << "a relaunch after it ended";
}

// Where the table says which process was started last, the watch lists it only when that has
// moved or a newcomer still waits for its second look. A process put in the table behind the
// system's back shows whether a look listed it.
TEST_F(LaunchScannerTest, TheWatchListsTheTableOnlyAfterTheSystemStartedAProcess) {
    LaunchScanner watch{system.folders(), system.root() / "proc", ProcessReading::newProcesses};
    run(10, "/usr/bin/sleep");
    lastStarted(10);
    EXPECT_THAT(watch.scan(), IsEmpty());

    run(20, mail);
    EXPECT_THAT(watch.scan(), IsEmpty()) << "nothing was started: the table is not listed";
    lastStarted(20);
    EXPECT_THAT(watch.scan(), ElementsAre("com.x.mail"));

    run(30, "/usr/bin/env");
    lastStarted(30);
    EXPECT_THAT(watch.scan(), IsEmpty());
    run(30, app(system.applications(), "Notes", "com.x.notes"));  // replaces its program
    EXPECT_THAT(watch.scan(), ElementsAre("com.x.notes")) << "a newcomer's second look";

    // Reading every process, an old one replacing its program is seen though nothing started.
    run(10, mail);
    EXPECT_THAT(watch.scan(), IsEmpty());
    EXPECT_THAT(scanner.scan(), IsEmpty());
    run(10, app(system.applications(), "Maps", "com.x.maps"));
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.maps"));
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// An application whose executable is a script: the table names the interpreter as the process's
// executable, and the kernel passes the script's path (as it was started, absolute or from the
// working folder, after the one option a "#!" line may give) as an argument.
TEST_F(LaunchScannerTest, AScriptInABundleIsALaunchOfItsBundleAndItsChildrenAreNot) {
    const fs::path notes = app(system.applications(), "Notes", "com.x.notes");
    const auto arguments = [&](pid_t pid, const std::string& nulSeparated) {
        std::ofstream(system.root() / "proc" / std::to_string(pid) / "cmdline", std::ios::trunc)
            << nulSeparated;
    };
    scanner.scan();
    run(300, "/usr/bin/bash");
    arguments(300, std::string("/bin/sh\0", 8) + notes.string() + std::string("\0-x\0", 4));
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.notes"));
    EXPECT_THAT(scanner.scan(), IsEmpty()) << "seen once";

    run(301, "/usr/bin/python3");
    arguments(301, std::string("/usr/bin/env\0-S\0Contents/MacOS/Notes\0", 37));
    fs::create_symlink(system.applications() / "Notes.app", system.root() / "proc" / "301" / "cwd");
    run(302, notes, 301);  // the script's own program and command: no launches of their own
    run(303, "/usr/bin/bash", 301);
    arguments(303, std::string("bash\0-c\0") + notes.string() + std::string("\0", 1));
    run(304, "/usr/bin/bash");  // the path only as a later argument: no script
    arguments(304, std::string("bash\0-c\0echo\0", 13) + notes.string() + std::string("\0", 1));
    EXPECT_THAT(scanner.scan(), ElementsAre("com.x.notes"));
}

}  // namespace
}  // namespace velmora
