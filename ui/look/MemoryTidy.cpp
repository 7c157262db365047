// The quiet-moment tidy: a single-shot timer of the application's, restarted by every change.
#include "ui/look/MemoryTidy.hpp"

#include <malloc.h>

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include "ui/look/AppFonts.hpp"

namespace velmora {

void MemoryTidy::afterChange() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        return;
    }
    // Owned by the application, so that it goes with it.
    static QPointer<QTimer> timer;
    if (!timer) {
        timer = new QTimer(app);
        timer->setSingleShot(true);
        timer->setInterval(quiet);
        QObject::connect(timer, &QTimer::timeout, app, &MemoryTidy::now);
    }
    timer->start();
}

void MemoryTidy::now() {
    AppFonts::leaveFilesToPageCache();
    // Freed memory stays with the allocator, and the heap only shrinks from its top: the pages
    // wholly free between blocks still in use (the widgets of a page no longer shown among the
    // texts' shapes kept since) are given back here.
    malloc_trim(0);
}

void MemoryTidy::shareOneHeap() {
    // glibc gives a thread that allocates while another holds the heap an arena of its own (up to
    // eight a core), and an arena keeps what it took after its thread ends: the font worker, the
    // picture workers and the threads Qt splits large fills across made a dozen, each resident
    // from some 20 KB to half a MB, mostly the arena's own and freed blocks. Those threads
    // allocate little and seldom together with the main thread.
    mallopt(M_ARENA_MAX, 1);
}

}  // namespace velmora
