// User defaults held in memory: the double that tests and benchmarks hand to the app model.
#pragma once

#include <cstdint>
#include <map>
#include <variant>

#include "platform/UserDefaults.hpp"

namespace velmora {

class InMemoryUserDefaults : public UserDefaults {
  public:
    struct Data {
        std::string bytes;
        friend bool operator==(const Data&, const Data&) = default;
    };
    // The kinds of value a test plants; a text or a number stands for "some other type".
    using Value = std::variant<bool, std::int64_t, std::string, Data, std::vector<std::string>>;

    std::optional<std::vector<std::string>> stringArray(const std::string& key) override;
    // Only whole arrays of texts can be planted here, so this is `stringArray`.
    std::optional<std::vector<std::string>> stringElements(const std::string& key) override;
    bool boolean(const std::string& key) override;
    std::optional<std::string> data(const std::string& key) override;
    bool contains(const std::string& key) override;
    void setStringArray(const std::string& key, const std::vector<std::string>& strings) override;
    void setBool(const std::string& key, bool value) override;
    void setData(const std::string& key, std::string_view bytes) override;
    bool copyIfAbsent(const std::string& from, const std::string& to) override;

    void set(const std::string& key, Value value) { values[key] = std::move(value); }

    std::map<std::string, Value> values;
    // Counts every write, so tests can tell that nothing was stored, and every copy asked for.
    int writes = 0;
    int copies = 0;
    // When set, every write throws with this text, as a full or read-only home makes the real
    // store do; nothing is written or counted.
    std::optional<std::string> refusal;

  private:
    void refuseIfAsked() const;
};

}  // namespace velmora
