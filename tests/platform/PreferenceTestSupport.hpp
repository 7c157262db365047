// A throw-away home root for preference tests, and direct access to the files behind the store.
#pragma once

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileFaults.hpp"
#include "platform/PreferenceStore.hpp"
#include "tests/support/TempFolder.hpp"

namespace velmora::testing {

// A fresh home root; any armed file fault is disarmed with it.
struct TempHome {
    ~TempHome() { FileFaults::reset(); }
    const std::filesystem::path& root() const { return folder_.path(); }
    std::filesystem::path folder() const { return root() / "Library" / "Preferences"; }
    std::filesystem::path file(const std::string& domain) const {
        return folder() / (domain + ".plist");
    }
    std::shared_ptr<PreferenceStore> store() const {
        return std::make_shared<PreferenceStore>(root());
    }
    TempFolder folder_{"velmora-home"};
};

inline std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void putFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The dictionary a file holds as XML text, dates and data included; "" when it holds none.
inline std::string fileXml(const std::filesystem::path& path) {
    const std::string bytes = fileBytes(path);
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    const PlistNode node(root);
    if (!node || plist_get_node_type(node.get()) != PLIST_DICT) {
        return {};
    }
    char* text = nullptr;
    uint32_t length = 0;
    plist_to_xml(node.get(), &text, &length);
    std::string xml(text, length);
    plist_to_xml_free(text);
    return xml;
}

// A binary property list of raw objects (marker byte and payload each), the first at the top, with
// two-byte offsets and one-byte references.
inline std::string binaryPlist(const std::vector<std::string>& objects) {
    std::string bytes = "bplist00";
    std::vector<std::size_t> offsets;
    for (const std::string& object : objects) {
        offsets.push_back(bytes.size());
        bytes += object;
    }
    const std::size_t table = bytes.size();
    for (std::size_t offset : offsets) {
        bytes += static_cast<char>(offset >> 8);
        bytes += static_cast<char>(offset & 0xFF);
    }
    const auto bigEndian = [&](std::uint64_t value) {
        for (int shift = 56; shift >= 0; shift -= 8) {
            bytes += static_cast<char>((value >> shift) & 0xFF);
        }
    };
    bytes += std::string(6, '\0') + '\2' + '\1';
    bigEndian(objects.size());
    bigEndian(0);
    bigEndian(table);
    return bytes;
}

// A raw container object: `marker` (0xA0 array, 0xD0 dictionary) with its count and references.
inline std::string plistContainer(unsigned char marker, const std::vector<int>& refs,
                                  std::size_t count) {
    std::string object(1, static_cast<char>(marker | count));
    for (int ref : refs) {
        object += static_cast<char>(ref);
    }
    return object;
}

// { "k": A1 } where each of `levels` arrays A holds the next one twice and the last holds true
// twice: 2^(levels + 1) values once expanded, from a file of a few hundred bytes.
inline std::string sharedReferenceBomb(int levels) {
    constexpr int firstArray = 2;
    std::vector<std::string> objects{plistContainer(0xD0, {1, firstArray}, 1), "\x51k"};
    for (int i = 0; i < levels; ++i) {
        const int next = firstArray + i + 1;
        objects.push_back(plistContainer(0xA0, {next, next}, 2));
    }
    objects.push_back("\x09");
    return binaryPlist(objects);
}

inline std::string xmlPlist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + body +
           "</dict>\n</plist>\n";
}

}  // namespace velmora::testing
