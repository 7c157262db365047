// Rows kept while their keys stay the same, rebuilt (or kept by key) when the keys change and
// nothing is held; rows left for later stand in the layout until they are made.
#include "ui/sync/KeyedList.hpp"

#include <algorithm>
#include <deque>
#include <map>

#include <QLayoutItem>

#include "ui/sync/InteractionHold.hpp"
#include "ui/sync/ModelSync.hpp"

namespace velmora {

namespace {

// Out of the list at once, deleted once the event loop is back: it may be the widget being
// clicked.
void retire(QVBoxLayout& layout, QWidget* row) {
    layout.removeWidget(row);
    row->hide();
    row->deleteLater();
}

// Where a row left for later stands, at the size it will have, until it is made.
class StandIn : public QLayoutItem {
  public:
    explicit StandIn(std::unique_ptr<LaterRow> row) : row_(std::move(row)) {}

    LaterRow& row() const { return *row_; }
    bool isPrepared() const { return prepared_; }
    void prepare() {
        row_->prepare();
        prepared_ = true;
    }
    bool isLast() const { return last_; }
    void setLast(bool last) { last_ = last; }

    QSize sizeHint() const override { return row_->sizeHint(last_); }
    QSize minimumSize() const override { return row_->minimumSize(last_); }
    QSize maximumSize() const override { return row_->maximumSize(last_); }
    Qt::Orientations expandingDirections() const override { return row_->expandingDirections(); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return row_->heightForWidth(width, last_); }
    void setGeometry(const QRect& rect) override { rect_ = rect; }
    QRect geometry() const override { return rect_; }
    bool isEmpty() const override { return false; }

  private:
    std::unique_ptr<LaterRow> row_;
    bool prepared_ = false;
    bool last_ = false;
    QRect rect_;
};

// A place in the list: a row, or the stand-in of one left for later.
struct Slot {
    QWidget* row = nullptr;
    StandIn* standIn = nullptr;

    bool empty() const { return row == nullptr && standIn == nullptr; }
};

}  // namespace

KeyedList::KeyedList(ModelSync& sync, QWidget* parent)
    : QWidget(parent), sync_(sync), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
}

bool KeyedList::mayChange(const std::vector<std::string>& keys) {
    if (shown_ && keys == keys_) {
        return false;
    }
    if (shown_ && InteractionHold::activeIn(*this)) {
        sync_.postponeRebuild(*this);
        return false;
    }
    return true;
}

void KeyedList::outOfSight(const std::function<void()>& change) {
    const bool onScreen = isVisible();
    if (onScreen) {
        hide();
    }
    change();
    if (onScreen) {
        QWidget::show();
    }
}

bool KeyedList::show(const std::vector<std::string>& keys, const Make& make) {
    if (!mayChange(keys)) {
        return false;
    }
    outOfSight([&] {
        // From the end, so that the places of those still to go stay as they were.
        for (std::size_t i = rows_.size(); i-- > 0;) {
            if (rows_[i] != nullptr) {
                retire(*layout_, rows_[i]);
            } else {
                delete layout_->takeAt(static_cast<int>(i));
            }
        }
        rows_.clear();
        for (std::size_t i = 0; i < keys.size(); ++i) {
            QWidget* row = make(i);
            layout_->addWidget(row);
            rows_.push_back(row);
        }
    });
    keys_ = keys;
    shown_ = true;
    return true;
}

