// Scenes and automation rules: their texts and a stored form that refuses every kind of bad input.
#include <cmath>
#include <limits>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "kit/AutomationRule.hpp"
#include "kit/JsonWrite.hpp"
#include "kit/Setup.hpp"

namespace velmora {
namespace {

using ::testing::HasSubstr;
using Json = nlohmann::json;
using Kind = AutomationRule::Kind;
// Inside a test body gtest's own Setup member hides the record's name.
using Scene = ::velmora::Setup;

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

TEST(Setup, JsonWritesEveryKeyAndRoundTrips) {
    Scene empty{"E", "Empty", "moon.fill", {}, {}, {}, false};
    EXPECT_EQ(empty.toJson(), Json::parse(R"({"id":"E","name":"Empty","icon":"moon.fill",
        "tweakIDs":[],"powerToggleIDs":[],"sliderValues":{},"lidClose":false})"));

    auto list = Scene::decodeList(Scene::encodeList({workScene(), empty}));
    ASSERT_TRUE(list) << list.error();
    ASSERT_EQ(list.value().size(), 2u);
    EXPECT_EQ(list.value()[0], workScene());
    EXPECT_EQ(list.value()[1], empty);

    // Whole numbers are fine for sliders, and keys added later are ignored.
    Json stored = workScene().toJson();
    stored["sliderValues"]["slider-dock-size"] = 64;
    stored["addedLater"] = "ignored";
    auto decoded = Scene::fromJson(stored);
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded.value().sliderValues.at("slider-dock-size"), 64.0);
}

TEST(Setup, BadStoredScenesFailWithAClearReason) {
    struct Case {
        const char* key;
        Json value;  // null means: remove the key
        const char* reason;
    };
    const Case cases[] = {
        {"lidClose", nullptr, "missing key \"lidClose\""},
        {"id", nullptr, "missing key \"id\""},
        {"name", 5, "\"name\" must be a string"},
        {"lidClose", 1, "\"lidClose\" must be true or false"},
        {"tweakIDs", "dock-autohide", "\"tweakIDs\" must be an array"},
        {"tweakIDs", Json::array({"a", 1}), "\"tweakIDs\" must hold strings"},
        {"powerToggleIDs", Json::object(), "\"powerToggleIDs\" must be an array"},
        {"sliderValues", Json::array(), "\"sliderValues\" must be an object"},
        {"sliderValues", Json{{"slider-dock-size", true}}, "\"slider-dock-size\" must be a number"},
        {"sliderValues", Json{{"slider-dock-size", "48"}}, "\"slider-dock-size\" must be a number"},
        {"sliderValues", Json{{"slider-dock-size", nullptr}}, "must be a number"},
    };
    for (const auto& [key, value, reason] : cases) {
        Json stored = workScene().toJson();
        if (value.is_null() && std::string(key) != "sliderValues") {
            stored.erase(key);
        } else {
            stored[key] = value;
        }
        auto decoded = Scene::fromJson(stored);
        EXPECT_FALSE(decoded) << key;
        EXPECT_THAT(decoded.error(), HasSubstr(reason)) << key;
        EXPECT_THAT(decoded.error(), HasSubstr("scene: "));
    }
    EXPECT_THAT(Scene::fromJson(Json::array()).error(), HasSubstr("must be a JSON object"));
}

TEST(Setup, NonFiniteSliderValueAndBadTextAreRefusedOnEncode) {
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        Scene scene = workScene();
        scene.sliderValues["slider-dock-size"] = bad;
        try {
            (void)Scene::encodeList({Scene{"ok", "", "", {}, {}, {}, false}, scene});
            ADD_FAILURE() << "encoded a non-finite slider value";
        } catch (const json::EncodeError& e) {
            EXPECT_THAT(e.what(), HasSubstr("scene \"Work\": slider \"slider-dock-size\""));
            EXPECT_THAT(e.what(), HasSubstr("not a finite number"));
        }
    }
    Scene notUtf8 = workScene();
    notUtf8.name = "Wo\xffrk";
    EXPECT_THROW((void)Scene::encodeList({notUtf8}), json::EncodeError);  // not nlohmann's own
}

