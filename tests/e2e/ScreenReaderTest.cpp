// The window as a screen reader user meets it over AT-SPI: each setting row is heard once, as a
// switch named by its title with its summary after it; the reader's own "toggle" command switches
// the power-up, not only the look of the switch; and the reader is told as the switch turns and
// as the sidebar's chosen page moves.
#include "tests/e2e/EndToEnd.hpp"

namespace velmora::e2e {
namespace {

const std::vector<Seek> kJpg{{"check box", "Save screenshots as JPG"}};
const std::vector<Seek> kHome{{"page tab", "Home"}};
const std::vector<Seek> kBrowse{{"page tab", "Browse all"}};

TEST_F(EndToEnd, AScreenReaderHearsARowOnceAndItsToggleCommandSwitchesThePowerUp) {
    storeOnboardedProfile();
    launch();
    goTo("Browse all");
    EXPECT_TRUE(waitFor([&] {
        return announced(shown(kBrowse), "selected", true) &&
               announced(shown(kHome), "selected", false);
    })) << "the reader is told the chosen page moved";

    const Accessible jpg = shown(kJpg);
    EXPECT_EQ(jpg.description(), "Saves screenshots as smaller JPG files instead of PNG.");
    EXPECT_FALSE(find({{"label", "Save screenshots as JPG"}}).has_value())
        << "the title is heard once, as the switch's name:\n"
        << onScreen();
    EXPECT_FALSE(find({{"label", "Saves screenshots as smaller JPG files instead of PNG."}}))
        << "the summary is heard once, as the switch's description";

    ASSERT_TRUE(jpg.doAction("Toggle"));
    EXPECT_TRUE(waitFor([&] {
        return stored("com.apple.screencapture", "type") == StoredValue{"string", "jpg"};
    })) << "the reader's toggle switched the power-up on";
    EXPECT_TRUE(waitFor([&] { return checked(kJpg) && announced(jpg, "checked", true); }))
        << "the switch shows it, and the reader is told";
}

}  // namespace
}  // namespace velmora::e2e
