// Strictness of values, the error texts and the profile's stored form.
#include <cmath>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "kit/Tweak.hpp"
#include "kit/VelmoraError.hpp"

namespace velmora {
namespace {

TEST(TweakValue, EqualityIsStrictByKindAndDescriptionUsesThePlatformForm) {
    EXPECT_FALSE(TweakValue::boolean(true) == TweakValue::integer(1));
    EXPECT_FALSE(TweakValue::integer(1) == TweakValue::real(1.0));
    EXPECT_FALSE(TweakValue::real(NAN) == TweakValue::real(NAN));
    EXPECT_EQ(TweakValue::real(2.0).description(), "double(2.0)");
    EXPECT_EQ(TweakValue::real(0.1).description(), "double(0.1)");
    EXPECT_EQ(TweakValue::string("a\"b").description(), "string(\"a\\\"b\")");
}

TEST(VelmoraError, DescriptionIsCaseNameWithLabelledPayload) {
    EXPECT_EQ(VelmoraError::restartsFailed({"Dock", "Finder"}).description(),
              "restartsFailed(services: [\"Dock\", \"Finder\"])");
    // Messages from system tools often hold apostrophes, which the platform's form escapes.
    EXPECT_EQ(VelmoraError::powerCommandFailed("can't\x01").description(),
              "powerCommandFailed(reason: \"can\\'t\\u{01}\")");
    EXPECT_STREQ(VelmoraError::unexpectedHelperResponse().what(), "unexpectedHelperResponse");
}

TEST(UserProfile, JsonRoundTripAndStrictDecoding) {
    const auto back = UserProfile::fromJson(UserProfile{}.toJson());
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_EQ(back.value(), UserProfile{});
    auto dup = UserProfile::fromJson(nlohmann::json::parse(
        R"({"fields":["writer","writer"],"goals":[],"device":"desktop","completedOnboarding":true})"));
    ASSERT_TRUE(dup.ok());
    EXPECT_EQ(dup.value().fields.size(), 1u);
    EXPECT_EQ(dup.value().device, DeviceKind::desktop);
    for (const char* bad : {
             R"({"fields":[],"goals":[],"device":"Laptop","completedOnboarding":true})",
             R"({"fields":[],"goals":[],"device":"laptop"})",
             R"({"fields":[],"goals":[],"device":"laptop","completedOnboarding":1})",
             R"({"fields":["photovideo"],"goals":[],"device":"laptop","completedOnboarding":true})",
             R"({"fields":"writer","goals":[],"device":"laptop","completedOnboarding":true})",
             R"([1,2])",
         }) {
        EXPECT_FALSE(UserProfile::fromJson(nlohmann::json::parse(bad)).ok()) << bad;
    }
}

}  // namespace
}  // namespace velmora
