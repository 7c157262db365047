// The first start on a desktop with a tray: the spiral in the tray, the window in front, and the
// onboarding questionnaire over it, whose answers end up in the application's own domain file.
#include <nlohmann/json.hpp>

#include "tests/e2e/Desktop.hpp"
#include "tests/e2e/EndToEnd.hpp"

namespace velmora::e2e {
namespace {

const std::vector<Seek> kFirstQuestion{{"heading", "What do you do most?"}};

TEST_F(EndToEnd, FirstStartPutsTheSpiralInTheTrayAndTheWindowInFront) {
    launch();
    // The tray has embedded the icon: the X server shows it in the tray along the top edge.
    const QRect icon = trayIcon();
    EXPECT_LT(icon.top(), Desktop::trayHeight);
    EXPECT_FALSE(icon.isEmpty());
    // The window is in front: it, or the onboarding sheet over it on a first start, is the
    // program's window the window manager made active.
    const auto ours = [&] {
        const auto active = x().activeWindow();
        for (const XSession::Window& window : x().windowsOf(app().pid())) {
            if (active == window.id && window.viewable && !window.overrideRedirect) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(waitFor(ours)) << "active: " << x().describe(x().activeWindow().value_or(0));
    EXPECT_TRUE(window("Velmora").has_value()) << "a window titled Velmora:\n" << onScreen();
    EXPECT_FALSE(find({{"push button", "Quit"}}).has_value()) << "the panel stays closed";
    screenshot(QStringLiteral("first-start"));
}

TEST_F(EndToEnd, FirstStartAsksTheOnboardingQuestionsAndDoneStoresTheProfile) {
    launch();
    shown(kFirstQuestion);
    screenshot(QStringLiteral("onboarding"));
    click({{"check box", "Developer"}});
    EXPECT_TRUE(waitFor([&] {
        return checked({{"check box", "Developer"}});
    })) << "the chosen field says so";
    click({{"push button", "Continue"}});
    click({{"check box", "Speed"}});
    click({{"push button", "Continue"}});
    click({{"check box", "Laptop"}});
    click({{"push button", "Done"}});
    EXPECT_TRUE(waitFor([&] {
        return !find(kFirstQuestion) && !find({{"check box", "Laptop"}});
    })) << "the questions are gone:\n"
        << onScreen();

    std::optional<std::string> text;
    EXPECT_TRUE(waitFor([&] { return (text = appData("userProfile")).has_value(); }));
    ASSERT_TRUE(text.has_value()) << "no profile stored";
    const auto profile = nlohmann::json::parse(*text, nullptr, false);
    ASSERT_FALSE(profile.is_discarded()) << *text;
    EXPECT_EQ(profile.value("completedOnboarding", false), true) << *text;
    EXPECT_EQ(profile.value("fields", nlohmann::json()), nlohmann::json::array({"developer"}));
    EXPECT_EQ(profile.value("goals", nlohmann::json()), nlohmann::json::array({"speed"}));
    EXPECT_EQ(profile.value("device", std::string()), "laptop") << *text;
}

}  // namespace
}  // namespace velmora::e2e
