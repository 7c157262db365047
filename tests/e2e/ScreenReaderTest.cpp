// The window as a screen reader user meets it over AT-SPI: each setting row is heard once, as a
// switch named by its title with its summary after it; the reader's own "toggle" command switches
// the power-up, not only the look of the switch; and the reader is told each time the switch
// turns, whoever turned it (the reader, the mouse, a scene, the keyboard), and as the sidebar's
// chosen page moves.
#include "kit/Setup.hpp"
#include "tests/e2e/EndToEnd.hpp"

namespace velmora::e2e {
namespace {

const std::vector<Seek> kJpg{{"check box", "Save screenshots as JPG"}};
const std::vector<Seek> kHome{{"page tab", "Home"}};
const std::vector<Seek> kBrowse{{"page tab", "Browse all"}};
constexpr const char* kSceneName = "Shots";

TEST_F(EndToEnd, AScreenReaderHearsARowOnceAndIsToldEachTimeItsSwitchTurns) {
    storeOnboardedProfile();
    velmora::Setup scene;
    scene.id = "scene-shots";
    scene.name = kSceneName;
    scene.icon = SetupIcons::all().front();
    scene.tweakIDs = {"screenshot-format-jpg"};
    storeAppData("velmora_setups", velmora::Setup::encodeList({scene}));
    launch();
    goTo("Browse all");
    EXPECT_TRUE(waitFor([&] {
        return announced(shown(kBrowse), "selected", true) > 0 &&
               announced(shown(kHome), "selected", false) > 0;
    })) << "the reader is told the chosen page moved";

    const Accessible jpg = shown(kJpg);
    EXPECT_EQ(jpg.description(), "Saves screenshots as smaller JPG files instead of PNG.");
    EXPECT_FALSE(find({{"label", "Save screenshots as JPG"}}).has_value())
        << "the title is heard once, as the switch's name:\n"
        << onScreen();
    EXPECT_FALSE(find({{"label", "Saves screenshots as smaller JPG files instead of PNG."}}))
        << "the summary is heard once, as the switch's description";

    const auto isJpg = [&] {
        return stored("com.apple.screencapture", "type") == StoredValue{"string", "jpg"};
    };
    // Each way of turning it: the switch shows it, and the reader is told.
    const auto turned = [&](bool on, int times) {
        return waitFor([&] {
            return isJpg() == on && checked(kJpg) == on && announced(jpg, "checked", on) == times;
        });
    };
    ASSERT_TRUE(jpg.doAction("Toggle"));
    EXPECT_TRUE(turned(true, 1)) << "by the reader's toggle command";
    click(kJpg);
    EXPECT_TRUE(turned(false, 1)) << "by the mouse";
    click({{"push button", kSceneName}});
    EXPECT_TRUE(turned(true, 2)) << "by a scene";
    ASSERT_TRUE(jpg.doAction("SetFocus"));
    x().chord({"space"});
    EXPECT_TRUE(turned(false, 2)) << "by the keyboard";
}

}  // namespace
}  // namespace velmora::e2e
