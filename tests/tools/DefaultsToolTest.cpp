// The stand-in defaults as a real process over a temporary home root.
#include <plist/plist.h>
#include <sys/stat.h>

#include <tuple>

#include <gtest/gtest.h>

#include "platform/PreferenceStore.hpp"
#include "tests/tools/ToolFixture.hpp"

namespace velmora {
namespace {

using ::testing::AllOf;
using ::testing::IsEmpty;
using ::testing::Not;

class DefaultsToolTest : public ToolFixture {
  protected:
    ProcessResult defaults(const Args& arguments) const {
        return run(SystemTool::defaults, arguments);
    }
    // What `defaults read` prints, or "<absent>" when it fails.
    std::string readBack(const std::string& domain, const std::string& key) const {
        ProcessResult result = defaults({"read", domain, key});
        return result.exitStatus == 0 ? result.standardOutput : "<absent>";
    }
    // Refused with exit 1 and a message holding `message` on standard error only.
    void expectRefused(const Args& arguments, const std::string& message = "") const {
        ProcessResult result = defaults(arguments);
        EXPECT_EQ(result.exitStatus, 1) << ::testing::PrintToString(arguments);
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_THAT(result.standardError, AllOf(Not(IsEmpty()), HasSubstr(message)));
    }
    PreferenceStore store{homeRoot.path()};
};

TEST_F(DefaultsToolTest, ReadsWritesAndDeletesAsThePlatformsToolAndRefusesBadInput) {
    expectRefused(words("read -g AppleInterfaceStyle"),
                  "(kCFPreferencesAnyApplication, AppleInterfaceStyle) does not exist");
    expectRefused(words("read com.apple.dock tilesize"), "(com.apple.dock, tilesize)");
    ASSERT_EQ(defaults({"write", "com.apple.dock", "title", "Hello world"}).exitStatus, 0);
    std::string printed = readBack("com.apple.dock", "title");
    for (const char* entry :
         {"tilesize -int -48", "ratio -float 2.5", "autohide -bool YES", "quoted -string 1"}) {
        const Args command = words("write com.apple.dock " + std::string(entry));
        ASSERT_EQ(defaults(command).exitStatus, 0) << entry;
        printed += readBack("com.apple.dock", command[2]);
    }
    EXPECT_EQ(printed, "Hello world\n-48\n2.5\n1\n1\n");
    EXPECT_EQ(plist_get_node_type(store.copyValue("com.apple.dock", "quoted").get()), PLIST_STRING);
    store.setValue("com.apple.finder", "Zoom", PlistNode(plist_new_real(0.1)));
    EXPECT_EQ(readBack("com.apple.finder", "Zoom"), "0.1\n");

    // The global domain has four names, and delete refuses an absent key.
    ASSERT_EQ(defaults(words("write NSGlobalDomain AppleInterfaceStyle Dark")).exitStatus, 0);
    EXPECT_EQ(readBack("-g", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_EQ(readBack("-globalDomain", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_EQ(readBack(".GlobalPreferences", "AppleInterfaceStyle"), "Dark\n");
    EXPECT_TRUE(store.copyValue(PreferenceStore::globalDomain(), "AppleInterfaceStyle"));
    ASSERT_EQ(defaults(words("delete -g AppleInterfaceStyle")).exitStatus, 0);
    EXPECT_EQ(readBack("-g", "AppleInterfaceStyle"), "<absent>");
    expectRefused(words("delete -g AppleInterfaceStyle"), "have not been changed");

    // Bad values, command lines and domain names store nothing.
    for (const char* bad :
         {"-integer 12abc", "-float nan", "-float 1e", "-bool maybe", "-date 1"}) {
        expectRefused(words(std::string("write com.apple.dock k ") + bad));
    }
    EXPECT_EQ(readBack("com.apple.dock", "k"), "<absent>");
    expectRefused(words("read -g a b"), "usage");
    expectRefused(words("write ../../etc/x k v"));
    EXPECT_FALSE(fs::exists(homeRoot.path() / "etc"));
}

// `defaults read <domain>` prints the whole domain as `read <domain> <key>` prints a dictionary,
// so a user can see everything a power-up changed; a domain holding nothing does not exist.
TEST_F(DefaultsToolTest, ReadingADomainPrintsAllItsKeysAsADictionaryValueIsPrinted) {
    expectRefused(words("read com.apple.dock"), "Domain com.apple.dock does not exist");
    expectRefused(words("read -g"), "Domain kCFPreferencesAnyApplication does not exist");
    for (const char* entry : {"com.apple.dock tilesize -int 48", "com.apple.dock autohide -bool NO",
                              "-g AppleInterfaceStyle Dark"}) {
        ASSERT_EQ(defaults(words("write " + std::string(entry))).exitStatus, 0) << entry;
    }
    PlistNode nested(plist_new_dict());
    plist_dict_set_item(nested.get(), "tilesize", plist_new_uint(48));
    plist_dict_set_item(nested.get(), "autohide", plist_new_bool(0));
    store.setValue("com.apple.copy", "dock", std::move(nested));

    const ProcessResult dock = defaults(words("read com.apple.dock"));
    ASSERT_EQ(dock.exitStatus, 0) << dock.standardError;
    EXPECT_EQ(dock.standardOutput, readBack("com.apple.copy", "dock"));
    EXPECT_THAT(dock.standardOutput, AllOf(HasSubstr("<key>tilesize</key>\n\t<integer>48"),
                                           HasSubstr("<key>autohide</key>\n\t<false/>")));
    const ProcessResult global = defaults(words("read -g"));
    ASSERT_EQ(global.exitStatus, 0) << global.standardError;
    EXPECT_THAT(global.standardOutput,
                HasSubstr("<key>AppleInterfaceStyle</key>\n\t<string>Dark</string>"));
    expectRefused(words("delete com.apple.dock"), "usage");
}

// Files a hostile or careless local user could leave in place of a domain: the tool finishes, says
// why, and never loses the bytes it could not read.
TEST_F(DefaultsToolTest, UnsafeAndUnreadableDomainFilesAreRefusedWithoutBlockingAndKeptAside) {
    const fs::path folder = homeRoot.path() / "Library" / "Preferences";
    const auto file = [&](const std::string& domain) { return folder / (domain + ".plist"); };
    const std::string bomb = testing::sharedReferenceBomb(40);
    const std::string badText = testing::xmlPlist("<key>k</key><string>caf\xE9</string>");
    putFile(file("com.x.bomb"), bomb);
    putFile(file("com.x.latin1"), badText);
    ASSERT_EQ(::mkfifo(file("com.x.fifo").c_str(), 0600), 0);

    for (const auto& [domain, reason] : {std::pair{"com.x.bomb", "more than 1048576 values"},
                                         {"com.x.latin1", "not well-formed UTF-8"},
                                         {"com.x.fifo", "not a regular file"}}) {
        SCOPED_TRACE(domain);
        const ProcessResult read = defaults({"read", domain, "k"});
        EXPECT_FALSE(read.timedOut);
        EXPECT_EQ(read.exitStatus, 1);
        EXPECT_THAT(read.standardError, HasSubstr(reason));
    }
    // The unreadable bytes go aside before the first write replaces them.
    for (const auto& [domain, original] :
         {std::pair{"com.x.bomb", &bomb}, {"com.x.latin1", &badText}}) {
        SCOPED_TRACE(domain);
        ASSERT_EQ(defaults({"write", domain, "k", "new"}).exitStatus, 0);
        EXPECT_EQ(fileBytes(folder / (std::string(domain) + ".plist.corrupt-1")), *original);
        EXPECT_EQ(readBack(domain, "k"), "new\n");
    }
    // A write that would wait on the FIFO while holding the domain's lock is refused at once.
    expectRefused({"write", "com.x.fifo", "k", "v"}, "is not a regular file");
    expectRefused({"delete", "com.x.fifo", "k"});
    EXPECT_TRUE(fs::is_fifo(file("com.x.fifo")));
}

TEST_F(DefaultsToolTest, LinkedFilesAreWrittenThroughOwnersKeptAndDeadWritersLeftoversRemoved) {
    const fs::path folder = homeRoot.path() / "Library" / "Preferences";
    const auto file = [&](const std::string& domain) { return folder / (domain + ".plist"); };
    const fs::path dotfiles = homeRoot.path() / "dotfiles";
    putFile(dotfiles / "dock.plist", testing::xmlPlist("<key>kept</key><string>yes</string>"));
    fs::create_directories(folder);
    fs::create_symlink("../../dotfiles/dock.plist", file("com.x.linked"));
    ASSERT_EQ(defaults(words("write com.x.linked k v")).exitStatus, 0);
    EXPECT_TRUE(fs::is_symlink(file("com.x.linked"))) << "the link stays a link";
    EXPECT_EQ(readBack("com.x.linked", "k") + readBack("com.x.linked", "kept"), "v\nyes\n");
    EXPECT_EQ(fileBytes(dotfiles / "dock.plist").rfind("bplist00", 0), 0U) << "its target changed";
    for (const fs::path& place : {folder, dotfiles}) {
        for (const auto& entry : fs::directory_iterator(place)) {
            EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
        }
    }

    fs::create_symlink("nowhere.plist", file("com.x.dangling"));
    fs::create_symlink("com.x.loop2.plist", file("com.x.loop1"));
    fs::create_symlink("com.x.loop1.plist", file("com.x.loop2"));
    expectRefused(words("write com.x.dangling k v"), "symbolic link to a missing file");
    expectRefused(words("write com.x.loop1 k v"), "symbolic links form a loop");
    EXPECT_THAT(defaults(words("read com.x.dangling k")).standardError,
                HasSubstr("symbolic link to a missing file"));
    EXPECT_TRUE(fs::is_symlink(file("com.x.dangling")) && !fs::exists(file("com.x.dangling")));

    // A writer killed before its rename left a full temporary file; only that domain's go.
    const std::string stale = "com.x.stale.plist.tmp-Ab12Cd";
    const std::vector<std::string> others{"com.x.stale.plist.tmp-Ab12Cd9",
                                          "com.x.other.plist.tmp-Ab12Cd"};
    for (const std::string& name : others) {
        putFile(folder / name, "keep");
    }
    putFile(folder / stale, std::string(4096, 'x'));
    ASSERT_EQ(defaults(words("write com.x.stale k v")).exitStatus, 0);
    EXPECT_FALSE(fs::exists(folder / stale));
    for (const std::string& name : others) {
        EXPECT_TRUE(fs::exists(folder / name)) << name;
    }

    // Root writing a user's domain keeps the user's file theirs.
    if (::geteuid() == 0) {
        constexpr uid_t nobody = 65534;
        putFile(file("com.x.owned"), testing::xmlPlist(""));
        ASSERT_EQ(::chown(file("com.x.owned").c_str(), nobody, nobody), 0);
        fs::permissions(file("com.x.owned"), fs::perms(0640));
        ASSERT_EQ(defaults(words("write com.x.owned k v")).exitStatus, 0);
        struct stat info {};
        ASSERT_EQ(::stat(file("com.x.owned").c_str(), &info), 0);
        EXPECT_EQ(std::tuple(info.st_uid, info.st_gid, info.st_mode & 07777),
                  std::tuple(nobody, nobody, 0640U));
    }
}

}  // namespace
}  // namespace velmora
