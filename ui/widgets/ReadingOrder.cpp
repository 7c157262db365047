// Reading order from positions.
#include "ui/widgets/ReadingOrder.hpp"

#include <QApplication>
#include <QScrollArea>
#include <algorithm>

namespace velmora::readingOrder {

namespace {

struct Placed {
    QWidget* widget;
    int column;
    QRect frame;  // in root's coordinates, as if nothing were scrolled
};

bool isScrolledContent(const QWidget& widget) {
    const QWidget* viewport = widget.parentWidget();
    const auto* area = viewport != nullptr
                           ? qobject_cast<const QAbstractScrollArea*>(viewport->parentWidget())
                           : nullptr;
    return area != nullptr && area->viewport() == viewport;
}

QRect unscrolledFrame(const QWidget& widget, const QWidget& root) {
    QPoint at;
    for (const QWidget* step = &widget; step != nullptr && step != &root;
         step = step->parentWidget()) {
        if (!isScrolledContent(*step)) {
            at += step->pos();
        }
    }
    return {at, widget.size()};
}

bool takesTab(const QWidget& widget, const QWidget& root) {
    // A scroll area is no stop of its own: the focus on a row inside scrolls it.
    if (qobject_cast<const QAbstractScrollArea*>(&widget) != nullptr) {
        return false;
    }
    return (widget.focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget.isEnabled() &&
           widget.isVisibleTo(&root) && widget.focusProxy() == nullptr;
}

int columnOf(const QWidget& widget, const std::vector<const QWidget*>& columns) {
    for (std::size_t index = 0; index < columns.size(); ++index) {
        if (columns[index] != nullptr && columns[index]->isAncestorOf(&widget)) {
            return static_cast<int>(index);
        }
    }
    return static_cast<int>(columns.size());
}

}  // namespace

std::vector<QWidget*> chain(const QWidget& root, const std::vector<const QWidget*>& columns) {
    std::vector<Placed> placed;
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        if (takesTab(*widget, root)) {
            placed.push_back({widget, columnOf(*widget, columns), unscrolledFrame(*widget, root)});
        }
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        if (a.column != b.column) {
            return a.column < b.column;
        }
        if (a.frame.top() != b.frame.top()) {
            return a.frame.top() < b.frame.top();
        }
        return a.frame.left() < b.frame.left();
    });
    // Lines: a widget whose middle lies within the first widget of the line belongs to its line
    // (a star beside its row's switch, the second card of a grid row), read left to right.
    std::vector<QWidget*> ordered;
    ordered.reserve(placed.size());
    auto lineStart = placed.begin();
    while (lineStart != placed.end()) {
        auto lineEnd = std::next(lineStart);
        while (lineEnd != placed.end() && lineEnd->column == lineStart->column &&
               lineEnd->frame.center().y() <= lineStart->frame.bottom()) {
            ++lineEnd;
        }
        std::stable_sort(lineStart, lineEnd, [](const Placed& a, const Placed& b) {
            return a.frame.left() < b.frame.left();
        });
        for (auto item = lineStart; item != lineEnd; ++item) {
            ordered.push_back(item->widget);
        }
        lineStart = lineEnd;
    }
    return ordered;
}

bool moveFocus(QWidget& root, bool next, const std::vector<const QWidget*>& columns) {
    const std::vector<QWidget*> order = chain(root, columns);
    if (order.empty()) {
        return false;
    }
    QWidget* focused = QApplication::focusWidget();
    const auto at = std::find(order.begin(), order.end(), focused);
    std::size_t index = 0;
    if (at == order.end()) {
        index = next ? 0 : order.size() - 1;
    } else {
        const auto current = static_cast<std::size_t>(at - order.begin());
        index = next ? (current + 1) % order.size() : (current + order.size() - 1) % order.size();
    }
    QWidget* target = order[index];
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    for (QWidget* step = target->parentWidget(); step != nullptr && step != &root;
         step = step->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(step)) {
            area->ensureWidgetVisible(target);
        }
    }
    return true;
}

}  // namespace velmora::readingOrder
