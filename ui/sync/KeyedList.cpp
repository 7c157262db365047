// Rows kept while their keys stay the same, rebuilt when the keys change and nothing is held.
#include "ui/sync/KeyedList.hpp"

#include "ui/sync/InteractionHold.hpp"
#include "ui/sync/ModelSync.hpp"

namespace velmora {

KeyedList::KeyedList(ModelSync& sync, QWidget* parent)
    : QWidget(parent), sync_(sync), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
}

bool KeyedList::show(const std::vector<std::string>& keys, const Make& make) {
    if (shown_ && keys == keys_) {
        return false;
    }
    if (shown_ && InteractionHold::active()) {
        sync_.postponeRebuild();
        return false;
    }
    // Rows added to a list on screen would each come on screen on their own, every one laying out
    // the whole window again: built out of sight, they come on screen together.
    const bool onScreen = isVisible();
    if (onScreen) {
        hide();
    }
    for (QWidget* row : rows_) {
        layout_->removeWidget(row);
        row->hide();
        row->deleteLater();
    }
    rows_.clear();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        QWidget* row = make(i);
        layout_->addWidget(row);
        rows_.push_back(row);
    }
    keys_ = keys;
    shown_ = true;
    if (onScreen) {
        QWidget::show();
    }
    return true;
}

}  // namespace velmora
