// Bundle identifiers from Info.plist, the sorted list of installed applications, and which bundle
// an executable belongs to.
#include "platform/ApplicationBundles.hpp"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <fstream>

#include "tests/platform/BundleFixture.hpp"
#include "tests/platform/PreferenceTestSupport.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::TempSystemRoot;

TEST(ApplicationBundlesTest, IdentifierComesFromXmlOrBinaryInfoWithAUsableString) {
    TempSystemRoot system;
    const fs::path xml = TempSystemRoot::makeBundle(system.applications(), "Notes", "com.x.notes");
    EXPECT_EQ(ApplicationBundles::identifier(xml), "com.x.notes");

    const fs::path bundle = system.applications() / "Odd.app";
    EXPECT_EQ(ApplicationBundles::identifier(bundle), std::nullopt);
    const PlistNode dict(plist_new_dict());
    plist_dict_set_item(dict.get(), "CFBundleIdentifier", plist_new_string("com.x.binary"));
    testing::putFile(bundle / "Contents" / "Info.plist", testing::binaryPlist(dict.get()));
    EXPECT_EQ(ApplicationBundles::identifier(bundle), "com.x.binary");

    testing::putFile(bundle / "Contents" / "Info.plist", "not a property list");
    EXPECT_EQ(ApplicationBundles::identifier(bundle), std::nullopt);
    for (const char* entries : {"<key>CFBundleIdentifier</key><integer>7</integer>",
                                "<key>CFBundleIdentifier</key><string></string>",
                                "<key>CFBundleName</key><string>Odd</string>"}) {
        TempSystemRoot::writeInfo(bundle, entries);
        EXPECT_EQ(ApplicationBundles::identifier(bundle), std::nullopt) << entries;
    }
}

TEST(ApplicationBundlesTest, InstalledSortsByComposedScalarsKeepsDuplicatesAndSkipsTheRest) {
    TempSystemRoot system;
    TempSystemRoot::makeBundle(system.applications(), "zeta", "com.x.zeta");
    TempSystemRoot::makeBundle(system.applications(), "Mail", "com.x.mail.user");
    TempSystemRoot::makeBundle(system.applications(),
                               "\xC3\x89"
                               "clair",
                               "com.x.composed");
    TempSystemRoot::makeBundle(system.systemApplications(), "beta", "com.x.beta");
    TempSystemRoot::makeBundle(system.systemApplications(), "Mail", "com.x.mail");
    TempSystemRoot::makeBundle(system.systemApplications(),
                               "E\xCC\x81"
                               "clair",
                               "com.x.decomposed");
    // Not applications: no identifier, nested in a subfolder, plain files.
    TempSystemRoot::makeBundle(system.applications(), "NoID", std::nullopt);
    TempSystemRoot::makeBundle(system.applications() / "Utilities", "Nested", "com.x.nested");
    std::ofstream(system.applications() / "readme.app.txt") << "x";
    std::ofstream(system.applications() / ".app") << "x";

    const auto apps = ApplicationBundles::installed(
        {system.applications(), system.root() / "missing", system.systemApplications()});
    std::vector<std::string> ids;
    for (const InstalledApp& app : apps) {
        ids.push_back(app.bundleID);
    }
    // Case does not count; "É" is U+00C9, after "z"; equal names (also once composed) keep the
    // order found, the first folder's copy first.
    EXPECT_EQ(ids, (std::vector<std::string>{"com.x.beta", "com.x.mail.user", "com.x.mail",
                                             "com.x.zeta", "com.x.composed", "com.x.decomposed"}));
    EXPECT_EQ(apps[1].name, "Mail");
}

TEST(ApplicationBundlesTest, BundleOfFindsTheInnermostBundleWhoseMacOSFolderHoldsTheFile) {
    const std::vector<fs::path> folders{"/r/Applications", "/r/System/Applications"};
    const std::vector<std::pair<fs::path, std::optional<fs::path>>> cases = {
        {"/r/Applications/Mail.app/Contents/MacOS/Mail", "/r/Applications/Mail.app"},
        {"/r/System/Applications/Utilities/Term.app/Contents/MacOS/bin/term",
         "/r/System/Applications/Utilities/Term.app"},
        {"/r/Applications/Big.app/Contents/Helpers/Small.app/Contents/MacOS/small",
         "/r/Applications/Big.app/Contents/Helpers/Small.app"},
        {"/usr/bin/sleep", std::nullopt},
        {"/r/Applications2/A.app/Contents/MacOS/a", std::nullopt},
        {"/r/Applications/A.app/Contents/Resources/a", std::nullopt},
        {"/r/Applications/A.app/Contents/MacOS", std::nullopt},
        {"/r/Applications/A/Contents/MacOS/a", std::nullopt},
    };
    for (const auto& [executable, bundle] : cases) {
        EXPECT_EQ(ApplicationBundles::bundleOf(executable, folders), bundle) << executable;
    }
}

}  // namespace
}  // namespace velmora
