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
    EXPECT_EQ(Search::tokens("!!!"), Tokens{});
    EXPECT_EQ(Search::tokens(""), Tokens{});
    // Unicode letters and numbers, not just ASCII ones.
    EXPECT_EQ(Search::tokens("\u00e9cran\u00a0\u00bd"), (Tokens{"\u00e9cran", "\u00bd"}));
    EXPECT_EQ(Search::tokens("\u0437\u0432\u0443\u043a/\u97f3"),
              (Tokens{"\u0437\u0432\u0443\u043a", "\u97f3"}));
    // A combining accent belongs to its letter instead of splitting the word.
    EXPECT_EQ(Search::tokens("cafe\u0301 bar"), (Tokens{"cafe\u0301", "bar"}));
}

TEST(SearchTokens, LowerCasingIsFullUnicodeWithoutLocaleOrFolding) {
    EXPECT_EQ(Search::lowercased("Finder DOCK"), "finder dock");
    EXPECT_EQ(Search::lowercased("\u00c9CRAN"), "\u00e9cran");  // accents stay
    EXPECT_EQ(Search::lowercased("\u0130"), "i\u0307");         // full mapping, not Turkish rules
    EXPECT_EQ(Search::lowercased("\u039f\u0394\u039f\u03a3"), "\u03bf\u03b4\u03bf\u03c2");
    EXPECT_EQ(Search::lowercased("\uff21"), "\uff41");  // width stays
}

TEST(SearchMatches, QueriesWithoutWordsMatchNothing) {
    EXPECT_FALSE(Search::matches("", "anything at all"));
    EXPECT_FALSE(Search::matches("   \t", "anything at all"));
    EXPECT_FALSE(Search::matches("!!!", "!!! anything"));
    EXPECT_FALSE(Search::Query("\u3000").hasTokens());  // ideographic space
}

TEST(SearchMatches, CaseOfQueryAndTextDoesNotMatter) {
    EXPECT_TRUE(Search::matches("FINDER", "show the finder path bar"));
    EXPECT_TRUE(Search::matches("finder", "Show the FINDER path bar"));
    EXPECT_TRUE(Search::matches("\u00c9CRAN", "mon \u00e9cran"));
    EXPECT_FALSE(Search::matches("ecran", "mon \u00e9cran"));  // no accent folding
}

TEST(SearchWidening, ShortWordsAreSearchedAsTyped) {
    EXPECT_FALSE(Search::matches("sp", "fast"));  // would reach group 1 through "speed"
    EXPECT_TRUE(Search::matches("sp", "spaces"));
    EXPECT_FALSE(Search::matches("fn", "function"));
}

TEST(SearchWidening, AWordTakesEveryGroupRelatedByAPrefix) {
    EXPECT_TRUE(Search::matches("lag", "smooth scrolling"));   // a word of group 1 itself
    EXPECT_TRUE(Search::matches("fas", "snappy"));             // "fast" begins with it
    EXPECT_TRUE(Search::matches("screenshots", "thumbnail"));  // group 11
    EXPECT_TRUE(Search::matches("keyboards", "typing"));       // begins with "keyboard"
    // Several groups at once.
    EXPECT_TRUE(Search::matches("screensaver", "power nap"));     // 8
    EXPECT_TRUE(Search::matches("screensaver", "no thumbnail"));  // 11, through "screen"
    EXPECT_TRUE(Search::matches("screensaver", "unlock it"));     // 19
    EXPECT_TRUE(Search::matches("tracking", "siri"));             // 4
    EXPECT_TRUE(Search::matches("tracking", "natural"));          // 5
    EXPECT_TRUE(Search::matches("the", "dark"));                  // 18 through "theme"
    EXPECT_FALSE(Search::matches("cat", "a dog"));                // no group
    EXPECT_FALSE(Search::matches("finder", "dock"));
}

TEST(SearchWidening, PrefixesAreTakenOnWholeCharacters) {
    EXPECT_TRUE(Search::matches("speede\u0301", "smooth"));  // "speed" ends on a character edge
    // "lag" ends inside the character g + combining accent, so group 1 is not taken.
    EXPECT_FALSE(Search::matches("lag\u0301", "smooth"));
}

TEST(SearchWidening, HyphenatedGroupWordsAreFoundInTheText) {
    EXPECT_TRUE(Search::matches("internet", "show wi-fi in the menu bar"));
    EXPECT_TRUE(Search::matches("files", "no ds_store files"));
}

TEST(SearchSubstrings, TermsNeedNotBeWholeWords) {
    EXPECT_TRUE(Search::matches("cat", "show the location"));
    EXPECT_TRUE(Search::matches("dock", "com.apple.dock"));
    EXPECT_TRUE(Search::matches("sp", "wasp"));
    EXPECT_FALSE(Search::matches("cat", "c a t"));
}

TEST(SearchAnd, EveryWordMustMatchAndTheTermsOfOneWordAreAlternatives) {
    EXPECT_TRUE(Search::matches("dark mode", "night theme"));  // both words reach group 18
    EXPECT_TRUE(Search::matches("dock finder", "dock icons in the finder"));
    EXPECT_FALSE(Search::matches("dock finder", "dock icons only"));
    EXPECT_FALSE(Search::matches("finder dock", "dock icons only"));
    EXPECT_TRUE(Search::matches("ds_store", "ds_store"));
    EXPECT_FALSE(Search::matches("ds_store", "a ds file"));  // "store" must be there too
}

TEST(SearchKeywords, KnownIdsHaveTheirWordsOthersNone) {
    EXPECT_EQ(Search::keywords("lid-close"),
              "never sleep keep awake lid closed clamshell caffeine display off external monitor");
    EXPECT_EQ(Search::keywords("slider-cursor-size"), "pointer mouse cursor bigger accessibility");
    EXPECT_EQ(Search::keywords("dock-lock-size"), "");
    EXPECT_EQ(Search::keywords("Lid-Close"), "");
}

TEST(SearchQuery, ACompiledQueryAgreesWithMatches) {
    const Search::Query query("Dark MODE");
    for (const char* text : {"night theme", "Night Theme", "dark", "mode dark", "nothing"}) {
        EXPECT_EQ(query.matches(text), Search::matches("Dark MODE", text)) << text;
        EXPECT_EQ(query.matches(Search::Haystack(text)), query.matches(text)) << text;
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
