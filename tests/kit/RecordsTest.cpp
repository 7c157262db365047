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

TEST(Setup, ItemCountAddsListsMapAndLidClose) {
    Scene empty{"", "", "", {}, {}, {}, false};
    EXPECT_EQ(empty.itemCount(), 0);
    empty.lidClose = true;
    EXPECT_EQ(empty.itemCount(), 1);
    Scene nine{
        "",  "", "", {"a", "b", "c"}, {}, {{"s1", 1}, {"s2", 2}, {"s3", 3}, {"s4", 4}, {"s5", 5}},
        true};
    EXPECT_EQ(nine.itemCount(), 9);
    EXPECT_EQ(workScene().itemCount(), 6);
}

TEST(Setup, IconsInPickerOrder) {
    ASSERT_EQ(SetupIcons::all().size(), 12u);
    EXPECT_EQ(SetupIcons::all().front(), "square.stack.3d.up.fill");
    EXPECT_EQ(SetupIcons::all()[5], "gamecontroller.fill");
    EXPECT_EQ(SetupIcons::all().back(), "display");
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
}

TEST(Setup, AcceptsWholeNumbersForSlidersAndIgnoresUnknownKeys) {
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

TEST(Setup, NonFiniteSliderValueIsRefusedOnEncode) {
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
}

TEST(Setup, TextThatIsNotUtf8IsRefusedOnEncodeNotThrownRaw) {
    Scene scene = workScene();
    scene.name = "Wo\xffrk";
    EXPECT_THROW((void)Scene::encodeList({scene}), json::EncodeError);
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

TEST(AutomationRuleKind, TextsInPickerOrder) {
    ASSERT_EQ(allCases<Kind>().size(), 8u);
    EXPECT_EQ(allCases<Kind>().front(), Kind::onPower);
    EXPECT_EQ(allCases<Kind>().back(), Kind::onWake);
    EXPECT_EQ(label(Kind::batteryBelow), "Battery below\u2026");
    EXPECT_EQ(icon(Kind::displayDisconnected), "display.trianglebadge.exclamationmark");
    EXPECT_EQ(rawValue(Kind::appLaunched), "appLaunched");
    EXPECT_FALSE(fromRaw<Kind>("batterybelow"));
    EXPECT_FALSE(fromRaw<Kind>("OnPower"));
    for (Kind kind : allCases<Kind>()) {
        EXPECT_EQ(needsThreshold(kind), kind == Kind::batteryBelow);
        EXPECT_EQ(needsTime(kind), kind == Kind::atTime);
        EXPECT_EQ(needsApp(kind), kind == Kind::appLaunched);
        EXPECT_EQ(fromRaw<Kind>(rawValue(kind)), kind);
    }
}

TEST(AutomationRule, TimeStringUsesATwelveHourClock) {
    auto at = [](int hour, int minute) {
        AutomationRule r = rule(Kind::atTime);
        r.hour = hour;
        r.minute = minute;
        return r.timeString();
    };
    EXPECT_EQ(at(0, 5), "12:05 AM");
    EXPECT_EQ(at(9, 30), "9:30 AM");
    EXPECT_EQ(at(12, 0), "12:00 PM");
    EXPECT_EQ(at(12, 7), "12:07 PM");
    EXPECT_EQ(at(23, 59), "11:59 PM");
}

TEST(AutomationRule, DescribeEachKind) {
    EXPECT_EQ(rule(Kind::onPower).describe(), "When I plug in");
    EXPECT_EQ(rule(Kind::onBattery).describe(), "When I unplug");
    AutomationRule low = rule(Kind::batteryBelow);
    low.threshold = 5;
    EXPECT_EQ(low.describe(), "When battery drops below 5%");
    EXPECT_EQ(rule(Kind::displayConnected).describe(), "When an external display connects");
    EXPECT_EQ(rule(Kind::displayDisconnected).describe(), "When an external display disconnects");
    EXPECT_EQ(rule(Kind::atTime).describe(), "Every day at 9:30 AM");
    EXPECT_EQ(rule(Kind::appLaunched).describe(), "When Safari opens");
    AutomationRule unnamed = rule(Kind::appLaunched);
    unnamed.appName = "";
    EXPECT_EQ(unnamed.describe(), "When an app opens");
    unnamed.appName = " ";
    EXPECT_EQ(unnamed.describe(), "When   opens");
    EXPECT_EQ(rule(Kind::onWake).describe(), "When my Mac wakes up");
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

TEST(AutomationRule, BadStoredRulesFailWithAClearReason) {
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
}

TEST(AutomationRule, OneBadRuleFailsTheWholeList) {
    Json list = Json::array({rule(Kind::onWake).toJson(), rule(Kind::atTime).toJson()});
    list[1]["kind"] = "attime";
    auto decoded = AutomationRule::decodeList(list.dump());
    EXPECT_FALSE(decoded);
    EXPECT_EQ(decoded.error(), "rule 2 of 2: \"kind\" holds an unknown value \"attime\"");
}

}  // namespace
}  // namespace velmora
