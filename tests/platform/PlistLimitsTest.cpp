// The bounds a property list must keep before it is parsed: each just inside and just outside, and
// the malformed texts and layouts that would be parsed into something else.
#include "platform/PlistLimits.hpp"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/platform/PreferenceTestSupport.hpp"

namespace velmora {
namespace {

using testing::binaryPlist;
using testing::plistContainer;
using testing::sharedReferenceBomb;

std::string array(const std::vector<int>& refs) {
    return plistContainer(0xA0, refs, refs.size());
}

// `depth` arrays inside one another, the innermost empty, as the library writes them.
std::string nestedBinary(std::size_t depth) {
    PlistNode root(plist_new_array());
    plist_t inner = root.get();
    for (std::size_t i = 1; i < depth; ++i) {
        plist_t next = plist_new_array();
        plist_array_append_item(inner, next);
        inner = next;
    }
    char* data = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root.get(), &data, &length);
    std::string bytes(data, length);
    plist_to_bin_free(data);
    return bytes;
}

// `depth` elements inside one another: the plist element and arrays.
std::string nestedXml(std::size_t depth) {
    std::string arrays;
    for (std::size_t i = 1; i < depth; ++i) {
        arrays = "<array>" + arrays + "</array>";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- <array> <dict> -->\n<plist "
           "version=\"1.0\">" +
           arrays + "</plist>\n";
}

// A flat array of `count` self-closing values: wide, one level deep.
std::string flatXml(std::size_t count) {
    std::string values;
    for (std::size_t i = 0; i < count; ++i) {
        values += i % 2 == 0 ? "<true/>" : "<false />";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><array>" + values +
           "</array></plist>\n";
}

std::string xmlString(const std::string& text) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict><key>k</key>"
           "<string>" +
           text + "</string><true/></dict></plist>";
}

// The bomb holds 2^(levels + 1) + 1 values with its dictionary and key: 18 levels stay within
// 2^20, 19 pass it.
TEST(PlistLimits, EachBoundJustInsideAndJustOutsideAndWhatWouldParseWrong) {
    constexpr std::size_t depth = PlistLimits::maxDepth;
    const std::string utf16Lone =
        binaryPlist({std::string("\x61\xD8\x00", 3)});  // a high surrogate
    const std::string utf16Pair = binaryPlist({std::string("\x62\xD8\x3D\xDE\x00", 5)});
    const std::string utf16LoneLow = binaryPlist({std::string("\x62\xDE\x00\x00\x41", 5)});
    const struct {
        const char* name;
        std::string bytes;
        const char* refusal;  // a part of the reason, or nullptr for none
    } cases[] = {
        {"doubling within the bound", sharedReferenceBomb(18), nullptr},
        {"doubling past the bound", sharedReferenceBomb(19), "expand"},
        {"the 412-byte bomb", sharedReferenceBomb(40), "expand"},
        {"an array holding itself", binaryPlist({array({0})}), "contains itself"},
        {"binary nesting at the bound", nestedBinary(depth), nullptr},
        {"binary nesting past it", nestedBinary(depth + 1), "nests deeper"},
        {"XML nesting at the bound", nestedXml(depth), nullptr},
        {"XML nesting past it", nestedXml(depth + 1), "nests deeper"},
        {"XML self-closing values side by side", flatXml(2 * depth), nullptr},
        {"XML text well-formed",
         xmlString("Gr\xC3\xB6\xC3\x9F"
                   "e"),
         nullptr},
        {"XML text with a stray byte",
         xmlString("ab\xFF"
                   "c"),
         "UTF-8"},
        {"XML text cut inside a character", xmlString("\xC3"), "UTF-8"},
        {"a binary ASCII text above 127", binaryPlist({std::string("\x51\xE9", 2)}), "UTF-8"},
        {"a binary UTF-16 pair", utf16Pair, nullptr},
        {"a binary UTF-16 surrogate alone", utf16Lone, "UTF-8"},
        {"a binary UTF-16 low surrogate first", utf16LoneLow, "UTF-8"},
        {"a reference past the table", binaryPlist({array({1})}), "broken"},
        {"a cut-off file", sharedReferenceBomb(3).substr(0, 30), "broken"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> refusal = PlistLimits::refusal(c.bytes);
        if (c.refusal == nullptr) {
            EXPECT_EQ(refusal, std::nullopt);
        } else {
            ASSERT_TRUE(refusal.has_value());
            EXPECT_NE(refusal->find(c.refusal), std::string::npos) << *refusal;
        }
    }
}

}  // namespace
}  // namespace velmora
