// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace velmora::testing {

class TempFolder {
  public:
    // Who may look inside: a stand-in tool run as another user must reach the files.
    enum class Reach { owner, everyone };

    explicit TempFolder(const std::string& prefix, Reach reach = Reach::owner) {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX"));
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary folder");
        }
        path_ = pattern;
        if (reach == Reach::everyone) {
            using std::filesystem::perms;
            std::filesystem::permissions(path_, perms::owner_all | perms::group_read |
                                                    perms::group_exec | perms::others_read |
                                                    perms::others_exec);
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace velmora::testing
