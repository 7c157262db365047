// Pages made on first use, one shown at a time in the same scroll area.
#include "ui/window/Router.hpp"

#include "ui/widgets/PageStack.hpp"
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
    stack_ = new PageStack;
    stack_->setMargins(QMargins(sideInset, 0, sideInset, bottomInset));
    setWidget(stack_);
    stack_->setAutoFillBackground(false);
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
        stack_->add(next);
        pages_.emplace(kind, next);
    }
    if (next == current_) {
        current_->sync(view);
        return;
    }
    current_ = next;
    // Brought up to date out of sight, so that the rows it makes come on screen in one go
    // instead of each laying out the window again.
    stack_->setCurrent(next, [&view, next] {
        next->appear(view);
        next->sync(view);
    });
}

}  // namespace velmora