TEST(Setup, OneBadSceneFailsTheWholeList) {
    Json list = Json::array({workScene().toJson(), workScene().toJson(), workScene().toJson()});
    list[1].erase("lidClose");
    auto decoded = Scene::decodeList(list.dump());
    EXPECT_FALSE(decoded);
    EXPECT_EQ(decoded.error(), "scene 2 of 3: missing key \"lidClose\"");

    EXPECT_EQ(Scene::decodeList("[{").error(), "scene list: not valid JSON");
    EXPECT_EQ(Scene::decodeList("{}").error(), "scene list: not a JSON array");
    EXPECT_EQ(Scene::decodeList("[1]").error(), "scene 1 of 1: a scene must be a JSON object");
    // What nlohmann would have written for NaN: a null that must not decode as 0.
    EXPECT_FALSE(Scene::decodeList(
        R"([{"id":"A","name":"","icon":"","tweakIDs":[],"powerToggleIDs":[],
             "sliderValues":{"s":null},"lidClose":false}])"));
    auto empty = Scene::decodeList("[]");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty.value().empty());
}

TEST(AutomationRule, TwelveHourTimesAndBlankAppNames) {
    const std::pair<int, const char*> times[] = {{0, "Every day at 12:05 AM"},
                                                 {9, "Every day at 9:05 AM"},
                                                 {12, "Every day at 12:05 PM"},
                                                 {23, "Every day at 11:05 PM"}};
    for (const auto& [hour, text] : times) {
        AutomationRule r = rule(Kind::atTime);
        r.hour = hour;
        r.minute = 5;
        EXPECT_EQ(r.describe(), text);
    }
    AutomationRule unnamed = rule(Kind::appLaunched);
    unnamed.appName = "";
    EXPECT_EQ(unnamed.describe(), "When an app opens");
    unnamed.appName = " ";
    EXPECT_EQ(unnamed.describe(), "When   opens");
}

TEST(AutomationRule, JsonWritesEveryKeyAndRoundTrips) {
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
    struct Case {
        const char* key;
        Json value;  // discarded means: remove the key
        const char* reason;
    };
    const Json remove(Json::value_t::discarded);
    const Case cases[] = {
        {"enabled", remove, "missing key \"enabled\""},
        {"appName", remove, "missing key \"appName\""},
        {"threshold", 20.5, "\"threshold\" must be a whole number"},
        {"threshold", true, "\"threshold\" must be a whole number"},
        {"threshold", "20", "\"threshold\" must be a whole number"},
        {"hour", 9.0, "\"hour\" must be a whole number"},
        {"minute", 18446744073709551615ull, "\"minute\" is out of range"},
        {"enabled", 1, "\"enabled\" must be true or false"},
        {"kind", "BatteryBelow", "\"kind\" holds an unknown value \"BatteryBelow\""},
        {"kind", "sunset", "unknown value \"sunset\""},
        {"kind", 2, "\"kind\" must hold strings"},
        {"setupID", nullptr, "\"setupID\" must be a string"},
    };
    for (const auto& [key, value, reason] : cases) {
        Json stored = rule(Kind::batteryBelow).toJson();
        if (value.is_discarded()) {
            stored.erase(key);
        } else {
            stored[key] = value;
        }
        auto decoded = AutomationRule::fromJson(stored);
        EXPECT_FALSE(decoded) << key;
        EXPECT_THAT(decoded.error(), HasSubstr(reason)) << key;
        EXPECT_THAT(decoded.error(), HasSubstr("rule: "));
    }
    // One bad rule fails the whole list.
    Json list = Json::array({rule(Kind::onWake).toJson(), rule(Kind::atTime).toJson()});
    list[1]["kind"] = "attime";
    EXPECT_EQ(AutomationRule::decodeList(list.dump()).error(),
              "rule 2 of 2: \"kind\" holds an unknown value \"attime\"");
}

}  // namespace
}  // namespace velmora
