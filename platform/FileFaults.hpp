// A seam over the file operations of durable writes, so tests can make one of them fail even as
// root.
#pragma once

#include <sys/types.h>

#include <cerrno>
#include <cstddef>

namespace velmora {

enum class FileStep { write, fsync, rename };

// Every durable write goes through these calls. Unarmed they are the plain system calls; armed, the
// chosen call of a step fails once with the chosen errno, the way a full disk or a dying device
// would.
class FileFaults {
  public:
    // Makes the `nth` coming call of `step` (1 = the very next one) fail with `error`.
    static void failNth(FileStep step, int nth, int error = EIO);
    // Disarms every step.
    static void reset();

    static ssize_t write(int fd, const void* data, std::size_t size);
    static int fsync(int fd);
    static int rename(const char* from, const char* to);
};

}  // namespace velmora
