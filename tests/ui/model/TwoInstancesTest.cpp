// Two instances of the application over one home, each with its own preference store as two
// processes have: neither may write back its stale copy of a stored list over the other's change,
// nor fire a time rule the other has fired; and looking for the other's changes takes back none of
// this one's.
#include "platform/UserDefaults.hpp"
#include "tests/platform/PreferenceTestSupport.hpp"
#include "tests/ui/model/ModelFakes.hpp"

namespace velmora::testing {
namespace {

using Keys = AppModel::Keys;
using Kind = AutomationRule::Kind;
// gtest's own Setup member hides the record's name inside a fixture.
using Scene = ::velmora::Setup;

constexpr const char* appDomain = "com.velmora.test.app";

class TwoInstancesTest : public ModelTest {
  protected:
    std::shared_ptr<PreferenceUserDefaults> defaultsOfOwnProcess() {
        return std::make_shared<PreferenceUserDefaults>(home.store(), appDomain);
    }
    std::unique_ptr<AppModel> start() {
        return make(Catalog({tweak("t-a"), tweak("t-b"), tweak("t-c")}, {}),
                    defaultsOfOwnProcess());
    }
    std::vector<std::string> names(const std::vector<Scene>& scenes) {
        std::vector<std::string> result;
        for (const Scene& scene : scenes) {
            result.push_back(scene.name);
        }
        return result;
    }

    TempHome home;
    std::unique_ptr<AppModel> first = start();
    std::unique_ptr<AppModel> second = start();
};

TEST_F(TwoInstancesTest, EachChangeKeepsWhatTheOtherInstanceStoredMeanwhile) {
    const auto& tweaks = first->catalog().tweaks();
    first->toggleFavorite(tweaks[0]);
    second->toggleFavorite(tweaks[1]);
    first->toggleFavorite(tweaks[2]);
    second->toggleFavorite(tweaks[0]);
    EXPECT_EQ(start()->favoriteTweakIDs(), (std::set<std::string>{"t-b", "t-c"}));
    EXPECT_EQ(second->favoriteTweakIDs(), (std::set<std::string>{"t-b", "t-c"}));

    first->saveSetup("Desk", "desktopcomputer");
    second->saveSetup("Sofa", "sofa");
    first->renameSetup(first->setups().at(0), "Office");
    second->upsertSetup(Scene{"S3", "Night", "moon.fill", {}, {}, {}, false});
    first->deleteSetup(first->setups().at(0));
    EXPECT_EQ(names(start()->setups()), (std::vector<std::string>{"Sofa", "Night"}));
    EXPECT_EQ(names(first->setups()), (std::vector<std::string>{"Sofa", "Night"}));

    first->addRule({"R1", Kind::onWake, "S3", true, 0, 0, 0, "", ""});
    second->addRule({"R2", Kind::onBattery, "S3", true, 0, 0, 0, "", ""});
    first->toggleRule(first->rules().at(0));
    second->toggleRule(second->rules().at(1));
    first->deleteRule(first->rules().at(0));
    const std::vector<AutomationRule> rules = start()->rules();
    ASSERT_EQ(rules.size(), 1U);
    EXPECT_EQ(rules[0].id, "R2");
    EXPECT_FALSE(rules[0].enabled);
    EXPECT_EQ(first->rules(), rules);
}

// Both run the same rule on their own timers: the one that ticks first switches the Mac to the
// scene, the other, ticking a few seconds later inside the window, must not switch it again over
// whatever the user changed in between.
TEST_F(TwoInstancesTest, ATimeRuleFiresInOneInstanceOnly) {
    first->upsertSetup(
        Scene{"S", "Morning", "sun.max.fill", {}, {}, {{"slider-dock-size", 40}}, false});
    first->addRule({"T", Kind::atTime, "S", true, 0, 9, 0, "", ""});
    first->addRule({"U", Kind::atTime, "S", true, 0, 9, 0, "", ""});
    second = start();
    const auto switches = [&](AppModel& model) {
        journal.clear();
        model.automationTick();
        return std::count(journal.begin(), journal.end(), "write tilesize");
    };
    now = localTime(2026, 12, 7, 9, 0) + std::chrono::seconds(5);
    EXPECT_EQ(switches(*first), 2);
    now += std::chrono::seconds(7);
    EXPECT_EQ(switches(*second), 0);
    now += std::chrono::seconds(20);
    EXPECT_EQ(switches(*first), 0);
    EXPECT_EQ(start()->firedTimeRules,
              (std::map<std::string, std::string>{{"T", "2026-12-7"}, {"U", "2026-12-7"}}));
    now = localTime(2026, 12, 8, 9, 0) + std::chrono::seconds(1);
    EXPECT_EQ(switches(*second), 2) << "the next day";
}

// Looking for another instance's change must not take back one of this model's own that the
// store refused: here the fresh id given at load to a scene that shared its id with another.
TEST_F(ModelTest, ScenesToldApartAtLoadKeepTheirIdsWhenTheStoreRefusedThemThen) {
    putData(Keys::setups, Scene::encodeList({Scene{"A", "Desk", "moon.fill", {}, {}, {}, false},
                                             Scene{"A", "Sofa", "sofa", {}, {}, {}, false}}));
    store->refusal = "disk full";
    ::testing::internal::CaptureStderr();
    auto model = make(Catalog({}, {}));
    ::testing::internal::GetCapturedStderr();
    store->refusal.reset();
    model->renameSetup(model->setups().at(1), "Couch");
    const auto stored = Scene::decodeList(storedData(Keys::setups));
    ASSERT_TRUE(stored.ok());
    ASSERT_EQ(stored.value().size(), 2U);
    EXPECT_EQ(stored.value()[1].name, "Couch");
    EXPECT_NE(stored.value()[0].id, stored.value()[1].id);
}

}  // namespace
}  // namespace velmora::testing
