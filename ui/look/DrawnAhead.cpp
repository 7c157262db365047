// Pictures drawn on a worker thread between a widget's showing and its first paint.
#include "ui/look/DrawnAhead.hpp"

#include <QCache>
#include <QCoreApplication>
#include <QHash>
#include <QThreadPool>
#include <algorithm>
#include <chrono>
#include <exception>
#include <future>
#include <memory>
#include <mutex>

namespace velmora {

namespace {

// Two workers: a page's pictures are few and small, and every thread started costs the main
// thread its creation.
constexpr int kWorkers = 2;

// Finished drawings that no paint took, in kilobytes: their widget was hidden or scrolled away
// first, as are the rows of a long list below its first screenful. Each time such a list came on
// screen again its rows started the same drawings anew, so they are kept for a later paint, the
// least used giving way past this.
constexpr qsizetype kUntakenKilobytes = 512;
constexpr qsizetype kBytesPerKilobyte = 1024;

struct Waiting {
    std::mutex mutex;
    QHash<QString, std::shared_future<QImage>> drawings;
    QCache<QString, QImage> untaken{kUntakenKilobytes};
};

// Moves the finished drawings out of the waiting ones, keeping their pictures for a later take.
void setFinishedAside(Waiting& all) {
    for (auto drawing = all.drawings.begin(); drawing != all.drawings.end();) {
        if (drawing->wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            ++drawing;
            continue;
        }
        try {
            auto picture = std::make_unique<QImage>(drawing->get());
            const qsizetype cost =
                std::max<qsizetype>(1, picture->sizeInBytes() / kBytesPerKilobyte);
            all.untaken.insert(drawing.key(), picture.release(), cost);
        } catch (const std::exception&) {
            // A drawing that failed (out of memory) leaves nothing to keep.
        }
        drawing = all.drawings.erase(drawing);
    }
}

Waiting& drawings() {
    static Waiting shared;
    return shared;
}

QThreadPool& workers();

// A drawing still running when the application object goes would paint without it (a painter
// takes the application's font): the application waits for them first, at the start of its end.
void waitForWorkers() {
    DrawnAhead::finishStarted();
}

// A pool of its own: Qt's global pool also splits large fills and image conversions of the main
// thread's paints across threads, which must not queue behind these drawings.
class Workers : public QThreadPool {
  public:
    Workers() {
        setMaxThreadCount(kWorkers);
        setExpiryTimeout(DrawnAhead::idleThreadMs);
        qAddPostRoutine(waitForWorkers);
    }
};

QThreadPool& workers() {
    static Workers pool;
    return pool;
}

}  // namespace

void DrawnAhead::start(const QString& key, std::function<QImage()> draw) {
    Waiting& all = drawings();
    const std::lock_guard lock(all.mutex);
    if (all.drawings.size() >= maxWaiting) {
        // Drawings done that no paint took make room.
        setFinishedAside(all);
    }
    if (all.drawings.contains(key) || all.untaken.contains(key) ||
        all.drawings.size() >= maxWaiting) {
        return;
    }
    auto task = std::make_shared<std::packaged_task<QImage()>>(std::move(draw));
    all.drawings.insert(key, task->get_future().share());
    workers().start([task] { (*task)(); });
}

std::optional<QImage> DrawnAhead::take(const QString& key) {
    std::shared_future<QImage> drawing;
    {
        Waiting& all = drawings();
        const std::lock_guard lock(all.mutex);
        const auto found = all.drawings.constFind(key);
        if (found == all.drawings.constEnd()) {
            const std::unique_ptr<QImage> kept(all.untaken.take(key));
            return kept != nullptr ? std::optional<QImage>(*kept) : std::nullopt;
        }
        drawing = *found;
        all.drawings.erase(found);
    }
    try {
        return drawing.get();
    } catch (const std::exception&) {
        // Out of memory on the worker: the painter draws the picture for itself.
        return std::nullopt;
    }
}

qsizetype DrawnAhead::waiting() {
    Waiting& all = drawings();
    const std::lock_guard lock(all.mutex);
    return all.drawings.size();
}

void DrawnAhead::finishStarted() {
    workers().waitForDone();
}

}  // namespace velmora