bool KeyedList::showKeeping(const std::vector<std::string>& keys, const Make& make,
                            const Later* later) {
    if (!mayChange(keys)) {
        return false;
    }
    // The rows there are, by key, in order (a key may be listed twice).
    std::map<std::string, std::deque<Slot>> kept;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Slot slot{rows_[i], nullptr};
        if (slot.row == nullptr) {
            slot.standIn = static_cast<StandIn*>(layout_->itemAt(static_cast<int>(i)));
        }
        kept[keys_[i]].push_back(slot);
    }
    std::vector<Slot> next(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (auto found = kept.find(keys[i]); found != kept.end() && !found->second.empty()) {
            next[i] = found->second.front();
            found->second.pop_front();
        }
    }
    for (auto& [key, gone] : kept) {
        for (const Slot& slot : gone) {
            if (slot.row != nullptr) {
                retire(*layout_, slot.row);
            } else {
                layout_->removeItem(slot.standIn);
                delete slot.standIn;
            }
        }
    }
    const auto makesNow = [&](std::size_t i) { return later == nullptr || i < later->makeNow; };
    const auto place = [&] {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const int at = static_cast<int>(i);
            Slot& slot = next[i];
            if (slot.standIn != nullptr && makesNow(i)) {
                layout_->removeItem(slot.standIn);
                slot.row = slot.standIn->row().make(i + 1 == keys.size());
                delete slot.standIn;
                slot.standIn = nullptr;
                layout_->insertWidget(at, slot.row);
            } else if (slot.empty() && makesNow(i)) {
                slot.row = make(i);
                layout_->insertWidget(at, slot.row);
            } else if (slot.empty()) {
                slot.standIn = new StandIn(later->later(i));
                layout_->insertItem(at, slot.standIn);
            } else if (slot.row != nullptr && layout_->indexOf(slot.row) != at) {
                layout_->removeWidget(slot.row);
                layout_->insertWidget(at, slot.row);
            } else if (slot.standIn != nullptr && layout_->indexOf(slot.standIn) != at) {
                layout_->removeItem(slot.standIn);
                layout_->insertItem(at, slot.standIn);
            }
            if (slot.standIn != nullptr) {
                slot.standIn->setLast(i + 1 == keys.size());
            }
        }
    };
    bool makesRows = false;
    for (std::size_t i = 0; i < next.size(); ++i) {
        makesRows = makesRows || (next[i].row == nullptr && makesNow(i));
    }
    if (makesRows) {
        outOfSight(place);
    } else {
        place();
    }
    rows_.clear();
    for (const Slot& slot : next) {
        rows_.push_back(slot.row);
    }
    keys_ = keys;
    shown_ = true;
    layout_->invalidate();
    return true;
}

std::size_t KeyedList::laterCount() const {
    return static_cast<std::size_t>(std::count(rows_.begin(), rows_.end(), nullptr));
}

void KeyedList::makeAt(std::size_t index) {
    const int at = static_cast<int>(index);
    auto* standIn = static_cast<StandIn*>(layout_->itemAt(at));
    QWidget* row = standIn->row().make(standIn->isLast());
    layout_->removeItem(standIn);
    delete standIn;
    layout_->insertWidget(at, row);
    // Shown now, with its parent: not at the event loop's next turn, after a paint without it.
    if (isVisible()) {
        row->show();
    }
    rows_[index] = row;
}

void KeyedList::makeAll(const std::function<bool(std::size_t index)>& wanted, std::size_t count) {
    // Each row shown would lay out the whole list again: it is laid out once, after them all.
    layout_->setEnabled(false);
    std::size_t made = 0;
    for (std::size_t i = 0; i < rows_.size() && made < count; ++i) {
        if (rows_[i] == nullptr && wanted(i)) {
            makeAt(i);
            ++made;
        }
    }
    layout_->setEnabled(true);
    // In their places at once, as tall as what stood there: before the paint that is coming,
    // and for Tab, which goes by where the rows stand.
    if (made > 0) {
        layout_->invalidate();
        if (isVisible()) {
            layout_->activate();
        }
    }
}

void KeyedList::prepareLater(std::size_t count) {
    std::size_t prepared = 0;
    for (std::size_t i = 0; i < rows_.size() && prepared < count; ++i) {
        if (rows_[i] == nullptr) {
            auto* standIn = static_cast<StandIn*>(layout_->itemAt(static_cast<int>(i)));
            if (!standIn->isPrepared()) {
                standIn->prepare();
                ++prepared;
            }
        }
    }
}

std::size_t KeyedList::unpreparedCount() const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i] == nullptr &&
            !static_cast<StandIn*>(layout_->itemAt(static_cast<int>(i)))->isPrepared()) {
            ++count;
        }
    }
    return count;
}

std::size_t KeyedList::makeLater(std::size_t count) {
    const std::size_t before = laterCount();
    makeAll([](std::size_t /*index*/) { return true; }, count);
    return before - laterCount();
}

void KeyedList::makeLaterWithin(const QRect& area) {
    // Where the stand-ins are is known once the list is laid out at its full height (a list not
    // laid out yet, or squeezed, has them all in a heap).
    if (layout_->geometry() != rect() || height() < layout_->totalHeightForWidth(width())) {
        return;
    }
    makeAll(
        [&](std::size_t index) {
            return layout_->itemAt(static_cast<int>(index))->geometry().intersects(area);
        },
        rows_.size());
}

}  // namespace velmora
