// Tokenising, synonym widening and substring matching of search queries, on Unicode characters.
#include "kit/Search.hpp"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include <unicode/brkiter.h>
#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

namespace velmora {

namespace {

// Shorter query words are searched as typed: widening "sp" would match half the catalog.
constexpr std::size_t kMinWidenedCharacters = 3;
constexpr unsigned char kFirstNonAscii = 0x80;
constexpr std::size_t kBitsPerWord = Search::Haystack::kBitsPerWord;
constexpr std::size_t kDigestBits = Search::Haystack::kDigestBits;

// Where the pair of bytes `a`, `b` lands in a text's digest.
std::uint16_t pairBit(char a, char b, std::size_t digestBits) {
    constexpr unsigned kMix = 31;
    const unsigned mixed = static_cast<unsigned char>(a) * kMix + static_cast<unsigned char>(b);
    return static_cast<std::uint16_t>(mixed % digestBits);
}

const std::vector<std::vector<std::string_view>>& synonymGroups() {
    static const std::vector<std::vector<std::string_view>> groups{
        {"fast", "faster", "speed", "speedup", "snappy", "quick", "quicker", "performance",
         "responsive", "instant", "lag", "laggy", "smooth", "accelerate"},
        {"animation", "animations", "motion", "transition", "transitions", "transparency", "blur",
         "bouncing", "wobble"},
        {"hide", "hidden", "show", "declutter", "clean", "minimal", "minimalist", "calm", "tidy",
         "clutter", "distraction", "focus"},
        {"privacy", "private", "tracking", "track", "ads", "advert", "telemetry", "siri",
         "spotlight", "secure", "security", "lookup", "suggestions", "personalized"},
        {"mouse", "pointer", "cursor", "trackpad", "tracking", "scroll", "scrolling", "natural",
         "tap", "click", "three", "finger", "drag"},
        {"keyboard", "key", "keys", "typing", "type", "repeat", "autocorrect", "autocapitalization",
         "spelling", "quotes", "caps", "function", "fn"},
        {"battery", "power", "energy", "charge", "charging", "plugged", "laptop", "lowpower",
         "low"},
        {"sleep", "asleep", "awake", "caffeine", "caffeinate", "lid", "clamshell", "closed",
         "never", "wake", "wakeup", "screensaver", "nap"},
        {"dock", "icons", "magnification", "magnify", "tilesize", "spring", "bounce", "autohide"},
        {"finder", "file", "files", "folder", "folders", "sidebar", "extension", "extensions",
         "path", "titlebar", "ds_store", "dsstore", "trash"},
        {"screenshot", "screenshots", "screen", "capture", "screengrab", "grab", "shadow",
         "thumbnail"},
        {"menu", "menubar", "status", "clock", "time", "date", "seconds", "weekday"},
        {"wifi", "wi-fi", "network", "internet", "airport", "tcp", "keepalive"},
        {"sound", "volume", "audio", "mute", "nowplaying", "playing", "music"},
        {"bluetooth", "airdrop"},
        {"mission", "control", "spaces", "space", "desktop", "desktops", "window", "windows",
         "expose", "hot", "corner", "corners", "stage", "manager"},
        {"safari", "browser", "web", "url", "develop", "developer", "inspector", "downloads"},
        {"dark", "light", "appearance", "theme", "mode", "night", "warm", "warmth", "contrast"},
        {"password", "lock", "login", "screensaver", "unlock"},
        {"icloud", "cloud", "local", "documents", "save"},
        {"update", "updates", "appstore", "quarantine", "gatekeeper"},
    };
    return groups;
}

const std::map<std::string, std::string, std::less<>>& keywordMap() {
    static const std::map<std::string, std::string, std::less<>> map{
        {"speed-boost", "fast faster snappy responsive performance quick instant"},
        {"screenshot-studio", "screenshot capture screen clean professional"},
        {"finder-power", "finder files power user hidden extensions"},
        {"developer-setup", "developer coding terminal engineer programmer code"},
        {"declutter-focus", "declutter focus clean minimal calm distraction quiet"},
        {"power-disable-powernap", "battery sleep background mail updates backups energy"},
        {"power-low-power-mode", "battery energy save laptop efficiency"},
        {"power-no-network-wake", "sleep wake network wifi battery"},
        {"power-no-tcp-keepalive", "sleep network battery wifi"},
        {"power-wake-on-power", "wake power adapter charger"},
        {"lid-close",
         "never sleep keep awake lid closed clamshell caffeine display off external monitor"},
        {"perf-reduce-transparency", "performance speed battery blur"},
        {"perf-no-window-animations", "fast speed snappy instant animation"},
        {"privacy-require-password-immediately", "lock security screensaver sleep"},
        {"dev-show-hidden-files", "finder dotfiles hidden developer"},
        {"kb-disable-autocorrect", "typing spelling keyboard autocomplete"},
        {"screenshot-format-jpg", "screenshot smaller size jpeg"},
        {"slider-dock-size", "dock bigger smaller size icons"},
        {"slider-cursor-size", "pointer mouse cursor bigger accessibility"},
    };
    return map;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < kFirstNonAscii; });
}

