// Gives back, at a quiet moment after the window changed, the memory the process holds but no
// longer uses: the font files' pages the engines read when they were made, and the heap's free
// pages that pages and sheets no longer shown left between the ones still in use.
//
//     MemoryTidy::afterChange();  // a page was shown or a sheet closed
#pragma once

#include <chrono>

namespace velmora {

class MemoryTidy {
  public:
    // How long the window stays as it is before the tidy runs: a user going through pages or
    // typing a search is not slowed by one at every step.
    static constexpr std::chrono::milliseconds quiet{500};

    // Runs the tidy once the window has stayed unchanged for `quiet`; every call starts the wait
    // again. Needs the application object; without one it does nothing.
    static void afterChange();
    // The tidy itself, at once.
    static void now();

    // Has every thread allocate from the one heap; called first thing in the program, before any
    // thread is started.
    static void shareOneHeap();
};

}  // namespace velmora
