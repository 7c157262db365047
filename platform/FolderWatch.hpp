// Tells which files of one folder changed since the last look, at the cost of one read per look.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

// Whether a folder's changes are followed at all. A short-lived process that reads a file or two
// gains nothing from a watch and pays for it when it ends: releasing an inotify instance waits for
// the kernel's grace period, often 10 ms or more, which would dwarf a stand-in tool's own work.
enum class FolderWatching { follow, off };

// An inotify watch on a folder. Where changes cannot be followed (the folder does not exist yet, a
// network or FUSE file system whose remote changes are not reported, no watch left, a lost event),
// `poll` says so and the caller checks each file itself.
class FolderWatch {
  public:
    // With `off`, `poll` always says changes may have gone unreported.
    explicit FolderWatch(std::filesystem::path folder,
                         FolderWatching watching = FolderWatching::follow);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Appends the names of files changed since the previous call to `changed`. Returns false when
    // changes in that interval may have gone unreported; the watch is then set up again if it can
    // be.
    bool poll(std::vector<std::string>& changed);
    // Whether changes from now on are followed.
    bool active() const { return fd_ >= 0; }

  private:
    void establish();
    void drop();

    std::filesystem::path folder_;
    int fd_ = -1;
    unsigned forkGeneration_ = 0;
    bool unavailable_ = false;
};

}  // namespace velmora
