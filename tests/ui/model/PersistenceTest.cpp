// The model over the real preference store: settings it can only partly read, fields of a newer
// version, and a home that takes no write.
#include <nlohmann/json.hpp>

#include "platform/UserDefaults.hpp"
#include "tests/platform/PreferenceTestSupport.hpp"
#include "tests/ui/model/ModelFakes.hpp"

namespace velmora::testing {
namespace {

using Keys = AppModel::Keys;
using ::testing::HasSubstr;
using Json = nlohmann::json;
// gtest's own Setup member hides the record's name inside a fixture.
using Scene = ::velmora::Setup;

constexpr const char* appDomain = "com.velmora.test.app";

// A favourites list with a number among its ids, and a scene and a profile each holding a field
// this version does not know.
class PersistenceTest : public ModelTest {
  protected:
    void SetUp() override {
        putFile(home.file(appDomain),
                xmlPlist("<key>favoriteTweakIDs</key><array><string>t-a</string>"
                         "<integer>3</integer><string>t-b</string></array>"));
        Json scene =
            Json::parse(Scene::encodeList({Scene{"S", "Desk", "moon.fill", {}, {}, {}, false}}));
        scene[0]["mood"] = "calm";
        defaults->setData(Keys::setups, scene.dump());
        Json profile = UserProfile{}.toJson();
        profile["theme"] = {{"accent", "dusk"}};
        defaults->setData(Keys::userProfile, profile.dump());
        ::testing::internal::CaptureStderr();
        model = make(Catalog({tweak("t-a"), tweak("t-b"), tweak("t-c")}, {}), defaults);
        loadMessages = ::testing::internal::GetCapturedStderr();
    }
    Json storedJson(const char* key) { return Json::parse(defaults->data(key).value_or("null")); }

    TempHome home;
    std::shared_ptr<PreferenceUserDefaults> defaults =
        std::make_shared<PreferenceUserDefaults>(home.store(), appDomain);
    std::unique_ptr<AppModel> model;
    std::string loadMessages;
};

TEST_F(PersistenceTest, FavouritesKeepTheirIdsAndTheOriginalAndNewerFieldsSurviveASave) {
    EXPECT_EQ(model->favoriteTweakIDs(), (std::set<std::string>{"t-a", "t-b"}));
    EXPECT_THAT(loadMessages, HasSubstr(R"("favoriteTweakIDs" could not be read (an array)"));
    model->toggleFavorite(model->catalog().tweaks()[2]);
    EXPECT_EQ(defaults->stringArray(Keys::favoriteTweakIDs),
              (std::vector<std::string>{"t-a", "t-b", "t-c"}));
    EXPECT_THAT(fileXml(home.file(appDomain)),
                HasSubstr("<key>favoriteTweakIDs.unreadable</key>\n\t<array>\n\t\t<string>t-a"
                          "</string>\n\t\t<integer>3</integer>"));

    model->renameSetup(model->setups().at(0), "Office");
    model->updateSetupToCurrent(model->setups().at(0));
    EXPECT_EQ(storedJson(Keys::setups)[0]["mood"], "calm");
    EXPECT_EQ(storedJson(Keys::setups)[0]["name"], "Office");
    model->saveProfile({UserField::writer}, {}, DeviceKind::desktop);
    EXPECT_EQ(storedJson(Keys::userProfile)["theme"]["accent"], "dusk");
    EXPECT_EQ(storedJson(Keys::userProfile)["device"], "desktop");
}

// A read-only or full home: each change is refused with its reason in `lastError`, and the model
// goes on showing what is stored, which is what the next start loads.
TEST_F(PersistenceTest, AHomeThatTakesNoWriteReportsEachChangeAndKeepsWhatIsStored) {
    const std::string before = fileBytes(home.file(appDomain));
    const auto refused = [&](const char* what, const std::function<void()>& change) {
        SCOPED_TRACE(what);
        model->setLastError(std::nullopt);
        FileFaults::failNth(FileStep::rename, 1, EROFS);
        change();
        FileFaults::reset();
        EXPECT_THAT(model->lastError().value_or("<none>"), HasSubstr("Read-only file system"));
    };
    refused("favourite", [&] { model->toggleFavorite(model->catalog().tweaks()[2]); });
    refused("power card", [&] { model->toggleFavoritePower(); });
    refused("new scene", [&] { model->saveSetup("Sofa", "sofa"); });
    refused("scene list set by a view", [&] {
        model->setSetups({});
        model->persistSetups();
    });
    refused("rule", [&] {
        model->addRule({"R", AutomationRule::Kind::onWake, "S", true, 0, 0, 0, "", ""});
    });
    refused("profile", [&] { model->saveProfile({UserField::writer}, {}, DeviceKind::desktop); });

    EXPECT_EQ(model->favoriteTweakIDs(), (std::set<std::string>{"t-a", "t-b"}));
    EXPECT_FALSE(model->favoritePower());
    ASSERT_EQ(model->setups().size(), 1U);
    EXPECT_EQ(model->setups()[0].name, "Desk");
    EXPECT_TRUE(model->rules().empty());
    EXPECT_FALSE(model->profile().completedOnboarding);
    EXPECT_EQ(fileBytes(home.file(appDomain)), before);
}

}  // namespace
}  // namespace velmora::testing
