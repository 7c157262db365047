// Pages stacked in one place, one shown at a time: the window's pages, the questionnaire's steps.
// Unlike QStackedWidget the stack is as tall as the page it shows, so a short page in a scroll
// area does not scroll as far as the tallest one, and a page that is not shown costs no layout.
//
//     auto* stack = new PageStack;
//     stack->add(fields);
//     stack->add(goals);
//     stack->setCurrent(goals, [&] { fill(goals); });  // filled out of sight, then shown
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

class QVBoxLayout;

namespace velmora {

class PageStack : public QWidget {
    Q_OBJECT

  public:
    explicit PageStack(QWidget* parent = nullptr);

    // Space around every page.
    void setMargins(const QMargins& margins);
    // Adds `page` at the end, hidden, full width at its own height from the top.
    void add(QWidget* page);
    // Hides the page shown, calls `beforeShowing` while `page` is still out of sight, then
    // shows `page`, which must have been added. The focus, if it was on the page hidden, goes to
    // the first control of `page` in reading order.
    void setCurrent(QWidget* page, const std::function<void()>& beforeShowing = {});

    QWidget* current() const { return current_; }
    const std::vector<QWidget*>& pages() const { return pages_; }

  private:
    QVBoxLayout* layout_;
    std::vector<QWidget*> pages_;
    QWidget* current_ = nullptr;
};

}  // namespace velmora
