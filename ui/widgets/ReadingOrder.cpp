// Reading order from positions.
#include "ui/widgets/ReadingOrder.hpp"

#include <QApplication>
#include <QScrollArea>
#include <algorithm>
#include <set>

#include "ui/look/FocusRing.hpp"

namespace velmora::readingOrder {

namespace {

// Scrolls `area` to `target` and the ring drawn around it. Qt scrolls only to a control that is
// not wholly in view, and then with room to spare; one in view but at the very edge would keep
// its ring cut by the edge.
void reveal(QScrollArea& area, QWidget& target) {
    const QWidget* content = area.widget();
    if (content == nullptr || !content->isAncestorOf(&target)) {
        return;
    }
    const QRect placed(target.mapTo(content, QPoint(0, 0)), target.size());
    const QRect shown(-content->pos(), area.viewport()->size());
    if (!shown.contains(placed)) {
        area.ensureWidgetVisible(&target);
        return;
    }
    const QRect ringed =
        placed.adjusted(-focus::ringRoom, -focus::ringRoom, focus::ringRoom, focus::ringRoom);
    if (!shown.contains(ringed)) {
        const QPoint middle = ringed.center();
        area.ensureVisible(middle.x(), middle.y(), ringed.right() - middle.x() + 1,
                           ringed.bottom() - middle.y() + 1);
    }
}

// Scrolls every scroll area around `target`, up to its window, to it and its ring.
void revealEverywhere(QWidget& target) {
    for (QWidget* step = target.parentWidget(); step != nullptr && !step->isWindow();
         step = step->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(step)) {
            reveal(*area, target);
        }
    }
}

struct Placed {
    QWidget* widget;
    int column;
    QRect frame;  // in its parent, as if nothing were scrolled
};

bool isScrolledContent(const QWidget& widget) {
    const QWidget* viewport = widget.parentWidget();
    const auto* area = viewport != nullptr
                           ? qobject_cast<const QAbstractScrollArea*>(viewport->parentWidget())
                           : nullptr;
    return area != nullptr && area->viewport() == viewport;
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
        if (columns[index] != nullptr &&
            (columns[index] == &widget || columns[index]->isAncestorOf(&widget))) {
            return static_cast<int>(index);
        }
    }
    return static_cast<int>(columns.size());
}

// Orders `items` as read: column by column, then lines from the top (a widget whose middle lies
// within the first widget of a line belongs to its line, as the second card of a grid row or a
// star beside its row's switch), left to right within a line.
void sortByLines(std::vector<Placed>& items) {
    std::stable_sort(items.begin(), items.end(), [](const Placed& a, const Placed& b) {
        if (a.column != b.column) {
            return a.column < b.column;
        }
        if (a.frame.top() != b.frame.top()) {
            return a.frame.top() < b.frame.top();
        }
        return a.frame.left() < b.frame.left();
    });
    auto lineStart = items.begin();
    while (lineStart != items.end()) {
        auto lineEnd = std::next(lineStart);
        while (lineEnd != items.end() && lineEnd->column == lineStart->column &&
               lineEnd->frame.center().y() <= lineStart->frame.bottom()) {
            ++lineEnd;
        }
        std::stable_sort(lineStart, lineEnd, [](const Placed& a, const Placed& b) {
            return a.frame.left() < b.frame.left();
        });
        lineStart = lineEnd;
    }
}

}  // namespace

namespace {

// The chain, with `leaving` (a control going out of sight) kept in it where it stood.
std::vector<QWidget*> chainWith(const QWidget& root, const std::vector<const QWidget*>& columns,
                                const QWidget* leaving) {
    std::set<const QWidget*> takers;
    // The widgets with a control somewhere inside them.
    std::set<const QWidget*> holders;
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        if (widget == leaving || takesTab(*widget, root)) {
            takers.insert(widget);
            for (const QWidget* up = widget->parentWidget(); up != nullptr && up != &root;
                 up = up->parentWidget()) {
                if (!holders.insert(up).second) {
                    break;
                }
            }
        }
    }
    // The order follows the layout: the parts of each widget are read as lines of the blocks
    // they are, and each block whole before the next (the star and the pill of the card on the
    // left before the card on the right, a card's own controls right after it).
    std::vector<QWidget*> ordered;
    ordered.reserve(takers.size());
    const auto read = [&](const auto& self, const QWidget& container) -> void {
        std::vector<Placed> parts;
        for (QObject* child : container.children()) {
            auto* part = qobject_cast<QWidget*>(child);
            if (part == nullptr || (!takers.contains(part) && !holders.contains(part))) {
                continue;
            }
            const QRect frame =
                isScrolledContent(*part) ? QRect(QPoint(), part->size()) : part->geometry();
            parts.push_back({part, columnOf(*part, columns), frame});
        }
        sortByLines(parts);
        for (const Placed& part : parts) {
            if (takers.contains(part.widget)) {
                ordered.push_back(part.widget);
            }
            if (holders.contains(part.widget)) {
                self(self, *part.widget);
            }
        }
    };
    read(read, root);
    return ordered;
}

}  // namespace

std::vector<QWidget*> chain(const QWidget& root, const std::vector<const QWidget*>& columns) {
    return chainWith(root, columns, nullptr);
}

bool moveFocus(QWidget& root, bool next, const std::vector<const QWidget*>& columns) {
    QWidget* focused = QApplication::focusWidget();
    // Qt asks for the next control when the focused one is hidden (its row removed, its page
    // switched): the one that took its place, not the first of the window.
    const bool leaving =
        focused != nullptr && root.isAncestorOf(focused) && !focused->isVisibleTo(&root);
    std::vector<QWidget*> order = chainWith(root, columns, leaving ? focused : nullptr);
    const auto at = std::find(order.begin(), order.end(), focused);
    std::size_t index = 0;
    if (leaving && at != order.end()) {
        const auto current = static_cast<std::size_t>(at - order.begin());
        order.erase(at);
        if (order.empty()) {
            return false;
        }
        // The last control gone, the one before it rather than the first of all.
        index = current < order.size() ? current : order.size() - 1;
    } else if (order.empty()) {
        return false;
    } else if (at == order.end()) {
        index = next ? 0 : order.size() - 1;
    } else {
        const auto current = static_cast<std::size_t>(at - order.begin());
        index = next ? (current + 1) % order.size() : (current + order.size() - 1) % order.size();
    }
    QWidget* target = order[index];
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    revealEverywhere(*target);
    return true;
}

std::optional<std::size_t> placeOf(const QWidget& root, const QWidget* control) {
    if (control == nullptr || !root.isAncestorOf(control)) {
        return std::nullopt;
    }
    const std::vector<QWidget*> order = chain(root);
    const auto at = std::find(order.begin(), order.end(), control);
    if (at == order.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(at - order.begin());
}

bool focusAt(QWidget& root, std::size_t place) {
    const std::vector<QWidget*> order = chain(root);
    if (order.empty()) {
        return false;
    }
    QWidget* target = order[std::min(place, order.size() - 1)];
    target->setFocus(Qt::OtherFocusReason);
    revealEverywhere(*target);
    return true;
}

}  // namespace velmora::readingOrder
