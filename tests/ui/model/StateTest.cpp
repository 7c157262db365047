// Creation, stored settings, refresh and the change announcements of the app model.
#include <nlohmann/json.hpp>

#include "tests/ui/model/ModelFakes.hpp"

namespace velmora::testing {
namespace {

using Keys = AppModel::Keys;

Catalog stateCatalog() {
    return Catalog({tweak("t-a"), tweak("t-b"), tweak("t-c")},
                   {recipe("r-empty", {}), recipe("r-ab", {{"t-a", true}, {"t-b", true}}),
                    recipe("r-missing", {{"t-a", true}, {"t-gone", true}}),
                    recipe("r-off", {{"t-c", false}}), recipe("r-b", {{"t-b", true}})});
}

TEST_F(ModelTest, StoredSettingsLoadAndUndecodableOnesStayStoredUntouched) {
    store->set(Keys::favoriteTweakIDs, std::vector<std::string>{"t-a", "t-a", "t-b"});
    store->set(Keys::favoriteRecipeIDs, std::string("not an array"));
    store->set(Keys::favoritePower, true);
    putData(Keys::userProfile, R"({"fields":["writer"],"goals":["focus"],"device":"desktop",)"
                               R"("completedOnboarding":true})");
    putData(Keys::rules, R"([{"id":"R1","kind":"onWake","setupID":"S1","enabled":true,)"
                         R"("threshold":0,"hour":0,"minute":0,"appBundleID":"","appName":""}])");
    // One undecodable scene loses the whole list, but only in memory.
    const std::string scenes =
        R"([{"id":"A","name":"Desk","icon":"desktopcomputer","tweakIDs":[],"powerToggleIDs":[],)"
        R"("sliderValues":{},"lidClose":false},{"id":"B","name":"Sofa"}])";
    putData(Keys::setups, scenes);
    ::testing::internal::CaptureStderr();
    auto model = make(stateCatalog());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(said, ::testing::HasSubstr(R"("velmora_setups" could not be read (scene 2 of 2)"));
    EXPECT_THAT(said, ::testing::HasSubstr(R"("favoriteRecipeIDs" could not be read (not an)"));
    EXPECT_EQ(model->favoriteTweakIDs(), (std::set<std::string>{"t-a", "t-b"}));
    EXPECT_TRUE(model->favoriteRecipeIDs().empty());
    EXPECT_TRUE(model->favoritePower());
    EXPECT_EQ(model->profile().device, DeviceKind::desktop);
    EXPECT_EQ(model->rules().at(0).kind, AutomationRule::Kind::onWake);
    EXPECT_TRUE(model->setups().empty());
    EXPECT_EQ(storedData(Keys::setups), scenes);
    EXPECT_EQ(store->writes, 0);
}

// The next save would replace the whole unreadable list with the current one, losing every scene.
TEST_F(ModelTest, UnreadableListIsKeptAsideOnceBeforeItIsReplacedAndAnOlderCopyStays) {
    const std::string damaged = R"([{"id":"B","name":"Sofa"}])";
    putData(Keys::setups, damaged);
    store->set(Keys::rules, std::string("a text, not data"));
    putData(Keys::userProfile, "[1]");
    putData("userProfile.unreadable", "older");
    auto model = make(stateCatalog());
    model->saveSetup("Desk", "desktopcomputer");
    EXPECT_EQ(storedData("velmora_setups.unreadable"), damaged);
    auto saved = Setup::decodeList(storedData(Keys::setups));
    ASSERT_TRUE(saved.ok() && saved.value().size() == 1U);
    EXPECT_EQ(saved.value()[0].name, "Desk");
    const int writesBefore = store->writes;
    model->saveSetup("Sofa", "sofa");
    EXPECT_EQ(store->writes, writesBefore + 1) << "the copy is made once";
    EXPECT_EQ(store->copies, 1);

    model->addRule({"R", AutomationRule::Kind::onWake, "", true, 0, 0, 0, "", ""});
    EXPECT_EQ(std::get<std::string>(store->values.at("velmora_automation_rules.unreadable")),
              "a text, not data");
    model->saveProfile({UserField::student}, {}, DeviceKind::laptop);
    model->saveProfile({UserField::student}, {}, DeviceKind::laptop);
    EXPECT_EQ(store->copies, 3) << "tried once also where an older copy was kept instead";
    EXPECT_EQ(storedData("userProfile.unreadable"), "older");
    EXPECT_EQ(nlohmann::json::parse(storedData(Keys::userProfile)),
              nlohmann::json::parse(R"({"fields":["student"],"goals":[],"device":"laptop",)"
                                    R"("completedOnboarding":true})"));
}

// Two scenes under one id would be deleted together with no copy kept: the later one gets a fresh
// id, said at load, and the list is stored again once a copy of it as it was is kept aside.
TEST_F(ModelTest, RecordsSharingAnIdAreToldApartAtLoadAndDeletingOneKeepsTheOthers) {
    const auto sceneText = [](const char* id, const char* name) {
        return std::string(R"({"id":")") + id + R"(","name":")" + name +
               R"(","icon":"moon.fill","tweakIDs":[],"powerToggleIDs":[],"sliderValues":{},)"
               R"("lidClose":false})";
    };
    const std::string scenes = std::string("[")
                                   .append(sceneText("A", "Desk") + ",")
                                   .append(sceneText("B", "Sofa") + ",")
                                   .append(sceneText("A", "Train") + ",")
                                   .append(sceneText("A", "Bed") + "]");
    putData(Keys::setups, scenes);
    const std::string rule = R"({"id":"R","kind":"onWake","setupID":"A","enabled":true,)"
                             R"("threshold":0,"hour":0,"minute":0,"appBundleID":"","appName":""})";
    putData(Keys::rules, "[" + rule + "," + rule + "]");
    ::testing::internal::CaptureStderr();
    auto model = make(stateCatalog());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(said, ::testing::HasSubstr(R"(two stored scenes share the id "A"; the later one)"));
    EXPECT_THAT(said, ::testing::HasSubstr(R"(two stored rules share the id "R")"));