// One iterator per thread: creating one costs far more than a whole search.
icu::BreakIterator* characterIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return iterator.get();
}

std::vector<std::size_t> codePointBoundaries(std::string_view text) {
    std::vector<std::size_t> bounds{0};
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(text.data(), i, length, c);
        bounds.push_back(static_cast<std::size_t>(i));
    }
    return bounds;
}

// Byte offsets where user-perceived characters (grapheme clusters) start, plus the end, so that an
// accent written as a combining mark stays part of its letter.
std::vector<std::size_t> characterBoundaries(std::string_view text) {
    if (isAscii(text)) {
        std::vector<std::size_t> bounds{0};
        for (std::size_t i = 1; i <= text.size(); ++i) {
            // CR LF is the one ASCII pair that forms a single character.
            if (i < text.size() && text[i - 1] == '\r' && text[i] == '\n') {
                continue;
            }
            bounds.push_back(i);
        }
        return bounds;
    }
    icu::BreakIterator* iterator = characterIterator();
    UErrorCode status = U_ZERO_ERROR;
    icu::LocalUTextPointer utext(
        utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status));
    if (iterator == nullptr || U_FAILURE(status)) {
        return codePointBoundaries(text);
    }
    iterator->setText(utext.getAlias(), status);
    if (U_FAILURE(status)) {
        return codePointBoundaries(text);
    }
    std::vector<std::size_t> bounds;
    for (int32_t at = iterator->first(); at != icu::BreakIterator::DONE; at = iterator->next()) {
        bounds.push_back(static_cast<std::size_t>(at));
    }
    // Leave no pointer to this text behind in the shared iterator.
    iterator->setText(icu::UnicodeString());
    return bounds;
}

// A character is a letter or a number by its first code point, as combining marks carry neither.
bool isWordCharacter(std::string_view character) {
    int32_t i = 0;
    UChar32 c = 0;
    U8_NEXT(character.data(), i, static_cast<int32_t>(character.size()), c);
    if (c < 0) {
        return false;  // an ill-formed byte sequence separates words
    }
    return u_hasBinaryProperty(c, UCHAR_ALPHABETIC) != 0 ||
           u_getIntPropertyValue(c, UCHAR_NUMERIC_TYPE) != U_NT_NONE;
}

// A prefix relation in either direction, on whole characters. Composed form joins most accents
// to their letter, but not all (g with a combining low line stays two code points), so a table
// word may still end inside a character of the token.
bool isRelated(std::string_view word, std::string_view token,
               const std::vector<std::size_t>& tokenBounds) {
    if (word.starts_with(token)) {
        return true;  // the table's words are ASCII, so every offset in them is a character edge
    }
    return token.starts_with(word) &&
           std::binary_search(tokenBounds.begin(), tokenBounds.end(), word.size());
}

}  // namespace

std::string Search::lowercased(std::string_view text) {
    if (isAscii(text)) {
        std::string lowered(text);
        for (char& c : lowered) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        return lowered;
    }
    std::string lowered;
    icu::StringByteSink<std::string> sink(&lowered, static_cast<int32_t>(text.size()));
    UErrorCode status = U_ZERO_ERROR;
    // "" selects the root locale: lower-casing must not depend on the user's language.
    icu::CaseMap::utf8ToLower("", 0,
                              icu::StringPiece(text.data(), static_cast<int32_t>(text.size())),
                              sink, nullptr, status);
    if (U_FAILURE(status)) {
        lowered.assign(text);
    }
    return composed(lowered);
}

// Canonically equivalent texts compare equal as bytes only in one normal form: "é" typed as one
// character and as "e" with a combining accent are the same word.
std::string Search::composed(const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    const icu::StringPiece piece(text.data(), static_cast<int32_t>(text.size()));
    if (U_FAILURE(status) || nfc->isNormalizedUTF8(piece, status) || U_FAILURE(status)) {
        return text;
    }
    std::string result;
    icu::StringByteSink<std::string> sink(&result, static_cast<int32_t>(text.size()));
    nfc->normalizeUTF8(0, piece, sink, nullptr, status);
    return U_SUCCESS(status) ? result : text;
}

