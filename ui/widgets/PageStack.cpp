// Switching the page shown.
#include "ui/widgets/PageStack.hpp"

#include <QApplication>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/widgets/ReadingOrder.hpp"

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
    const QWidget* focused = QApplication::focusWidget();
    const bool focusLeaves = current_ != nullptr && current_->isAncestorOf(focused);
    if (current_ != nullptr) {
        current_->hide();
    }
    current_ = page;
    if (beforeShowing) {
        beforeShowing();
    }
    current_->show();
    if (focusLeaves) {
        // The control pressed went with its page: the keyboard goes on from the top of the new
        // one, placed where it will be seen, instead of starting over from the window's first.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        readingOrder::focusAt(*current_, 0);
    }
}

}  // namespace velmora
