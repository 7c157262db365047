// The preference store's promises: durable writes that merge per key, fresh cached reads,
// unreadable files kept aside, file-name-safe domains, and nodes it does not touch left as they
// were.
#include "platform/PreferenceStore.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "PreferenceTestSupport.hpp"

namespace velmora {
namespace {

using testing::fileBytes;
using testing::putFile;
using testing::TempHome;
using testing::xmlPlist;

constexpr const char* domain = "com.velmora.test";

PlistNode text(const std::string& value) {
    return PlistNode(plist_new_string(value.c_str()));
}

// `textAt(*home.store(), key)` tells what reached the disk: a cold cache reads the file.
std::optional<std::string> textAt(PreferenceStore& store, const std::string& key) {
    const PlistNode node = store.copyValue(domain, key);
    return node && plist_get_node_type(node.get()) == PLIST_STRING
               ? std::optional<std::string>(plist_get_string_ptr(node.get(), nullptr))
               : std::nullopt;
}

// Runs `body` in a forked child (exit 0 when it returns, an abort when it throws) and gives the
// child's wait status once `whileRunning` returned.
int inChild(const std::function<void()>& body,
            const std::function<void(pid_t)>& whileRunning = {}) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    if (whileRunning) {
        whileRunning(pid);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(PreferenceStoreDurability,
     AFaultBeforeTheRenameKeepsTheOldFileAndThrowsAfterItTheWriteIsDone) {
    // Per write: one write(2) of the temporary file, its fsync, the rename, the folder's fsync.
    // Once the rename happened the new file is what every reader sees, so the write is done; the
    // engine's record must match the file.
    for (const auto& [step, nth, error, expected] :
         std::vector<std::tuple<FileStep, int, int, const char*>>{
             {FileStep::write, 1, ENOSPC, "old"},
             {FileStep::fsync, 1, EIO, "old"},
             {FileStep::rename, 1, EIO, "old"},
             {FileStep::fsync, 2, EIO, "new"}}) {
        SCOPED_TRACE(static_cast<int>(step) * 10 + nth);
        TempHome home;
        auto store = home.store();
        store->setValue(domain, "other", text("kept"));
        store->setValue(domain, "k", text("old"));
        FileFaults::failNth(step, nth, error);
        ::testing::internal::CaptureStderr();
        try {
            store->setValue(domain, "k", text("new"));
            EXPECT_EQ(std::string(expected), "new") << "a write that did not happen succeeded";
        } catch (const PreferenceStoreError& e) {
            EXPECT_EQ(std::string(expected), "old") << "a write that happened failed";
            EXPECT_NE(std::string(e.what()).find(std::strerror(error)), std::string::npos)
                << e.what();
        }
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.find("may not survive a crash") != std::string::npos,
                  std::string(expected) == "new")
            << said;
        FileFaults::reset();
        EXPECT_EQ(textAt(*home.store(), "k"), expected);
        EXPECT_EQ(textAt(*home.store(), "other"), "kept");
        EXPECT_EQ(textAt(*store, "k"), expected);
        for (const auto& entry : std::filesystem::directory_iterator(home.folder())) {
            EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
                << "left-over temporary file " << entry.path();
        }
    }
}

// The first write of a domain makes its file: the new name must reach the disk as surely as a
// replaced file's does, so the folder is flushed then too, and a failed flush is said.
TEST(PreferenceStoreDurability, TheWriteThatCreatesADomainFileFlushesItsFolderToo) {
    TempHome home;
    auto store = home.store();
    store->setValue("com.velmora.other", "k", text("made"));  // the folder exists
    ASSERT_FALSE(std::filesystem::exists(home.file(domain)));
    FileFaults::failNth(FileStep::fsync, 2, EIO);  // the file's own, then its folder's
    ::testing::internal::CaptureStderr();
    EXPECT_NO_THROW(store->setValue(domain, "k", text("new")));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("may not survive a crash"), std::string::npos) << said;
    EXPECT_NE(said.find(std::strerror(EIO)), std::string::npos) << said;
    FileFaults::reset();
    EXPECT_EQ(textAt(*home.store(), "k"), "new");
}

TEST(PreferenceStoreFreshness, ChangesMadeBehindTheCacheAreSeenAlsoAfterAFork) {
    TempHome home;
    auto first = home.store();
    const auto putK = [&](const std::string& value) {
        putFile(home.file(domain), xmlPlist("<key>k</key><string>" + value + "</string>\n"));
    };
    // An in-place rewrite of the same size, past the clock's granularity.
    putK("aaaa");
    EXPECT_EQ(textAt(*first, "k"), "aaaa");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    putK("bbbb");
    EXPECT_EQ(textAt(*first, "k"), "bbbb");
    // A forked child using the store must not hide its change from the parent.
    ASSERT_EQ(inChild([&] {
                  putK("child");
                  ::_exit(textAt(*first, "k") == "child" ? 0 : 2);
              }),
              0);
    EXPECT_EQ(textAt(*first, "k"), "child");
}

// The read system calls this process has made so far (the kernel's own count, which reading it
// adds one to).
long readCalls() {
    std::ifstream io("/proc/self/io");
    std::string name;
    long value = 0;
    while (io >> name >> value) {
        if (name == "syscr:") {
            return value;
        }
    }
    return -1;
}

// A cached read runs at every look of the interface: when nothing changed it must cost no system
// call, yet a change by anyone, seen from any thread, is read at the next look.
TEST(PreferenceStoreFreshness, AnUnchangedDomainIsReadWithoutASystemCallAndChangesStillShow) {
    constexpr int reads = 200;
    TempHome home;
    putFile(home.file(domain), xmlPlist("<key>k</key><string>one</string>\n"));
    PreferenceStore store(home.root(), FolderWatching::follow);
    ASSERT_EQ(textAt(store, "k"), "one");
    ASSERT_EQ(textAt(store, "k"), "one");
    const long first = readCalls();
    const long perLook = readCalls() - first;  // what reading the count costs
    ASSERT_GT(perLook, 0) << "no read accounting here";
    const long before = readCalls();
    for (int i = 0; i < reads; ++i) {
        EXPECT_EQ(textAt(store, "k"), "one");
    }
    EXPECT_EQ(readCalls() - before, perLook) << "reads of an unchanged domain";

    putFile(home.file(domain), xmlPlist("<key>k</key><string>two</string>\n"));
    EXPECT_EQ(textAt(store, "k"), "two");
    ASSERT_EQ(
        inChild([&] { putFile(home.file(domain), xmlPlist("<key>k</key><string>3</string>")); }),
        0);
    EXPECT_EQ(textAt(store, "k"), "3") << "changed by another process";
    putFile(home.file(domain), xmlPlist("<key>k</key><string>four</string>\n"));
    std::optional<std::string> seen;
    std::thread([&] { seen = textAt(store, "k"); }).join();
    EXPECT_EQ(seen, "four") << "read from another thread";
    putFile(home.file(domain), xmlPlist("<key>k</key><string>five</string>\n"));
    EXPECT_EQ(textAt(store, "k"), "five") << "back on the first thread";
}

// A change made through another name of the file (the target of a dotfile manager's link, a hard
// link in another folder) never shows in the preferences folder, where the watch looks.
TEST(PreferenceStoreFreshness, LinkedDomainFilesAreCheckedOnEveryRead) {
    TempHome home;
    const testing::TempFolder elsewhere("velmora-dotfiles");
    const std::filesystem::path target = elsewhere.path() / "linked.plist";
    const std::filesystem::path twin = elsewhere.path() / "twin.plist";
    putFile(target, xmlPlist("<key>k</key><string>first</string>"));
    putFile(twin, xmlPlist("<key>k</key><string>first</string>"));
    std::filesystem::create_directories(home.folder());
    std::filesystem::create_symlink(target, home.file("com.velmora.linked"));
    std::filesystem::create_hard_link(twin, home.file("com.velmora.twin"));
    PreferenceStore store(home.root(), FolderWatching::follow);
    const auto read = [&](const char* name) {
        const PlistNode node = store.copyValue(name, "k");
        return node ? std::string(plist_get_string_ptr(node.get(), nullptr)) : "<none>";
    };
    ASSERT_EQ(read("com.velmora.linked"), "first");
    ASSERT_EQ(read("com.velmora.twin"), "first");
    // In place and one byte longer, so the stamp differs even within the clock's granularity.
    putFile(target, xmlPlist("<key>k</key><string>second</string>"));
    putFile(twin, xmlPlist("<key>k</key><string>second</string>"));
    EXPECT_EQ(read("com.velmora.linked"), "second");
    EXPECT_EQ(read("com.velmora.twin"), "second");
}

TEST(PreferenceStoreMerging, TwoProcessesWritingDifferentKeysAtOnceLoseNothing) {
    constexpr int keysPerProcess = 25;
    TempHome home;
    const auto writeKeys = [&](const std::string& prefix) {
        PreferenceStore store(home.root());
        for (int i = 0; i < keysPerProcess; ++i) {
            store.setValue(domain, prefix + std::to_string(i), text(std::to_string(i)));
        }
    };
    ASSERT_EQ(inChild([&] { writeKeys("x"); },
                      [&](pid_t) { ASSERT_EQ(inChild([&] { writeKeys("y"); }), 0); }),
              0);
    auto store = home.store();
    for (const std::string prefix : {"x", "y"}) {
        for (int i = 0; i < keysPerProcess; ++i) {
            EXPECT_EQ(textAt(*store, prefix + std::to_string(i)), std::to_string(i));
        }
    }
}

TEST(PreferenceStoreMerging, AWriterKilledMidLoopLeavesAParseableFileAndNoLock) {
    constexpr std::size_t padding = 256 * 1024;  // long writes, so a kill often lands inside one
    for (int round = 0; round < 3; ++round) {
        TempHome home;
        home.store()->setValue(domain, "stable", text("yes"));
        const int status = inChild(
            [&] {
                PreferenceStore store(home.root());
                for (int i = 0;; ++i) {
                    store.setValue(domain, "counter", text(std::string(padding + i % 7, 'x')));
                }
            },
            [&](pid_t child) {
                std::this_thread::sleep_for(std::chrono::milliseconds(15 + 10 * round));
                ::kill(child, SIGKILL);
            });
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_NE(testing::fileXml(home.file(domain)), "");
        EXPECT_EQ(textAt(*home.store(), "stable"), "yes");
        home.store()->setValue(domain, "after", text("written"));  // the dead writer's lock is gone
        EXPECT_EQ(textAt(*home.store(), "after"), "written");
    }
}

TEST(PreferenceStoreCorruption, AnUnreadableFileReadsEmptyAndIsKeptAsideBeforeTheFirstWrite) {
    TempHome home;
    auto store = home.store();
    const std::string junk = "this is not a property list";
    const std::string arrayRoot = "<plist version=\"1.0\"><array/></plist>";
    const auto kept = [&](int n) {
        return fileBytes(home.folder() / (domain + (".plist.corrupt-" + std::to_string(n))));
    };
    putFile(home.file(domain), junk);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(textAt(*store, "k"), std::nullopt);
    store->removeValue(domain, "k");  // nothing to remove: the unreadable bytes stay in place
    EXPECT_EQ(fileBytes(home.file(domain)), junk);
    store->setValue(domain, "k", text("v"));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("corrupt-1"), std::string::npos);
    EXPECT_EQ(textAt(*home.store(), "k"), "v");
    // A second unreadable version goes to the next free name; the first stays as it was.
    putFile(home.file(domain), arrayRoot);
    ::testing::internal::CaptureStderr();
    store->setValue(domain, "k", text("w"));
    // Unreadable bytes that cannot be kept aside (the second write, after the new version's) are
    // not overwritten either.
    putFile(home.file(domain), junk);
    FileFaults::failNth(FileStep::write, 2, ENOSPC);
    EXPECT_THROW(store->setValue(domain, "k", text("x")), PreferenceStoreError);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(kept(1), junk);
    EXPECT_EQ(kept(2), arrayRoot);
    EXPECT_EQ(fileBytes(home.file(domain)), junk);
    EXPECT_FALSE(
        std::filesystem::exists(home.folder() / (domain + std::string(".plist.corrupt-3"))))
        << "a partial copy would pass for a kept one";
}