std::vector<std::string> Search::tokens(std::string_view loweredQuery) {
    if (isAscii(loweredQuery)) {
        // In ASCII the letters and digits are the only word characters, each a byte of its own:
        // a pasted page is split at every keystroke, and looking up each byte's character and
        // properties was most of the split.
        const auto isWordByte = [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        };
        std::vector<std::string> found;
        for (std::size_t at = 0; at < loweredQuery.size();) {
            while (at < loweredQuery.size() && !isWordByte(loweredQuery[at])) {
                ++at;
            }
            const std::size_t start = at;
            while (at < loweredQuery.size() && isWordByte(loweredQuery[at])) {
                ++at;
            }
            if (at > start) {
                found.emplace_back(loweredQuery.substr(start, at - start));
            }
        }
        return found;
    }
    const std::vector<std::size_t> bounds = characterBoundaries(loweredQuery);
    std::vector<std::string> found;
    std::string current;
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        const std::string_view character =
            loweredQuery.substr(bounds[i], bounds[i + 1] - bounds[i]);
        if (isWordCharacter(character)) {
            current.append(character);
        } else if (!current.empty()) {
            found.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty()) {
        found.push_back(std::move(current));
    }
    return found;
}

std::set<std::string> Search::expand(std::string_view token) {
    std::set<std::string> terms{std::string(token)};
    const std::vector<std::size_t> bounds = characterBoundaries(token);
    if (bounds.size() - 1 < kMinWidenedCharacters) {
        return terms;
    }
    for (const auto& group : synonymGroups()) {
        const bool taken = std::any_of(group.begin(), group.end(), [&](std::string_view word) {
            return isRelated(word, token, bounds);
        });
        if (taken) {
            terms.insert(group.begin(), group.end());
        }
    }
    return terms;
}

const std::string& Search::keywords(std::string_view id) {
    static const std::string none;
    const auto& map = keywordMap();
    const auto found = map.find(id);
    return found == map.end() ? none : found->second;
}

Search::Haystack::Haystack(std::string_view text) : lowered_(lowercased(text)) {
    for (std::size_t i = 1; i < lowered_.size(); ++i) {
        const std::uint16_t bit = pairBit(lowered_[i - 1], lowered_[i], kDigestBits);
        pairs_[bit / kBitsPerWord] |= std::uint64_t{1} << (bit % kBitsPerWord);
    }
}

Search::Query::Query(std::string_view query) {
    // A word said twice asks nothing new of a text: every word must match anyway. A pasted page
    // repeats its words hundreds of times, and widening each again would be most of a keystroke.
    std::set<std::string, std::less<>> seen;
    for (const std::string& token : tokens(lowercased(query))) {
        if (!seen.insert(token).second) {
            continue;
        }
        const std::set<std::string> terms = expand(token);
        std::vector<std::string> byLength(terms.begin(), terms.end());
        std::stable_sort(byLength.begin(), byLength.end(),
                         [](const auto& a, const auto& b) { return a.size() < b.size(); });
        // A term holding another term of the same word adds nothing to an OR ("faster" once
        // "fast" is there); dropping it keeps the per-text work small.
        std::vector<Term> kept;
        for (std::string& term : byLength) {
            const bool redundant = std::any_of(kept.begin(), kept.end(), [&](const Term& shorter) {
                return term.find(shorter.text) != std::string::npos;
            });
            if (redundant) {
                continue;
            }
            Term entry{std::move(term), {}};
            for (std::size_t i = 1; i < entry.text.size(); ++i) {
                entry.pairs.push_back(pairBit(entry.text[i - 1], entry.text[i], kDigestBits));
            }
            kept.push_back(std::move(entry));
        }
        alternatives_.push_back(std::move(kept));
    }
}

bool Search::Query::matches(const Haystack& text) const {
    if (alternatives_.empty()) {
        return false;
    }
    const auto present = [&](const Term& term) {
        // Every byte pair of the term must be in the digest before the text is worth scanning.
        for (std::uint16_t bit : term.pairs) {
            if ((text.pairs_[bit / kBitsPerWord] & (std::uint64_t{1} << (bit % kBitsPerWord))) ==
                0) {
                return false;
            }
        }
        return text.lowered_.find(term.text) != std::string::npos;
    };
    return std::all_of(alternatives_.begin(), alternatives_.end(), [&](const auto& terms) {
        return std::any_of(terms.begin(), terms.end(), present);
    });
}

bool Search::Query::matches(std::string_view text) const {
    if (alternatives_.empty()) {
        return false;
    }
    const std::string lowered = lowercased(text);
    return std::all_of(alternatives_.begin(), alternatives_.end(), [&](const auto& terms) {
        return std::any_of(terms.begin(), terms.end(), [&](const Term& term) {
            return lowered.find(term.text) != std::string::npos;
        });
    });
}
bool Search::matches(std::string_view query, std::string_view text) {
    // Callers test one query against many texts in a row (every item kind of the search page);
    // splitting and widening it once per thread per distinct query gives the same answers.
    thread_local std::string lastQuery;
    thread_local std::optional<Query> compiled;
    if (!compiled || lastQuery != query) {
        compiled.emplace(query);
        lastQuery.assign(query);
    }
    return compiled->matches(text);
}

}  // namespace velmora
