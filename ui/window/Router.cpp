// Pages made on first use, one shown at a time in the same scroll area.
#include "ui/window/Router.hpp"

#include <QVBoxLayout>

#include "ui/widgets/SlimScrollBar.hpp"

namespace velmora {

Router::Router(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("content.scroll"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The window's paper shows through.
    viewport()->setAutoFillBackground(false);
    useSlimScrollBars(*this);
    auto* host = new QWidget;
    layout_ = new QVBoxLayout(host);
    layout_->setContentsMargins(sideInset, 0, sideInset, bottomInset);
    layout_->setSpacing(0);
    setWidget(host);
    host->setAutoFillBackground(false);
}

Page* Router::page(PageKind kind) const {
    const auto found = pages_.find(kind);
    return found == pages_.end() ? nullptr : found->second;
}

void Router::show(const WindowView& view) {
    const PageKind kind = pageFor(view.state);
    Page* next = page(kind);
    if (next == nullptr) {
        next = makePage(kind, view.window);
        next->setObjectName(QStringLiteral("page.") + QString::fromLatin1(pageName(kind)));
        next->hide();
        // Full width, its own height, from the top.
        layout_->addWidget(next, 0, Qt::AlignTop);
        pages_.emplace(kind, next);
    }
    if (next == current_) {
        current_->sync(view);
        return;
    }
    if (current_ != nullptr) {
        current_->hide();
    }
    current_ = next;
    current_->appear(view);
    // Brought up to date out of sight, so that the rows it makes come on screen in one go
    // instead of each laying out the window again.
    current_->sync(view);
    current_->show();
}

}  // namespace velmora
