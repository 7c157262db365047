// The search rule: words of a query, widened by synonym groups, found as substrings of a text.
#include <algorithm>
#include <chrono>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "kit/Catalog.hpp"
#include "kit/Search.hpp"

namespace velmora {
namespace {

constexpr std::size_t kPastedPage = 20000;
// A timing is the best of a few runs: a busy machine only ever adds to one.
constexpr int kTimedRuns = 7;
// The page may cost at most this many times a page of as many words too short to widen: reading
// it is the same work, and widening its few distinct words is little beside it. Widening every
// word made it seven times the plain page, unsanitized and sanitized alike.
constexpr double kPastedPageOverPlain = 2.0;

template <class Work>
std::chrono::nanoseconds bestOf(Work work) {
    auto best = std::chrono::nanoseconds::max();
    for (int run = 0; run < kTimedRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration_cast<std::chrono::nanoseconds>(
                                  std::chrono::steady_clock::now() - start));
    }
    return best;
}

// One case per rule: words are Unicode letters and numbers (a combining accent stays with its
// letter), and a query without any matches nothing; lower-casing is full Unicode but keeps
// accents, and texts compare in composed form; words under three characters are not widened; a
// longer word takes every synonym group one of whose words it begins or that begins with it, on
// whole characters; terms are substrings; every word of the query must match, and the terms of one
// word are alternatives.
TEST(SearchMatches, EachRuleOnItsOwn) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"", "anything at all", false},
        {"\u3000", "\u3000", false},  // an ideographic space is no word either
        {"wi-fi", "wi and fi", true},
        {"\u00e9cran\u00a0\u00bd", "\u00bd \u00e9cran", true},
        {"\u0437\u0432\u0443\u043a/\u97f3", "\u97f3 \u0437\u0432\u0443\u043a", true},
        {"cafe\u0301", "cafe", false},
        {"caf\u00e9", "Cafe\u0301 au lait", true},  // composed and decomposed: the same word
        {"CAFE\u0301", "caf\u00e9", true},
        {"macos 14.2", "macos 2 14", true},
        {"FINDER", "show the finder path bar", true},
        {"\u00c9CRAN", "mon \u00e9cran", true},
        {"ecran", "mon \u00e9cran", false},
        {"\u039f\u0394\u039f\u03a3", "\u03bf\u03b4\u03bf\u03c2", true},
        {"sp", "fast", false},  // would reach group 1 through "speed"
        {"keyboards", "typing", true},
        {"screensaver", "power nap", true},
        {"screensaver", "no thumbnail", true},
        {"cat", "a dog", false},
        {"speede\u0301", "smooth", true},
        // "lag" is a word of the table but ends inside g + combining low line (a pair composed
        // form keeps as two code points, unlike g + acute, which becomes one).
        {"lag\u0332", "smooth", false},
        {"lag\u0301", "smooth", false},  // composed, its last character is \u01f5, not g
        {"dock", "com.apple.dock", true},
        {"cat", "c a t", false},
        {"dock finder", "dock icons in the finder", true},
        {"dock finder", "dock icons only", false},
        {"ds_store", "a ds file", false},
    };
    for (const auto& [query, text, expected] : cases) {
        SCOPED_TRACE(std::string(query) + " in " + text);
        EXPECT_EQ(Search::matches(query, text), expected);
        EXPECT_EQ(Search::Query(query).matches(Search::Haystack(text)), expected);
    }
}

// Every ASCII character splits a query as the full Unicode rules split it: the same text with
// one character beyond ASCII at its end (which takes those rules) gives the same words before it.
TEST(SearchTokens, AsciiSplitsAsTheUnicodeRulesDo) {
    std::string every;
    for (int c = 1; c < 128; ++c) {
        every += static_cast<char>(c);
        every += "ab";
    }
    std::vector<std::string> unicode = Search::tokens(every + " \u00e9");
    ASSERT_FALSE(unicode.empty());
    EXPECT_EQ(unicode.back(), "\u00e9");
    unicode.pop_back();
    EXPECT_EQ(Search::tokens(every), unicode);
    EXPECT_EQ(Search::tokens("wi-fi 14.2 ds_store"),
              (std::vector<std::string>{"wi", "fi", "14", "2", "ds", "store"}));
}