// Killed while it copies the unreadable bytes aside (here by the file-size limit, which ends a
// writer mid-write as SIGKILL does): no `.corrupt-N` holds part of them, and the next write keeps
// them whole.
TEST(PreferenceStoreCorruption, AWriterKilledWhileKeepingBytesAsideLeavesNoPartialCopy) {
    constexpr rlim_t writtenBeforeTheKill = 1000;
    TempHome home;
    const std::string junk(4 * writtenBeforeTheKill, 'j');
    putFile(home.file(domain), junk);
    const int status = inChild([&] {
        const rlimit noCore{0, 0};
        const rlimit smallFiles{writtenBeforeTheKill, writtenBeforeTheKill};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_FSIZE, &smallFiles);
        ::signal(SIGXFSZ, SIG_DFL);
        PreferenceStore(home.root()).setValue(domain, "k", text("v"));
    });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    // The size of each copy, so that a failure reads short.
    const auto keptCopies = [&] {
        std::vector<std::size_t> kept;
        for (const auto& entry : std::filesystem::directory_iterator(home.folder())) {
            if (entry.path().filename().string().find(".corrupt-") != std::string::npos) {
                kept.push_back(fileBytes(entry.path()).size());
            }
        }
        return kept;
    };
    EXPECT_EQ(keptCopies(), std::vector<std::size_t>{}) << "a partial copy would pass for one";
    EXPECT_EQ(fileBytes(home.file(domain)), junk);

    ::testing::internal::CaptureStderr();
    home.store()->setValue(domain, "k", text("w"));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(keptCopies(), std::vector<std::size_t>{junk.size()});
    EXPECT_EQ(fileBytes(home.folder() / (domain + std::string(".plist.corrupt-1"))), junk);
    EXPECT_EQ(textAt(*home.store(), "k"), "w");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.folder()), {}), 3)
        << "the domain file, its lock and the copy; the dead writer's temporary file is gone";
}

