// Scenes, automation rules and the profile as stored: their texts, a form that refuses every kind
// of bad input, and fields of newer versions kept.
#include <cmath>
#include <limits>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "kit/AutomationRule.hpp"
#include "kit/JsonWrite.hpp"
#include "kit/Setup.hpp"
#include "kit/StoredJson.hpp"
#include "kit/UserProfile.hpp"

namespace velmora {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using Json = nlohmann::json;
using Kind = AutomationRule::Kind;
// Inside a test body gtest's own Setup member hides the record's name.
using Scene = ::velmora::Setup;

const Json kRemove(Json::value_t::discarded);

Scene workScene() {
    return Scene{"A1",
                 "Work",
                 "briefcase.fill",
                 {"dock-autohide", "finder-path-bar"},
                 {"power-nap"},
                 {{"slider-dock-size", 48.5}, {"slider-key-repeat", 2.0}},
                 true};
}

AutomationRule rule(Kind kind) {
    return AutomationRule{"R1", kind, "A1", true, 20, 9, 30, "com.apple.Safari", "Safari"};
}

using BadCase = std::tuple<const char*, Json, const char*>;  // kRemove: the key is left out

// Each case changes one key of a good stored record; the decoder must refuse it with the reason.
template <class Record>
void expectRefused(const Json& good, const std::vector<BadCase>& cases, const char* prefix) {
    for (const auto& [key, value, reason] : cases) {
        Json stored = good;
        value.is_discarded() ? (void)stored.erase(key) : (void)(stored[key] = value);
        const auto decoded = Record::fromJson(stored);
        ASSERT_FALSE(decoded) << key;
        EXPECT_THAT(decoded.error(), AllOf(HasSubstr(reason), HasSubstr(prefix)));
    }
}

TEST(Setup, JsonRoundTrips) {
    Scene empty{"E", "Empty", "moon.fill", {}, {}, {}, false};
    auto list = Scene::decodeList(Scene::encodeList({workScene(), empty}));
    ASSERT_TRUE(list) << list.error();
    EXPECT_EQ(list.value(), (std::vector<Scene>{workScene(), empty}));
}

TEST(Setup, BadStoredScenesAndListsFailWithAClearReason) {
    expectRefused<Scene>(
        workScene().toJson(),
        {{"lidClose", kRemove, "missing key \"lidClose\""},
         {"name", 5, "\"name\" must be a string"},
         {"lidClose", 1, "\"lidClose\" must be true or false"},
         {"tweakIDs", "dock-autohide", "\"tweakIDs\" must be an array"},
         {"tweakIDs", Json::array({"a", 1}), "\"tweakIDs\" must hold strings"},
         {"sliderValues", Json::array(), "\"sliderValues\" must be an object"},
         {"sliderValues", Json{{"slider-dock-size", true}},
          "\"slider-dock-size\" must be a number"},
         // What nlohmann would have written for NaN: a null that must not decode as 0.
         {"sliderValues", Json{{"slider-dock-size", nullptr}}, "must be a number"}},
        "scene: ");
    EXPECT_THAT(Scene::fromJson(Json::array()).error(), HasSubstr("must be a JSON object"));
    Json list = Json::array({workScene().toJson(), workScene().toJson(), workScene().toJson()});
    list[1].erase("lidClose");
    EXPECT_EQ(Scene::decodeList(list.dump()).error(), "scene 2 of 3: missing key \"lidClose\"");
    EXPECT_EQ(Scene::decodeList("[{").error(), "scene list: not valid JSON");
    EXPECT_EQ(Scene::decodeList("{}").error(), "scene list: not a JSON array");
}

TEST(Setup, NonFiniteSliderValueAndBadTextAreRefusedOnEncode) {
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        Scene scene = workScene();
        scene.sliderValues["slider-dock-size"] = bad;
        EXPECT_THAT(
            [&] {
                (void)Scene::encodeList({Scene{"ok", "", "", {}, {}, {}, false}, scene});
            },
            ::testing::ThrowsMessage<json::EncodeError>(
                AllOf(HasSubstr("scene \"Work\": slider \"slider-dock-size\""),
                      HasSubstr("not a finite number"))));
    }
    Scene notUtf8 = workScene();
    notUtf8.name = "Wo\xffrk";
    EXPECT_THROW((void)Scene::encodeList({notUtf8}), json::EncodeError);  // not nlohmann's own
}

TEST(AutomationRule, TwelveHourTimesAndRoundTrip) {
    AutomationRule r = rule(Kind::atTime);
    for (const auto& [hour, text] : {std::pair{0, "Every day at 12:30 AM"},
                                     {12, "Every day at 12:30 PM"},
                                     {23, "Every day at 11:30 PM"}}) {
        r.hour = hour;
        EXPECT_EQ(r.describe(), text);
    }
    EXPECT_EQ(rule(Kind::batteryBelow).toJson(),
              Json::parse(R"({"id":"R1","kind":"batteryBelow","setupID":"A1","enabled":true,
                  "threshold":20,"hour":9,"minute":30,"appBundleID":"com.apple.Safari",
                  "appName":"Safari"})"));
    std::vector<AutomationRule> rules;
    for (Kind kind : allCases<Kind>()) {
        rules.push_back(rule(kind));
    }
    auto decoded = AutomationRule::decodeList(AutomationRule::encodeList(rules));
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded.value(), rules);
}

