// Bundle identifiers from Info.plist, the sorted list of installed applications, and which bundle
// an executable belongs to.
#include "platform/ApplicationBundles.hpp"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <fstream>

#include "tests/platform/BundleFixture.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::TempSystemRoot;

std::vector<std::string> names(const std::vector<InstalledApp>& apps) {
    std::vector<std::string> result;
    for (const InstalledApp& app : apps) {
        result.push_back(app.name);
    }
    return result;
}

TEST(ApplicationBundlesTest, IdentifierComesFromXmlOrBinaryInfo) {
    TempSystemRoot system;
    const fs::path xml = TempSystemRoot::makeBundle(system.applications(), "Notes", "com.x.notes");
    EXPECT_EQ(ApplicationBundles::identifier(xml), "com.x.notes");

    const fs::path binary = system.applications() / "Binary.app";
    fs::create_directories(binary / "Contents");
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "CFBundleIdentifier", plist_new_string("com.x.binary"));
    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(dict, &bytes, &length);
    std::ofstream(binary / "Contents" / "Info.plist", std::ios::binary).write(bytes, length);
    plist_to_bin_free(bytes);
    plist_free(dict);
    EXPECT_EQ(ApplicationBundles::identifier(binary), "com.x.binary");
}

TEST(ApplicationBundlesTest, NoIdentifierWhenInfoIsMissingBrokenOrWithoutAUsableString) {
    TempSystemRoot system;
    const fs::path bundle = system.applications() / "Odd.app";
    EXPECT_EQ(ApplicationBundles::identifier(bundle), std::nullopt);
    fs::create_directories(bundle / "Contents");
    std::ofstream(bundle / "Contents" / "Info.plist") << "not a property list";
    EXPECT_EQ(ApplicationBundles::identifier(bundle), std::nullopt);
    TempSystemRoot::writeInfo(bundle, "<key>CFBundleIdentifier</key><integer>7</integer>");
    EXPECT_EQ(ApplicationBundles::identifier(bundle), std::nullopt);
    TempSystemRoot::writeInfo(bundle, "<key>CFBundleIdentifier</key><string></string>");
    EXPECT_EQ(ApplicationBundles::identifier(bundle), std::nullopt);
    TempSystemRoot::writeInfo(bundle, "<key>CFBundleName</key><string>Odd</string>");
    EXPECT_EQ(ApplicationBundles::identifier(bundle), std::nullopt);
}

TEST(ApplicationBundlesTest, InstalledSortsWithoutRegardToCaseAndKeepsDuplicates) {
    TempSystemRoot system;
    TempSystemRoot::makeBundle(system.applications(), "zeta", "com.x.zeta");
    TempSystemRoot::makeBundle(system.applications(), "Alpha", "com.x.alpha");
    TempSystemRoot::makeBundle(system.applications(), "Mail", "com.x.mail.user");
    TempSystemRoot::makeBundle(system.systemApplications(), "beta", "com.x.beta");
    TempSystemRoot::makeBundle(system.systemApplications(), "Mail", "com.x.mail");
    const auto apps = ApplicationBundles::installed(system.folders());
    EXPECT_EQ(names(apps), (std::vector<std::string>{"Alpha", "beta", "Mail", "Mail", "zeta"}));
    // Equal names keep the order found: the first folder's copy first.
    EXPECT_EQ(apps[2].bundleID, "com.x.mail.user");
    EXPECT_EQ(apps[3].bundleID, "com.x.mail");
}

TEST(ApplicationBundlesTest, InstalledComparesComposedScalarsNotTheLocalesAlphabet) {
    TempSystemRoot system;
    TempSystemRoot::makeBundle(system.applications(),
                               "\xC3\x89"
                               "clair",
                               "com.x.composed");
    TempSystemRoot::makeBundle(system.applications(), "Zed", "com.x.zed");
    TempSystemRoot::makeBundle(system.systemApplications(),
                               "E\xCC\x81"
                               "clair",
                               "com.x.decomposed");
    const auto apps = ApplicationBundles::installed(system.folders());
    ASSERT_EQ(apps.size(), 3u);
    EXPECT_EQ(apps[0].bundleID, "com.x.zed");  // "é" is U+00E9, after "z"
    EXPECT_EQ(apps[1].bundleID, "com.x.composed");
    EXPECT_EQ(apps[2].bundleID, "com.x.decomposed");  // the same name once composed: kept in order
}

TEST(ApplicationBundlesTest, InstalledSkipsWhatIsNoApplication) {
    TempSystemRoot system;
    TempSystemRoot::makeBundle(system.applications(), "Keep", "com.x.keep");
    TempSystemRoot::makeBundle(system.applications(), "NoID", std::nullopt);
    fs::create_directories(system.applications() / "Utilities");
    TempSystemRoot::makeBundle(system.applications() / "Utilities", "Nested", "com.x.nested");
    std::ofstream(system.applications() / "readme.app.txt") << "x";
    std::ofstream(system.applications() / ".app") << "x";
    const auto apps = ApplicationBundles::installed(
        {system.applications(), system.root() / "missing", system.systemApplications()});
    EXPECT_EQ(apps, (std::vector<InstalledApp>{{"Keep", "com.x.keep"}}));
}

TEST(ApplicationBundlesTest, BundleOfFindsTheInnermostBundleWhoseMacOSFolderHoldsTheFile) {
    const std::vector<fs::path> folders{"/r/Applications", "/r/System/Applications"};
    EXPECT_EQ(ApplicationBundles::bundleOf("/r/Applications/Mail.app/Contents/MacOS/Mail", folders),
              fs::path("/r/Applications/Mail.app"));
    EXPECT_EQ(ApplicationBundles::bundleOf(
                  "/r/System/Applications/Utilities/Term.app/Contents/MacOS/bin/term", folders),
              fs::path("/r/System/Applications/Utilities/Term.app"));
    EXPECT_EQ(
        ApplicationBundles::bundleOf(
            "/r/Applications/Big.app/Contents/Helpers/Small.app/Contents/MacOS/small", folders),
        fs::path("/r/Applications/Big.app/Contents/Helpers/Small.app"));
}

TEST(ApplicationBundlesTest, BundleOfRefusesPathsOutsideABundlesExecutables) {
    const std::vector<fs::path> folders{"/r/Applications"};
    EXPECT_EQ(ApplicationBundles::bundleOf("/usr/bin/sleep", folders), std::nullopt);
    EXPECT_EQ(ApplicationBundles::bundleOf("/r/Applications2/A.app/Contents/MacOS/a", folders),
              std::nullopt);
    EXPECT_EQ(ApplicationBundles::bundleOf("/r/Applications/A.app/Contents/Resources/a", folders),
              std::nullopt);
    EXPECT_EQ(ApplicationBundles::bundleOf("/r/Applications/A.app/Contents/MacOS", folders),
              std::nullopt);
    EXPECT_EQ(ApplicationBundles::bundleOf("/r/Applications/A/Contents/MacOS/a", folders),
              std::nullopt);
}

}  // namespace
}  // namespace velmora
