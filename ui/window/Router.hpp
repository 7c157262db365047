// The content column's one scroll area and the page in it: the search results while the query
// holds any text, else the page of the selection. Switching pages keeps the scroll offset (as far
// as the new page is long).
#pragma once

#include <QScrollArea>
#include <map>

#include "ui/window/Page.hpp"

namespace velmora {

class PageStack;

class Router : public QScrollArea {
    Q_OBJECT

  public:
    // The page's inset inside the scroll area.
    static constexpr int sideInset = 34;
    static constexpr int bottomInset = 44;

    explicit Router(QWidget* parent = nullptr);

    // Shows the page for `view.state` and hands it the sync.
    void show(const WindowView& view);

    Page* currentPage() const { return current_; }
    // The page of `kind` if it has been made.
    Page* page(PageKind kind) const;

  private:
    PageStack* stack_;
    std::map<PageKind, Page*> pages_;
    Page* current_ = nullptr;
};

}  // namespace velmora
