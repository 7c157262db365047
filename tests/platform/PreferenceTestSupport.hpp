// A throw-away home root for preference tests, and direct access to the files behind the store.
#pragma once

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

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

inline std::string xmlPlist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + body +
           "</dict>\n</plist>\n";
}

}  // namespace velmora::testing