// A full disk refuses the new version again and again while the user keeps trying: the bytes
// that could not be read are kept aside once, by the write that succeeds, not once per attempt.
TEST(PreferenceStoreCorruption, AWriteThatFailsAndIsTriedAgainKeepsTheUnreadableBytesOnce) {
    TempHome home;
    auto store = home.store();
    const std::string junk = "this is not a property list";
    putFile(home.file(domain), junk);
    ::testing::internal::CaptureStderr();
    for (const FileStep step : {FileStep::write, FileStep::fsync, FileStep::rename}) {
        FileFaults::failNth(step, 1, ENOSPC);
        EXPECT_THROW(store->setValue(domain, "k", text("v")), PreferenceStoreError);
        FileFaults::reset();
    }
    store->setValue(domain, "k", text("v"));
    ::testing::internal::GetCapturedStderr();
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(home.folder())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{domain + std::string(".plist"),
                                               domain + std::string(".plist.corrupt-1"),
                                               domain + std::string(".plist.lock")}));
    EXPECT_EQ(fileBytes(home.folder() / (domain + std::string(".plist.corrupt-1"))), junk);
}

TEST(PreferenceStoreNames, DomainsThatAreNotPlainFileNamesAreRefused) {
    TempHome home;
    auto store = home.store();
    for (const std::string& name :
         {std::string(), std::string(".."), std::string("../escape"), std::string("a/b"),
          std::string("nul\0inside", 10), std::string(300, 'd')}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(store->setValue(name, "k", text("v")), PreferenceStoreError);
        EXPECT_THROW(store->copyValue(name, "k"), PreferenceStoreError);
        EXPECT_THROW(store->removeValue(name, "k"), PreferenceStoreError);
    }
    EXPECT_THROW(store->setValue(domain, std::string("k\0x", 3), text("v")), PreferenceStoreError);
    EXPECT_FALSE(std::filesystem::exists(home.root() / "Library" / "escape.plist"));
    store->setValue("..hidden", "k", text("v"));
    EXPECT_TRUE(std::filesystem::exists(home.file("..hidden")));
}

TEST(PreferenceStoreNodes, KeysTypesAndPermissionsNotWrittenSurviveAndTheFileIsBinary) {
    TempHome home;
    const auto body = [](const std::string& k) {
        return xmlPlist(
            "<key>date</key><date>2024-02-29T12:34:56Z</date><key>data</key><data>AAEC/w==</data>"
            "<key>nested</key><dict><key>list</key><array><integer>-3</integer><real>0.25</real>"
            "<false/></array><key>s</key><string>Größe</string></dict><key>k</key><string>" +
            k + "</string><key>big</key><integer>-9223372036854775808</integer>");
    };
    putFile(home.file(domain), body("before"));
    putFile(home.file("expected"), body("after"));
    const auto perms = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                       std::filesystem::perms::group_read;
    std::filesystem::permissions(home.file(domain), perms);
    home.store()->setValue(domain, "k", text("after"));
    EXPECT_EQ(fileBytes(home.file(domain)).rfind("bplist00", 0), 0u);
    EXPECT_EQ(std::filesystem::status(home.file(domain)).permissions(), perms);
    EXPECT_EQ(testing::fileXml(home.file(domain)), testing::fileXml(home.file("expected")));
}

}  // namespace
}  // namespace velmora
