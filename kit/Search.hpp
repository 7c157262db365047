// The one query-matching rule of the system: words of a query, widened by synonyms, found in a
// text.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class Search {
  public:
    Search() = delete;

    class Query;
    class Index;

    // A text lower-cased once, with a digest of the byte pairs it holds, so that most terms
    // absent from it are ruled out without scanning it. For texts searched again and again.
    class Haystack {
      public:
        // A digest is this many machine words of this many bits.
        static constexpr std::size_t kBitsPerWord = 64;
        static constexpr std::size_t kDigestWords = 16;
        static constexpr std::size_t kDigestBits = kDigestWords * kBitsPerWord;

        explicit Haystack(std::string_view text);
        const std::string& lowered() const { return lowered_; }

      private:
        friend class Query;
        friend class Index;
        std::string lowered_;
        std::array<std::uint64_t, kDigestWords> pairs_{};
    };

    // A query split into words and widened once, so that many texts can be tested against it
    // without repeating that work per text.
    class Query {
      public:
        explicit Query(std::string_view query);

        // A query without a single word matches nothing.
        bool hasTokens() const { return !alternatives_.empty(); }
        // Every word has one of its terms in the text; the text is lower-cased here.
        bool matches(std::string_view text) const;
        bool matches(const Haystack& text) const;

      private:
        friend class Index;
        struct Term {
            std::string text;
            std::vector<std::uint16_t> pairs;  // digest bits of its byte pairs
        };
        // Per query word, in query order: the terms of which at least one must occur.
        std::vector<std::vector<Term>> alternatives_;
    };

    // Many texts searched again and again, as a catalog's are at every keystroke: for each bit of
    // the digest, which texts have it, so that a query rules texts out a machine word of them at a
    // time, where testing each text's digest in turn was most of a search.
    class Index {
      public:
        explicit Index(const std::vector<std::string>& texts);
        std::size_t size() const { return texts_.size(); }
        // The positions of the texts the query matches, ascending.
        std::vector<std::size_t> matching(const Query& query) const;

      private:
        using Column = std::vector<std::uint64_t>;
        // Texts whose digests have every bit of the term: those it may occur in.
        Column mayHold(const Query::Term& term) const;

        std::vector<Haystack> texts_;
        std::size_t wordsPerColumn_ = 0;
        // Column after column, one per digest bit: bit i set where text i has that bit.
        std::vector<std::uint64_t> columns_;
    };

    // True when the text holds, for every word of the query, the word or one of its synonyms.
    static bool matches(std::string_view query, std::string_view text);
    // The extra search words of an item id, or the empty string.
    static const std::string& keywords(std::string_view id);

    // Full Unicode lower-casing with the root locale's rules (no accent or width folding), in
    // composed normal form (NFC).
    static std::string lowercased(std::string_view text);
    // The words of an already lower-cased query: runs of letters and numbers, in order.
    static std::vector<std::string> tokens(std::string_view loweredQuery);

  private:
    static std::string composed(const std::string& text);
    // The terms that stand for one query word: the word itself, widened by every synonym group
    // related to it by a prefix in either direction once it has three characters or more.
    static std::set<std::string> expand(std::string_view token);
};

}  // namespace velmora
