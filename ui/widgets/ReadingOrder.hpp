// Tab in reading order. Qt moves the focus in the order widgets were made, which drifts from what
// the eye reads as soon as a list inserts a row or a page adds a block late. Here the order is
// worked out from where the widgets stand: column by column, then line by line from the top, left
// to right within a line; the controls lying on a control (a card's star and pill) come right
// after it, in their own reading order. Positions are taken as if no scroll area were scrolled, so
// a page's rows below the fold still come after the ones above it.
//
//     bool MainWindow::focusNextPrevChild(bool next) {
//         return readingOrder::moveFocus(*this, next, {sidebar_});
//     }
#pragma once

#include <QWidget>
#include <cstddef>
#include <optional>
#include <vector>

namespace velmora::readingOrder {

// The widgets under `root` that Tab reaches (shown, enabled, taking Tab focus), in reading order.
// Each of `columns` is read whole before what lies outside them, in the order given.
std::vector<QWidget*> chain(const QWidget& root, const std::vector<const QWidget*>& columns = {});

// Gives the focus to the widget after (or before) the focused one in `root`'s chain, wrapping
// around at the ends, and scrolls it into view. False when `root` has nothing to focus. When the
// focused widget is going out of sight under `root`, the focus goes to the control that followed
// it, or to the one before it when it was the last.
bool moveFocus(QWidget& root, bool next, const std::vector<const QWidget*>& columns = {});

// Where `control` stands in `root`'s chain; none when it is not in it.
std::optional<std::size_t> placeOf(const QWidget& root, const QWidget* control);

// Gives the focus to the widget at `place` in `root`'s chain (the last one when the chain is
// shorter) and scrolls it into view, in every scroll area around it. False when `root` has
// nothing to focus.
bool focusAt(QWidget& root, std::size_t place);

}  // namespace velmora::readingOrder
