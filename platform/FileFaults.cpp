// The fault seam of durable writes: a countdown per step, checked before the real call.
#include "platform/FileFaults.hpp"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>

namespace velmora {
namespace {

constexpr std::size_t stepCount = 3;

struct Armed {
    std::atomic<int> countdown{0};  // 0: disarmed
    std::atomic<int> error{EIO};
};

std::array<Armed, stepCount>& armedSteps() {
    static std::array<Armed, stepCount> steps;
    return steps;
}

Armed& armed(FileStep step) {
    return armedSteps()[static_cast<std::size_t>(step)];
}

// True exactly once: on the call that brings an armed countdown to zero.
bool shouldFail(FileStep step) {
    Armed& a = armed(step);
    int left = a.countdown.load();
    while (left > 0) {
        if (a.countdown.compare_exchange_weak(left, left - 1)) {
            if (left == 1) {
                errno = a.error.load();
                return true;
            }
            return false;
        }
    }
    return false;
}

}  // namespace

void FileFaults::failNth(FileStep step, int nth, int error) {
    armed(step).error.store(error);
    armed(step).countdown.store(nth > 0 ? nth : 0);
}

void FileFaults::reset() {
    for (Armed& a : armedSteps()) {
        a.countdown.store(0);
    }
}

ssize_t FileFaults::write(int fd, const void* data, std::size_t size) {
    return shouldFail(FileStep::write) ? -1 : ::write(fd, data, size);
}

int FileFaults::fsync(int fd) {
    return shouldFail(FileStep::fsync) ? -1 : ::fsync(fd);
}

int FileFaults::rename(const char* from, const char* to) {
    return shouldFail(FileStep::rename) ? -1 : std::rename(from, to);
}

}  // namespace velmora
