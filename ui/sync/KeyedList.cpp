// Rows kept while their keys stay the same, rebuilt (or kept by key) when the keys change and
// nothing is held.
#include "ui/sync/KeyedList.hpp"

#include <algorithm>
#include <deque>
#include <map>

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
        for (QWidget* row : rows_) {
            retire(*layout_, row);
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

bool KeyedList::showKeeping(const std::vector<std::string>& keys, const Make& make) {
    if (!mayChange(keys)) {
        return false;
    }
    // The rows there are, by key, in order (a key may be listed twice).
    std::map<std::string, std::deque<QWidget*>> kept;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        kept[keys_[i]].push_back(rows_[i]);
    }
    std::vector<QWidget*> next(keys.size(), nullptr);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (auto found = kept.find(keys[i]); found != kept.end() && !found->second.empty()) {
            next[i] = found->second.front();
            found->second.pop_front();
        }
    }
    for (auto& [key, gone] : kept) {
        for (QWidget* row : gone) {
            retire(*layout_, row);
        }
    }
    const auto place = [&] {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const int at = static_cast<int>(i);
            if (next[i] == nullptr) {
                next[i] = make(i);
                layout_->insertWidget(at, next[i]);
            } else if (layout_->indexOf(next[i]) != at) {
                layout_->removeWidget(next[i]);
                layout_->insertWidget(at, next[i]);
            }
        }
    };
    if (std::count(next.begin(), next.end(), nullptr) > 0) {
        outOfSight(place);
    } else {
        place();
    }
    rows_ = std::move(next);
    keys_ = keys;
    shown_ = true;
    return true;
}

}  // namespace velmora
