// Tells which files of one folder changed since the last look; a look when nothing changed makes no
// system call.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

// Whether a folder's changes are followed at all. A short-lived process that reads a file or two
// gains nothing from a watch and pays for it when it ends: releasing an inotify instance waits for
// the kernel's grace period, often 10 ms or more, which would dwarf a stand-in tool's own work.
enum class FolderWatching { follow, off };

// An inotify watch on a folder. The kernel signals the thread that looks when an event is queued
// (the signal's handler only counts), so that a look with nothing counted since the last one
// needs no read of the descriptor: the signal reaches that thread before any system call it makes
// returns, so a change another process made before it told us about it (by exiting, over a pipe)
// has been counted by then. A look from another thread takes the signals over. Where changes
// cannot be followed (the folder does not exist yet, a
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

    // Reads every queued event; false when the watch lost some or broke.
    bool drain(std::vector<std::string>& changed);
    // Directs the watch's signals to the calling thread; false when they cannot be had.
    bool signalThisThread();

    std::filesystem::path folder_;
    int fd_ = -1;
    unsigned forkGeneration_ = 0;
    bool unavailable_ = false;
    // The thread the signals go to (a marker of its own, no system call to compare), and the
    // signal count when the watch was last read; null when every look must read.
    const void* signalledThread_ = nullptr;
    unsigned seenSignals_ = 0;
};

}  // namespace velmora