TEST(AutomationRule, BadStoredRulesFailWithAClearReasonAndTakeTheListWithThem) {
    expectRefused<AutomationRule>(
        rule(Kind::batteryBelow).toJson(),
        {{"appName", kRemove, "missing key \"appName\""},
         {"threshold", true, "\"threshold\" must be a whole number"},
         {"hour", 9.0, "\"hour\" must be a whole number"},
         {"minute", 18446744073709551615ull, "\"minute\" is out of range"},
         {"enabled", 1, "\"enabled\" must be true or false"},
         {"kind", "BatteryBelow", "\"kind\" holds an unknown value \"BatteryBelow\""},
         {"kind", 2, "\"kind\" must hold strings"},
         {"setupID", nullptr, "\"setupID\" must be a string"}},
        "rule: ");
    Json list = Json::array({rule(Kind::onWake).toJson(), rule(Kind::atTime).toJson()});
    list[1]["kind"] = "attime";
    EXPECT_EQ(AutomationRule::decodeList(list.dump()).error(),
              "rule 2 of 2: \"kind\" holds an unknown value \"attime\"");
}

// A newer version's fields must survive this version's next save of the record, or moving between
// versions loses settings; the known fields are written exactly as before.
TEST(StoredRecords, FieldsOfANewerVersionSurviveALoadAndASave) {
    const Json extra{{"mood", {{"level", 3}, {"tags", {"calm", 1}}}}, {"zOrder", nullptr}};
    const auto roundTrip = [&](const Json& known, auto decode) {
        Json stored = known;
        stored.update(extra);
        const auto decoded = decode(stored);
        ASSERT_TRUE(decoded) << decoded.error();
        EXPECT_EQ(decoded.value().toJson(), stored);
        EXPECT_EQ(std::remove_cvref_t<decltype(decoded.value())>::fromJson(known).value(),
                  decoded.value())
            << "equality is that of the known fields";
    };
    roundTrip(workScene().toJson(), Scene::fromJson);
    roundTrip(rule(Kind::appLaunched).toJson(), AutomationRule::fromJson);
    UserProfile profile;
    profile.goals = {UserGoal::focus};
    roundTrip(profile.toJson(), UserProfile::fromJson);
    // Through a whole stored list too.
    Json scenes = Json::array({workScene().toJson()});
    scenes[0].update(extra);
    EXPECT_EQ(Json::parse(Scene::encodeList(Scene::decodeList(scenes.dump()).value())), scenes);
}

// A newer version's field nested a little deeper still loads; one nested 100,000 levels (damage,
// or an attack) fails the list with its reason instead of exhausting the stack. Brackets inside
// texts are no nesting.
TEST(StoredRecords, NestingFarBeyondWhatAnyVersionWritesFailsTheListWithoutCrashing) {
    const auto nested = [](std::size_t depth) {
        return std::string(depth, '[') + "1" + std::string(depth, ']');
    };
    const auto sceneWith = [](const std::string& field) {
        std::string text = Scene::encodeList({workScene()});
        text.insert(text.size() - 2, ",\"deep\":" + field);
        return text;
    };
    const std::string allowed = nested(json::maxStoredDepth - 2);  // the list and the scene
    const auto kept = Scene::decodeList(sceneWith(allowed));
    ASSERT_TRUE(kept) << kept.error();
    EXPECT_EQ(Json::parse(Scene::encodeList(kept.value()))[0]["deep"], Json::parse(allowed));

    const std::string hostile = nested(100'000);
    const auto scenes = Scene::decodeList(sceneWith(hostile));
    ASSERT_FALSE(scenes);
    EXPECT_EQ(scenes.error(), "scene list: nested deeper than 128 levels");
    std::string rules = AutomationRule::encodeList({rule(Kind::onWake)});
    rules.insert(rules.size() - 2, ",\"deep\":" + hostile);
    EXPECT_THAT(AutomationRule::decodeList(rules).error(), HasSubstr("nested deeper than"));
    EXPECT_FALSE(Scene::decodeList(sceneWith(nested(json::maxStoredDepth - 1))));

    Scene bracketed = workScene();
    bracketed.name = std::string(1000, '[') + "\"\\" + std::string(1000, '{');
    const auto named = Scene::decodeList(Scene::encodeList({bracketed}));
    ASSERT_TRUE(named) << named.error();
    EXPECT_EQ(named.value()[0].name, bracketed.name);
}

}  // namespace
}  // namespace velmora
