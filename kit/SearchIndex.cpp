// A catalog's search texts indexed by the byte pairs they hold, so that a query scans only the
// texts that can hold every one of its words.
#include <algorithm>
#include <bit>

#include "kit/Search.hpp"

namespace velmora {

namespace {

constexpr std::size_t kBitsPerWord = Search::Haystack::kBitsPerWord;
constexpr std::size_t kDigestBits = Search::Haystack::kDigestBits;

}  // namespace

Search::Index::Index(const std::vector<std::string>& texts)
    : wordsPerColumn_((texts.size() + kBitsPerWord - 1) / kBitsPerWord) {
    texts_.reserve(texts.size());
    for (const std::string& text : texts) {
        texts_.emplace_back(text);
    }
    columns_.assign(kDigestBits * wordsPerColumn_, 0);
    for (std::size_t text = 0; text < texts_.size(); ++text) {
        const auto& digest = texts_[text].pairs_;
        for (std::size_t bit = 0; bit < kDigestBits; ++bit) {
            if ((digest[bit / kBitsPerWord] >> (bit % kBitsPerWord)) & 1U) {
                columns_[bit * wordsPerColumn_ + text / kBitsPerWord] |= std::uint64_t{1}
                                                                         << (text % kBitsPerWord);
            }
        }
    }
}

Search::Index::Column Search::Index::mayHold(const Query::Term& term) const {
    Column may(wordsPerColumn_, ~std::uint64_t{0});
    for (std::uint16_t bit : term.pairs) {
        const std::uint64_t* column = columns_.data() + std::size_t{bit} * wordsPerColumn_;
        for (std::size_t word = 0; word < wordsPerColumn_; ++word) {
            may[word] &= column[word];
        }
    }
    return may;
}

std::vector<std::size_t> Search::Index::matching(const Query& query) const {
    std::vector<std::size_t> found;
    if (!query.hasTokens()) {
        return found;
    }
    // Every word of the query must match, by any of its terms; bits past the last text stay
    // clear, so no position beyond the texts comes out.
    Column candidates(wordsPerColumn_, ~std::uint64_t{0});
    if (const std::size_t tail = texts_.size() % kBitsPerWord; tail != 0) {
        candidates.back() = (std::uint64_t{1} << tail) - 1;
    }
    for (const auto& terms : query.alternatives_) {
        Column any(wordsPerColumn_, 0);
        for (const Query::Term& term : terms) {
            const Column may = mayHold(term);
            for (std::size_t word = 0; word < wordsPerColumn_; ++word) {
                any[word] |= may[word];
            }
        }
        for (std::size_t word = 0; word < wordsPerColumn_; ++word) {
            candidates[word] &= any[word];
        }
    }
    // The digest only rules texts out; each text left is scanned.
    for (std::size_t word = 0; word < wordsPerColumn_; ++word) {
        for (std::uint64_t bits = candidates[word]; bits != 0; bits &= bits - 1) {
            const std::size_t text =
                word * kBitsPerWord + static_cast<std::size_t>(std::countr_zero(bits));
            if (query.matches(texts_[text])) {
                found.push_back(text);
            }
        }
    }
    return found;
}

}  // namespace velmora
