// When and which waiting rows a page's lists make: at once in view, a turn's worth otherwise.
#include "ui/sync/RowBuilder.hpp"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QEvent>
#include <QScrollBar>
#include <algorithm>
#include <set>

#include "ui/sync/KeyedList.hpp"

namespace velmora {

namespace {

// Rows prepared between two looks at the clock.
constexpr std::size_t kRowsPerStep = 4;

// The builders with rows left to make, for anyWaiting().
std::set<const RowBuilder*>& waiting() {
    static std::set<const RowBuilder*> builders;
    return builders;
}

}  // namespace

RowBuilder::RowBuilder(QWidget& page, int smallestRowHeight)
    : QObject(&page), page_(page), smallestRowHeight_(std::max(1, smallestRowHeight)) {
    turns_.setSingleShot(true);
    turns_.setInterval(0);
    connect(&turns_, &QTimer::timeout, this, &RowBuilder::makeSome);
}

RowBuilder::~RowBuilder() {
    waiting().erase(this);
}

void RowBuilder::startSync() {
    const int screenful = page_.window()->height();
    nowLeft_ = static_cast<std::size_t>((screenful + smallestRowHeight_ - 1) / smallestRowHeight_);
}

std::size_t RowBuilder::takeNow(std::size_t count) {
    const std::size_t now = std::min(count, nowLeft_);
    nowLeft_ -= now;
    return now;
}

void RowBuilder::add(KeyedList& list) {
    if (std::find(lists_.begin(), lists_.end(), &list) == lists_.end()) {
        lists_.emplace_back(&list);
        // Moved or resized, by a section above it shown or hidden or by the window, it may bring
        // waiting rows into view.
        list.installEventFilter(this);
    }
    waiting().insert(this);
    turns_.start();
}

void RowBuilder::endSync() {
    if (!isWaiting()) {
        return;
    }
    watchScrolling();
    makeInViewSoon();
}

void RowBuilder::makeInViewSoon() {
    if (!inViewAsked_) {
        inViewAsked_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                inViewAsked_ = false;
                makeInView();
            },
            Qt::QueuedConnection);
    }
}

bool RowBuilder::isWaiting() const {
    return std::any_of(lists_.begin(), lists_.end(), [](const QPointer<KeyedList>& list) {
        return list != nullptr && list->laterCount() > 0;
    });
}

void RowBuilder::finish() {
    for (const QPointer<KeyedList>& list : lists_) {
        if (list != nullptr) {
            list->makeLater(list->laterCount());
        }
    }
    for (const QPointer<KeyedList>& list : lists_) {
        if (list != nullptr) {
            list->removeEventFilter(this);
        }
    }
    lists_.clear();
    turns_.stop();
    waiting().erase(this);
}

void RowBuilder::finishUnder(const QWidget& root) {
    for (RowBuilder* builder : root.findChildren<RowBuilder*>()) {
        builder->finish();
    }
}

bool RowBuilder::anyWaiting() {
    return !waiting().empty();
}

void RowBuilder::makeSome() {
    QElapsedTimer clock;
    clock.start();
    // Rows are prepared out of the lists and put in a whole list at once: each row put in on
    // its own would lay out the page again.
    for (const QPointer<KeyedList>& list : lists_) {
        while (list != nullptr && list->unpreparedCount() > 0 && clock.elapsed() < turnMs) {
            list->prepareLater(kRowsPerStep);
        }
        if (list != nullptr && list->laterCount() > 0 && list->unpreparedCount() == 0) {
            list->makeLater(list->laterCount());
        }
        if (clock.elapsed() >= turnMs) {
            break;
        }
    }
    lists_.erase(std::remove_if(lists_.begin(), lists_.end(),
                                [this](const QPointer<KeyedList>& list) {
                                    if (list == nullptr || list->laterCount() > 0) {
                                        return list == nullptr;
                                    }
                                    list->removeEventFilter(this);
                                    return true;
                                }),
                 lists_.end());
    if (lists_.empty()) {
        waiting().erase(this);
    } else {
        turns_.start();
    }
}

void RowBuilder::makeInView() {
    if (area_ == nullptr || !page_.isVisible()) {
        return;
    }
    QWidget* viewport = area_->viewport();
    for (const QPointer<KeyedList>& list : lists_) {
        if (list != nullptr && list->isVisible() && list->laterCount() > 0) {
            const QRect view(list->mapFrom(viewport, QPoint(0, 0)), viewport->size());
            list->makeLaterWithin(view);
        }
    }
}

void RowBuilder::watchScrolling() {
    if (area_ != nullptr) {
        return;
    }
    for (QWidget* step = page_.parentWidget(); step != nullptr; step = step->parentWidget()) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(step)) {
            area_ = area;
            // Made as the scroll bar moves, before the rows come to be painted.
            connect(area->verticalScrollBar(), &QScrollBar::valueChanged, this,
                    &RowBuilder::makeInView);
            area->viewport()->installEventFilter(this);
            return;
        }
    }
}

bool RowBuilder::eventFilter(QObject* watched, QEvent* event) {
    // A taller window shows more of the page; a list moved or resized shows other rows.
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move) {
        makeInViewSoon();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velmora
