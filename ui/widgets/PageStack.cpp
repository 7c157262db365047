// Switching the page shown.
#include "ui/widgets/PageStack.hpp"

#include <QVBoxLayout>
#include <algorithm>

namespace velmora {

PageStack::PageStack(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
}

void PageStack::setMargins(const QMargins& margins) {
    layout_->setContentsMargins(margins);
}

void PageStack::add(QWidget* page) {
    // Hidden before it has its place, so it never shows as a window of its own.
    page->hide();
    layout_->addWidget(page, 0, Qt::AlignTop);
    pages_.push_back(page);
}

void PageStack::setCurrent(QWidget* page, const std::function<void()>& beforeShowing) {
    Q_ASSERT(std::ranges::find(pages_, page) != pages_.end());
    if (page == current_) {
        return;
    }
    if (current_ != nullptr) {
        current_->hide();
    }
    current_ = page;
    if (beforeShowing) {
        beforeShowing();
    }
    current_->show();
}

}  // namespace velmora
