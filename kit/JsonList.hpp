// Reading a stored list of records as a whole: one bad record fails the list, naming which one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "kit/Decoded.hpp"
#include "kit/JsonRead.hpp"
#include "kit/StoredJson.hpp"

namespace velmora::json {

// `decodeOne` reads one record or throws DecodeError; `noun` names a record in messages ("scene").
template <class T, class DecodeOne>
Decoded<std::vector<T>> decodeList(std::string_view text, std::string_view noun,
                                   DecodeOne decodeOne) {
    Decoded<nlohmann::json> parsed = parseStored(text, std::string(noun) + " list");
    if (!parsed) {
        return Decoded<std::vector<T>>::failure(parsed.error());
    }
    const nlohmann::json& list = parsed.value();
    if (!list.is_array()) {
        return Decoded<std::vector<T>>::failure(std::string(noun) + " list: not a JSON array");
    }
    std::vector<T> records;
    records.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        try {
            records.push_back(decodeOne(list[i]));
        } catch (const DecodeError& e) {
            return Decoded<std::vector<T>>::failure(std::string(noun) + " " +
                                                    std::to_string(i + 1) + " of " +
                                                    std::to_string(list.size()) + ": " + e.what());
        }
    }
    return Decoded<std::vector<T>>::success(std::move(records));
}

}  // namespace velmora::json
