// Pictures drawn on a worker thread between a widget's showing and its first paint.
#include "ui/look/DrawnAhead.hpp"

#include <QCoreApplication>
#include <QHash>
#include <QThreadPool>
#include <chrono>
#include <exception>
#include <future>
#include <iterator>
#include <memory>
#include <mutex>

namespace velmora {

namespace {

// Two workers: a page's pictures are few and small, and every thread started costs the main
// thread its creation.
constexpr int kWorkers = 2;

struct Waiting {
    std::mutex mutex;
    QHash<QString, std::shared_future<QImage>> drawings;
};

Waiting& drawings() {
    static Waiting shared;
    return shared;
}

QThreadPool& workers();

// A drawing still running when the application object goes would paint without it (a painter
// takes the application's font): the application waits for them first, at the start of its end.
void waitForWorkers() {
    workers().waitForDone();
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
        // Drawings done that no paint took (their widget was hidden or scrolled away first) make
        // room: should it be painted after all, it draws for itself.
        for (auto drawing = all.drawings.begin(); drawing != all.drawings.end();) {
            drawing = drawing->wait_for(std::chrono::seconds(0)) == std::future_status::ready
                          ? all.drawings.erase(drawing)
                          : std::next(drawing);
        }
    }
    if (all.drawings.contains(key) || all.drawings.size() >= maxWaiting) {
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
            return std::nullopt;
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

}  // namespace velmora
