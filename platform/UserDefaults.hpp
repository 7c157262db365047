// The application's own stored settings (favourites, profile, scenes, rules) in its defaults
// domain.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class PreferenceStore;

// The readings and writes the application makes of its own domain. Writes may throw (the
// preference store's PreferenceStoreError when a write cannot be made durable).
class UserDefaults {
  public:
    virtual ~UserDefaults() = default;

    // The application's domain in the current user's preference store, made on first use.
    static std::shared_ptr<UserDefaults> standard();

    // The strings of an array of strings; nothing when the key is absent or holds anything else.
    virtual std::optional<std::vector<std::string>> stringArray(const std::string& key) = 0;
    // The strings of an array, its other elements skipped; nothing when the key holds no array.
    virtual std::optional<std::vector<std::string>> stringElements(const std::string& key) = 0;
    // The platform's Boolean reading: a Boolean as it is, a number when not zero, a text starting
    // (after blanks, a sign and zeros) with Y, y, T, t or a digit 1 to 9; false for anything else.
    virtual bool boolean(const std::string& key) = 0;
    // The bytes of a data value; nothing when the key is absent or holds another type.
    virtual std::optional<std::string> data(const std::string& key) = 0;
    // Whether the key holds any value at all.
    virtual bool contains(const std::string& key) = 0;

    virtual void setStringArray(const std::string& key,
                                const std::vector<std::string>& strings) = 0;
    virtual void setBool(const std::string& key, bool value) = 0;
    virtual void setData(const std::string& key, std::string_view bytes) = 0;
    // Copies whatever `from` holds, of any type, to `to`; false (and nothing written) when `to`
    // already holds a value or `from` holds none.
    virtual bool copyIfAbsent(const std::string& from, const std::string& to) = 0;
};

// One domain of a preference store: stored as the platform stores it, readable by `defaults`.
class PreferenceUserDefaults : public UserDefaults {
  public:
    PreferenceUserDefaults(std::shared_ptr<PreferenceStore> store, std::string domain);

    std::optional<std::vector<std::string>> stringArray(const std::string& key) override;
    std::optional<std::vector<std::string>> stringElements(const std::string& key) override;
    bool boolean(const std::string& key) override;
    std::optional<std::string> data(const std::string& key) override;
    bool contains(const std::string& key) override;
    void setStringArray(const std::string& key, const std::vector<std::string>& strings) override;
    void setBool(const std::string& key, bool value) override;
    void setData(const std::string& key, std::string_view bytes) override;
    bool copyIfAbsent(const std::string& from, const std::string& to) override;

  private:
    std::shared_ptr<PreferenceStore> store_;
    std::string domain_;
};

// The platform's reading of a text as a Boolean, shared by every implementation.
bool textIsTrue(std::string_view text);

}  // namespace velmora
