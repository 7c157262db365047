// The search rule: words of a query, widened by synonym groups, found as substrings of a text.
#include <gtest/gtest.h>

#include "kit/Catalog.hpp"
#include "kit/Search.hpp"

namespace velmora {
namespace {

using Tokens = std::vector<std::string>;

TEST(SearchTokens, LettersAndNumbersFormWordsEverythingElseSeparates) {
    EXPECT_EQ(Search::tokens("wi-fi"), (Tokens{"wi", "fi"}));
    EXPECT_EQ(Search::tokens("ds_store"), (Tokens{"ds", "store"}));
    EXPECT_EQ(Search::tokens("  dock,,finder  "), (Tokens{"dock", "finder"}));
    EXPECT_EQ(Search::tokens("macos 14.2"), (Tokens{"macos", "14", "2"}));
    // Unicode letters and numbers, not just ASCII ones.
    EXPECT_EQ(Search::tokens("\u00e9cran\u00a0\u00bd"), (Tokens{"\u00e9cran", "\u00bd"}));
    EXPECT_EQ(Search::tokens("\u0437\u0432\u0443\u043a/\u97f3"),
              (Tokens{"\u0437\u0432\u0443\u043a", "\u97f3"}));
    // A combining accent belongs to its letter instead of splitting the word.
    EXPECT_EQ(Search::tokens("cafe\u0301 bar"), (Tokens{"cafe\u0301", "bar"}));
}

TEST(SearchTokens, LowerCasingIsFullUnicodeWithoutLocaleOrFolding) {
    EXPECT_EQ(Search::lowercased("\u00c9CRAN"), "\u00e9cran");  // accents stay
    EXPECT_EQ(Search::lowercased("\u0130"), "i\u0307");         // full mapping, not Turkish rules
    EXPECT_EQ(Search::lowercased("\u039f\u0394\u039f\u03a3"), "\u03bf\u03b4\u03bf\u03c2");
    EXPECT_EQ(Search::lowercased("\uff21"), "\uff41");  // width stays
}

// One case per rule: words without a query match nothing; case does not matter but accents do;
// words under three characters are not widened; a longer word takes every synonym group one of
// whose words it begins or that begins with it, on whole characters; terms are substrings; every
// word of the query must match, and the terms of one word are alternatives.
TEST(SearchMatches, EachRuleOnItsOwn) {
    struct Case {
        const char* query;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"", "anything at all", false},
        {"!!!", "!!! anything", false},
        {"\u3000", "\u3000", false},  // an ideographic space is no word either
        {"FINDER", "show the finder path bar", true},
        {"\u00c9CRAN", "mon \u00e9cran", true},
        {"ecran", "mon \u00e9cran", false},
        {"sp", "fast", false},  // would reach group 1 through "speed"
        {"keyboards", "typing", true},
        {"screensaver", "power nap", true},
        {"screensaver", "no thumbnail", true},
        {"tracking", "siri", true},
        {"the", "dark", true},
        {"cat", "a dog", false},
        {"finder", "dock", false},
        {"speede\u0301", "smooth", true},
        {"lag\u0301", "smooth", false},  // "lag" ends inside g + combining accent
        {"internet", "show wi-fi in the menu bar", true},
        {"files", "no ds_store files", true},
        {"dock", "com.apple.dock", true},
        {"sp", "wasp", true},
        {"cat", "c a t", false},
        {"dock finder", "dock icons in the finder", true},
        {"dock finder", "dock icons only", false},
        {"ds_store", "a ds file", false},
    };
    for (const auto& [query, text, expected] : cases) {
        SCOPED_TRACE(std::string(query) + " in " + text);
        EXPECT_EQ(Search::matches(query, text), expected);
        // A compiled query and a prepared text agree with the one-off call.
        EXPECT_EQ(Search::Query(query).matches(Search::Haystack(text)), expected);
    }
}

TEST(SearchQuery, ThePreparedTextNeverLosesAMatch) {
    // The digest of a prepared text only rules terms out; it must agree with a plain scan.
    std::vector<std::string> texts;
    for (const Tweak& tweak : Catalog::velmora().tweaks()) {
        texts.push_back(tweak.title + " " + tweak.summary + " " + tweak.toggle().key.domain);
    }
    texts.emplace_back("\u00c9cran \u00e9teint \u2014 caf\u00e9 ds_store wi-fi");
    for (const char* query : {"a", "e", "dock", "fast", "screensaver", "the", "mode", "ds_store",
                              "wi-fi", "caf\u00e9", "\u00e9cran", "x", "14", "zz", "ion"}) {
        const Search::Query prepared(query);
        for (const std::string& text : texts) {
            EXPECT_EQ(prepared.matches(Search::Haystack(text)), prepared.matches(text))
                << query << " in " << text;
        }
    }
}

}  // namespace
}  // namespace velmora
