// Bundle identifiers from Info.plist, the sorted list of installed applications, and which bundle
// an executable belongs to.
#include "platform/ApplicationBundles.hpp"

#include <gtest/gtest.h>

#include "tests/platform/BundleFixture.hpp"
#include "tests/platform/PreferenceTestSupport.hpp"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::TempSystemRoot;

TEST(ApplicationBundlesTest, IdentifierComesFromInfoWithAUsableString) {
    TempSystemRoot system;
    const fs::path bundle = TempSystemRoot::makeBundle(system.applications(), "A", "com.x.notes");
    EXPECT_EQ(ApplicationBundles::identifier(bundle), "com.x.notes");
    EXPECT_EQ(ApplicationBundles::identifier(system.applications() / "None.app"), std::nullopt);
    for (const char* entries : {"<key>CFBundleIdentifier</key><integer>7</integer>",
                                "<key>CFBundleIdentifier</key><string></string>",
                                "<key>CFBundleName</key><string>Odd</string>", "</dict>"}) {
        TempSystemRoot::writeInfo(bundle, entries);
        EXPECT_EQ(ApplicationBundles::identifier(bundle), std::nullopt) << entries;
    }
    testing::putFile(bundle / "Contents" / "Info.plist", testing::sharedReferenceBomb(40));
    EXPECT_EQ(ApplicationBundles::identifier(bundle), std::nullopt) << "never expanded";
}

TEST(ApplicationBundlesTest, InstalledSortsByComposedScalarsKeepsDuplicatesAndSkipsTheRest) {
    TempSystemRoot system;
    const auto user = system.applications();
    const auto shipped = system.systemApplications();
    // Not applications: the last two (no identifier, nested in a subfolder), and a plain file.
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
    std::ofstream(user / "file.app") << "x";
    std::vector<std::string> ids;
    for (const InstalledApp& app :
         ApplicationBundles::installed({user, system.root() / "missing", shipped})) {
        ids.push_back(app.bundleID);
    }
    // Case does not count; "É" is U+00C9, after "z"; equal names (also once composed) keep the
    // order found, the first folder's copy first.
    EXPECT_EQ(ids, (std::vector<std::string>{"com.x.beta", "com.x.mail.user", "com.x.mail",
                                             "com.x.zeta", "com.x.composed", "com.x.decomposed"}));
}

TEST(ApplicationBundlesTest, BundleOfFindsTheInnermostBundleWhoseMacOSFolderHoldsTheFile) {
    const std::vector<std::pair<fs::path, std::optional<fs::path>>> cases = {
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
        EXPECT_EQ(
            ApplicationBundles::bundleOf(executable, {"/r/Applications", "/r/System/Applications"}),
            bundle)
            << executable;
    }
}

}  // namespace
}  // namespace velmora
