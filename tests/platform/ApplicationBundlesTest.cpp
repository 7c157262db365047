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
    const fs::path bundle = TempSystemRoot::makeBundle(system.applications(), "A", "com.x.notes");
    const fs::path info = bundle / "Contents" / "Info.plist";
    EXPECT_EQ(ApplicationBundles::identifier(bundle), "com.x.notes");
    const PlistNode dict(plist_new_dict());
    plist_dict_set_item(dict.get(), "CFBundleIdentifier", plist_new_string("com.x.binary"));
    testing::putFile(info, testing::binaryPlist(dict.get()));
    EXPECT_EQ(ApplicationBundles::identifier(bundle), "com.x.binary");

    EXPECT_EQ(ApplicationBundles::identifier(system.applications() / "None.app"), std::nullopt);
    testing::putFile(info, "not a property list");
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
    const auto user = system.applications();
    const auto shipped = system.systemApplications();
    // No applications: the last two (no identifier, nested in a subfolder) and plain files.
    for (const auto& [folder, name, id] :
         std::vector<std::tuple<fs::path, std::string, std::optional<std::string>>>{
             {user, "zeta", "com.x.zeta"},
             {user, "Mail", "com.x.mail.user"},
             {user, "\u00C9clair", "com.x.composed"},
             {shipped, "beta", "com.x.beta"},
             {shipped, "Mail", "com.x.mail"},
             {shipped, "E\u0301clair", "com.x.decomposed"},
             {user, "NoID", std::nullopt},
             {user / "Utilities", "Nested", "com.x.nested"}}) {
        TempSystemRoot::makeBundle(folder, name, id);
    }
    std::ofstream(user / "readme.app.txt") << "x";
    std::ofstream(user / ".app") << "x";

    const auto apps = ApplicationBundles::installed({user, system.root() / "missing", shipped});
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