    std::vector<std::string> names, ids;
    for (const auto& scene : model->setups()) {
        names.push_back(scene.name);
        ids.push_back(scene.id);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Desk", "Sofa", "Train", "Bed"}));
    EXPECT_EQ(ids[0], "A") << "the first keeps its id, and the rules naming it";
    EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), 4U);
    EXPECT_NE(model->rules().at(0).id, model->rules().at(1).id);
    EXPECT_EQ(storedData("velmora_setups.shared-ids"), scenes);
    const auto stored = Setup::decodeList(storedData(Keys::setups));
    ASSERT_TRUE(stored.ok());
    EXPECT_EQ(stored.value(), model->setups());

    model->deleteSetup(model->setups().at(2));
    names.clear();
    for (const auto& scene : model->setups()) {
        names.push_back(scene.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Desk", "Sofa", "Bed"}));
    model->deleteRule(model->rules().at(0));
    EXPECT_EQ(model->rules().size(), 1U);
    EXPECT_EQ(storedData("velmora_setups.shared-ids"), scenes) << "the copy is made once";

    // The next start finds nothing to separate.
    ::testing::internal::CaptureStderr();
    auto next = make(stateCatalog());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(next->setups(), model->setups());
}

// A field of a newer version nested 100,000 levels deep used to exhaust the stack at every start.
// It now counts as unreadable: reported, left stored, and kept aside before it is replaced.
TEST_F(ModelTest, StoredDataNestedFarTooDeepIsUnreadableAndKeptNotACrash) {
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    const std::string profile = R"({"fields":[],"goals":[],"device":"desktop",)"
                                R"("completedOnboarding":true,"theme":)" +
                                deep + "}";
    putData(Keys::userProfile, profile);
    const std::string scenes = R"([{"id":"A","name":"Desk","icon":"moon.fill","tweakIDs":[],)"
                               R"("powerToggleIDs":[],"sliderValues":{},"lidClose":false,)"
                               R"("mood":)" +
                               deep + "}]";
    putData(Keys::setups, scenes);
    ::testing::internal::CaptureStderr();
    auto model = make(stateCatalog());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(said, ::testing::HasSubstr(R"("userProfile" could not be read (profile: nested)"));
    EXPECT_THAT(said, ::testing::HasSubstr(R"("velmora_setups" could not be read (scene list: )"));
    EXPECT_EQ(model->profile().device, DeviceKind::laptop) << "the default profile";
    EXPECT_TRUE(model->setups().empty());
    EXPECT_EQ(storedData(Keys::userProfile), profile);
    EXPECT_EQ(store->writes, 0);

    model->saveSetup("Sofa", "sofa");
    model->saveProfile({UserField::student}, {}, DeviceKind::laptop);
    EXPECT_EQ(storedData("velmora_setups.unreadable"), scenes);
    EXPECT_EQ(storedData("userProfile.unreadable"), profile);
}

TEST_F(ModelTest, AppliedRecipesFollowTheLiveTweakStatesAndAThrowingEngineOnlyUnappliesOne) {
    auto model = make(stateCatalog());
    EXPECT_EQ(model->appliedRecipeIDs(), std::set<std::string>{"r-off"})
        << "a recipe whose items are all off counts while those tweaks are off; an empty one never";
    backend->put(keyOf("t-a"), TweakValue::boolean(true));
    backend->put(keyOf("t-b"), TweakValue::boolean(true));
    backend->put(keyOf("t-c"), TweakValue::integer(1));  // strict kinds: int 1 is not true
    backend->unreadable.insert("t-a");
    model->refresh();
    EXPECT_EQ(model->appliedRecipeIDs(), (std::set<std::string>{"r-b", "r-off"}));
    EXPECT_EQ(model->lastError(), std::nullopt);
}

TEST_F(ModelTest, RefreshAndAssignmentsAnnounceEvenWhenNothingChanged) {
    auto model = make(stateCatalog());
    model->setWarmth(0.5);
    mac = {true, true, true, std::nullopt, {{"womp", "0"}}, {}};
    EXPECT_EQ(emitsOf([&] { model->refresh(); }), 9);
    EXPECT_EQ(emitsOf([&] { model->refresh(); }), 9) << "also when nothing changed";
    EXPECT_EQ(model->revision(), 3);
    EXPECT_TRUE(model->keepAwakeWithLidClosed() && model->onBattery() && model->darkMode());
    EXPECT_FALSE(model->nightShiftOn());
    EXPECT_EQ(model->pmsetCache(), mac.pmset);
    EXPECT_EQ(emitsOf([&] { model->setDarkMode(model->darkMode()); }), 1);
}

// The three readings of a refresh are tool runs that mostly wait: they run together, so a
// refresh takes about as long as the slowest of them, and each value still lands where it belongs.
TEST_F(ModelTest, ARefreshTakesTheReadingsTogetherAndKeepsEachValue) {
    constexpr std::chrono::milliseconds reading{80};
    auto model = make(stateCatalog());
    mac.keepAwake = true;
    mac.dark = true;
    mac.readingTakes = reading;
    const auto start = std::chrono::steady_clock::now();
    model->refresh();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, reading);
    EXPECT_LT(took, 2 * reading) << "one after another they take three times as long";
    EXPECT_TRUE(model->keepAwakeWithLidClosed());
    EXPECT_TRUE(model->darkMode());
    EXPECT_FALSE(model->onBattery());
}

// A view re-reading the model on the announcement must not see the new value yet, or it could not
// tell what changed.
TEST_F(ModelTest, EverySetterAnnouncesWhileItsFieldStillHoldsTheOldValue) {
    auto model = make(stateCatalog());
    AppModel& m = *model;
    const ::velmora::Setup scene{"S", "Scene", "moon.fill", {}, {}, {}, true};
    const AutomationRule rule{"R", AutomationRule::Kind::onWake, "S", true, 0, 0, 0, "", ""};
    UserProfile answered;
    answered.completedOnboarding = true;
    // Each setter with a value its field does not hold yet, and whether the field holds it.
    const std::vector<std::pair<std::function<void()>, std::function<bool()>>> setters{
        {[&] { m.setAppliedRecipeIDs({"x"}); }, [&] { return m.appliedRecipeIDs().contains("x"); }},
        {[&] { m.setFavoriteTweakIDs({"x"}); }, [&] { return !m.favoriteTweakIDs().empty(); }},
        {[&] { m.setFavoriteRecipeIDs({"x"}); }, [&] { return !m.favoriteRecipeIDs().empty(); }},
        {[&] { m.setFavoritePowerTweakIDs({"x"}); },
         [&] { return !m.favoritePowerTweakIDs().empty(); }},
        {[&] { m.setKeepAwakeWithLidClosed(true); }, [&] { return m.keepAwakeWithLidClosed(); }},
        {[&] { m.setNightShiftOn(true); }, [&] { return m.nightShiftOn(); }},
        {[&] { m.setNightShiftStrength(0.5); }, [&] { return m.nightShiftStrength() == 0.5; }},
        {[&] { m.setDarkMode(true); }, [&] { return m.darkMode(); }},
        {[&] { m.setOnBattery(true); }, [&] { return m.onBattery(); }},
        {[&] {
             m.setPmsetCache({{"k", "v"}});
         },
         [&] { return m.pmsetCache().contains("k"); }},
        {[&] {
             m.setSuggestion(Suggestion{"x", false, "why"});
         },
         [&] { return m.suggestion() && m.suggestion()->reason == "why"; }},
        {[&] { m.setProfile(answered); }, [&] { return m.profile().completedOnboarding; }},
        {[&] { m.setLastError("x"); }, [&] { return m.lastError() == "x"; }},
        {[&] { m.setRevision(99); }, [&] { return m.revision() == 99; }},
        {[&] { m.setFavoritePower(true); }, [&] { return m.favoritePower(); }},
        {[&] { m.setSetups({scene}); }, [&] { return !m.setups().empty(); }},
        {[&] { m.setRules({rule}); }, [&] { return !m.rules().empty(); }},
    };
    for (std::size_t i = 0; i < setters.size(); ++i) {
        const auto& [assign, holdsNew] = setters[i];
        ASSERT_FALSE(holdsNew()) << "setter " << i;
        std::optional<bool> newAtAnnouncement;
        const auto connection =
            QObject::connect(&m, &AppModel::objectWillChange,
                             [&, &holds = holdsNew] { newAtAnnouncement = holds(); });
        assign();
        QObject::disconnect(connection);
        EXPECT_EQ(newAtAnnouncement, false) << "setter " << i;
        EXPECT_TRUE(holdsNew()) << "setter " << i;
    }
}

}  // namespace
}  // namespace velmora::testing
