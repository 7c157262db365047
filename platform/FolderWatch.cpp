// The preferences folder's inotify watch, with the cases where it cannot be trusted.
#include "platform/FolderWatch.hpp"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace velmora {
namespace {

constexpr std::uint32_t watchedEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE |
                                        IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF |
                                        IN_MOVE_SELF | IN_ONLYDIR;
// Events after which the watch no longer covers everything that happened.
constexpr std::uint32_t lostEvents =
    IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;
constexpr std::size_t eventBufferSize = 16 * 1024;

// File systems whose changes made on other machines or by a user-space server are not reported.
constexpr std::array<unsigned long, 8> unwatchableFileSystems = {
    0x6969,      // NFS
    0x517B,      // SMB
    0xFF534D42,  // CIFS
    0xFE534D42,  // SMB2
    0x65735546,  // FUSE
    0x01021997,  // 9P
    0x00C36400,  // Ceph
    0x5346414F,  // AFS
};

// A forked child shares its parent's watch descriptor; draining it would steal the parent's events.
std::atomic<unsigned> forkGeneration{0};

void countForks() {
    static std::once_flag registered;
    std::call_once(registered,
                   [] { ::pthread_atfork(nullptr, nullptr, [] { forkGeneration.fetch_add(1); }); });
}

// Counts the signals the kernel sends when a watch queues an event. Read by the thread the signal
// went to, so no ordering beyond the counter's own is needed.
std::atomic<unsigned> changeSignals{0};
static_assert(std::atomic<unsigned>::is_always_lock_free, "counted inside a signal handler");

// Each thread's marker, compared by address: telling threads apart costs no system call.
thread_local const char threadMarker = 0;

void countChange(int /*signal*/) {
    changeSignals.fetch_add(1, std::memory_order_relaxed);
}

// The signal is the kernel's default for ready descriptors. Its handler is installed once, and only
// where nothing else handles it: a program with its own use of it gets no counting, and its watches
// are read at every look.
bool changeSignalHandled() {
    static const bool handled = [] {
        struct sigaction previous {};
        if (::sigaction(SIGIO, nullptr, &previous) != 0) {
            return false;
        }
        if ((previous.sa_flags & SA_SIGINFO) != 0 ||
            (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN)) {
            return false;
        }
        struct sigaction counting {};
        counting.sa_handler = countChange;
        counting.sa_flags = SA_RESTART;
        ::sigemptyset(&counting.sa_mask);
        return ::sigaction(SIGIO, &counting, nullptr) == 0;
    }();
    return handled;
}

}  // namespace

FolderWatch::FolderWatch(std::filesystem::path folder, FolderWatching watching)
    : folder_(std::move(folder)), unavailable_(watching == FolderWatching::off) {
    countForks();
}

FolderWatch::~FolderWatch() {
    drop();
}

void FolderWatch::drop() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    signalledThread_ = nullptr;
}

bool FolderWatch::signalThisThread() {
    signalledThread_ = nullptr;
    sigset_t blocked;
    if (!changeSignalHandled() || ::pthread_sigmask(SIG_BLOCK, nullptr, &blocked) != 0 ||
        ::sigismember(&blocked, SIGIO) == 1) {
        return false;
    }
    const f_owner_ex owner{F_OWNER_TID, ::gettid()};
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETOWN_EX, &owner) != 0 ||
        ::fcntl(fd_, F_SETFL, flags | O_ASYNC) != 0) {
        return false;
    }
    signalledThread_ = &threadMarker;
    return true;
}

void FolderWatch::establish() {
    if (unavailable_) {
        return;
    }
    struct statfs info {};
    if (::statfs(folder_.c_str(), &info) != 0) {
        return;  // not there yet: try again on the next look
    }
    for (const unsigned long type : unwatchableFileSystems) {
        if (static_cast<unsigned long>(info.f_type) == type) {
            unavailable_ = true;
            return;
        }
    }
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        unavailable_ = true;  // out of watch instances: every look checks the files instead
        return;
    }
    if (::inotify_add_watch(fd_, folder_.c_str(), watchedEvents) < 0) {
        const int error = errno;
        drop();
        unavailable_ = error != ENOENT && error != ENOTDIR;
        return;
    }
    forkGeneration_ = forkGeneration.load();
}

bool FolderWatch::poll(std::vector<std::string>& changed) {
    if (fd_ >= 0 && forkGeneration_ != forkGeneration.load()) {
        drop();
    }
    if (fd_ < 0) {
        establish();
        return false;
    }
    if (signalledThread_ == &threadMarker &&
        seenSignals_ == changeSignals.load(std::memory_order_relaxed)) {
        return true;  // nothing queued since the last read
    }
    if (signalledThread_ != &threadMarker) {
        signalThisThread();
    }
    // Taken before reading: an event queued while the read runs is either read now or counted
    // for the next look.
    seenSignals_ = changeSignals.load(std::memory_order_relaxed);
    return drain(changed);
}

bool FolderWatch::drain(std::vector<std::string>& changed) {
    alignas(inotify_event) std::array<char, eventBufferSize> buffer;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n < 0 && errno == EAGAIN) {
                return true;
            }
            drop();
            establish();
            return false;
        }
        for (ssize_t at = 0; at < n;) {
            inotify_event event{};
            std::memcpy(&event, buffer.data() + at, sizeof event);
            if ((event.mask & lostEvents) != 0) {
                drop();
                establish();
                return false;
            }
            if (event.len > 0) {
                changed.emplace_back(buffer.data() + at + sizeof event);
            }
            at += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
}

}  // namespace velmora
