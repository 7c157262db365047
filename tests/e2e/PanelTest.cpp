// The tray's panel: it opens under the spiral, and a recipe's one click writes every key of its
// power-ups into the domain files and shows the recipe applied; the second click puts back
// exactly what each key held and shows it off again.
#include "tests/e2e/EndToEnd.hpp"

namespace velmora::e2e {
namespace {

struct Key {
    std::string domain;
    std::string key;
    std::optional<StoredValue> applied;   // what the recipe writes
    std::optional<StoredValue> restored;  // what the key held before (none: absent)
};

// Developer Setup's seven power-ups. Two keys held values of other types before: the revert
// must give back the string and the integer, not the recipe's types.
const std::vector<Key>& developerSetupKeys() {
    static const std::vector<Key> keys{
        {"com.apple.finder", "AppleShowAllFiles", StoredValue{"bool", "true"}, std::nullopt},
        {"NSGlobalDomain", "AppleShowAllExtensions", StoredValue{"bool", "true"}, std::nullopt},
        {"NSGlobalDomain", "KeyRepeat", StoredValue{"integer", "2"}, StoredValue{"string", "6"}},
        {"NSGlobalDomain", "InitialKeyRepeat", StoredValue{"integer", "15"}, std::nullopt},
        {"NSGlobalDomain", "ApplePressAndHoldEnabled", StoredValue{"bool", "false"},
         StoredValue{"integer", "1"}},
        {"com.apple.desktopservices", "DSDontWriteNetworkStores", StoredValue{"bool", "true"},
         std::nullopt},
        {"NSGlobalDomain", "NSNavPanelExpandedStateForSaveMode", StoredValue{"bool", "true"},
         std::nullopt},
    };
    return keys;
}

const std::vector<Seek> kRecipeRow{{"check box", "Developer Setup"}};

TEST_F(EndToEnd, TheTrayPanelOpensUnderTheIconAndARecipeAppliesAndRevertsExactly) {
    storeOnboardedProfile();  // no sheet comes up to take the focus from the panel
    defaultsWrite("NSGlobalDomain", "KeyRepeat", "-string", "6");
    defaultsWrite("NSGlobalDomain", "ApplePressAndHoldEnabled", "-int", "1");
    launch();
    const Accessible panel = openPanel();
    const QRect icon = trayIcon();
    const QRect place = panel.extents();
    EXPECT_EQ(place.top(), icon.bottom() + 1) << "right under the icon";
    EXPECT_TRUE(place.left() <= icon.center().x() && icon.center().x() <= place.right())
        << "below the icon, kept on the screen";
    EXPECT_EQ(place.size(), QSize(326, 440));
    EXPECT_FALSE(checked(kRecipeRow));
    screenshot(QStringLiteral("panel"));

    click(kRecipeRow);
    for (const Key& key : developerSetupKeys()) {
        SCOPED_TRACE(key.domain + " " + key.key);
        EXPECT_TRUE(waitFor([&] { return stored(key.domain, key.key) == key.applied; }))
            << ::testing::PrintToString(stored(key.domain, key.key));
    }
    // As `defaults` shows them to anyone who looks.
    EXPECT_EQ(defaultsRead("NSGlobalDomain", "KeyRepeat"), "2");
    EXPECT_EQ(defaultsRead("com.apple.finder", "AppleShowAllFiles"), "1");
    EXPECT_TRUE(waitFor([&] { return checked(kRecipeRow); })) << "the row shows it applied";
    screenshot(QStringLiteral("applied"));

    click(kRecipeRow);
    for (const Key& key : developerSetupKeys()) {
        SCOPED_TRACE(key.domain + " " + key.key);
        EXPECT_TRUE(waitFor([&] { return stored(key.domain, key.key) == key.restored; }))
            << ::testing::PrintToString(stored(key.domain, key.key));
    }
    EXPECT_EQ(defaultsRead("NSGlobalDomain", "KeyRepeat"), "6");
    EXPECT_EQ(defaultsRead("com.apple.finder", "AppleShowAllFiles"), std::nullopt);
    EXPECT_TRUE(waitFor([&] { return !checked(kRecipeRow); })) << "the row shows it off again";
    EXPECT_TRUE(find({{"push button", "Quit"}}).has_value())
        << "a row's click leaves the panel open";
}

}  // namespace
}  // namespace velmora::e2e