// The digest of a prepared text only rules terms out; it must agree with a plain scan.
TEST(SearchQuery, ThePreparedTextNeverLosesAMatch) {
    std::vector<std::string> texts{"\u00c9cran \u00e9teint \u2014 caf\u00e9 ds_store wi-fi"};
    for (const Tweak& tweak : Catalog::velmora().tweaks()) {
        texts.push_back(tweak.title + " " + tweak.summary + " " + tweak.toggle().key.domain);
    }
    for (const char* query : {"a", "e", "dock", "fast", "screensaver", "the", "mode", "ds_store",
                              "wi-fi", "caf\u00e9", "\u00e9cran", "x", "14", "zz", "ion"}) {
        const Search::Query prepared(query);
        for (const std::string& text : texts) {
            EXPECT_EQ(prepared.matches(Search::Haystack(text)), prepared.matches(text))
                << query << " in " << text;
        }
    }
}

// The index rules texts out 64 at a time; it must give what a scan of every text gives, for texts
// in every position of its machine words (130: two full words and a part of a third), a query of
// several words, terms of one character (no byte pair to look up) and none at all.
TEST(SearchIndex, FindsWhatAScanOfEveryTextFinds) {
    constexpr std::size_t kTexts = 130;
    std::vector<std::string> texts;
    for (const Tweak& tweak : Catalog::velmora().tweaks()) {
        texts.push_back(tweak.title + " " + tweak.summary + " " + tweak.toggle().key.domain);
    }
    texts.push_back("\u00c9cran \u00e9teint \u2014 caf\u00e9 ds_store wi-fi");
    for (std::size_t i = 0; texts.size() < kTexts; ++i) {
        texts.push_back(texts[i] + " again");
    }
    texts.back() = "the last text: dock screensaver x";
    const Search::Index index(texts);
    ASSERT_EQ(index.size(), kTexts);
    for (const char* query :
         {"a", "x", "dock", "fast", "screensaver", "dock x", "the mode", "wi-fi", "\u00e9cran",
          "caf\u00e9 ds_store", "zz", "again last", "", "  "}) {
        const Search::Query prepared(query);
        std::vector<std::size_t> scanned;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (prepared.matches(texts[i])) {
                scanned.push_back(i);
            }
        }
        EXPECT_EQ(index.matching(prepared), scanned) << query;
    }
    EXPECT_TRUE(Search::Index({}).matching(Search::Query("dock")).empty());
}

// A page pasted into the search field is searched again at every keystroke, and a page repeats
// its words many times over: the query costs its distinct words, not its length, and still finds
// what its words find.
TEST(SearchQuery, APastedPageCostsItsDistinctWords) {
    std::string page;
    while (page.size() < kPastedPage) {
        page += "Faster dock, hidden files and the path bar. ";
    }
    std::string plain;
    while (plain.size() < page.size()) {
        plain += "Fa do, hi fi an th pa ba. ";
    }
    // Measured against the plain page on the same machine in the same build, so neither a slow
    // runner nor the sanitizers move the bar.
    const auto pageTook = bestOf([&] { const Search::Query query(page); });
    const auto plainTook = bestOf([&] { const Search::Query query(plain); });
    EXPECT_LT(static_cast<double>(pageTook.count()),
              kPastedPageOverPlain * static_cast<double>(plainTook.count()))
        << "page " << pageTook.count() << " ns, plain page " << plainTook.count() << " ns";
    const Search::Query pasted(page);
    EXPECT_TRUE(pasted.matches(Search::Haystack("Speed: the Dock and hidden files, the path bar")));
    EXPECT_FALSE(pasted.matches(Search::Haystack("the Dock and the path bar")));
}

}  // namespace
}  // namespace velmora
