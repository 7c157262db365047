// A vertical run of rows keyed by id. Shown again with the same ids, the rows stay as they are
// (their owner updates switch states, stars and texts in place, so a hover, an open menu or a
// tool tip survives the automation monitor's tick); with other ids the old rows go (hidden at
// once, deleted later) and new ones are made. While the user holds a control in the list's
// window (InteractionHold) the rebuild waits and runs at the sync that follows the release. Rows
// that depend on nothing but their key can be kept across a change of keys too (showKeeping): a
// search narrowed by a keystroke then only loses rows.
//
//     auto* list = new KeyedList(sync, parent);
//     list->show(ids, [&](std::size_t i) { return new TweakRow(model, tweaks[i]); });
#pragma once

#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

class ModelSync;

class KeyedList : public QWidget {
    Q_OBJECT

  public:
    using Make = std::function<QWidget*(std::size_t index)>;

    explicit KeyedList(ModelSync& sync, QWidget* parent = nullptr);

    // Shows one row per key; `make` builds the row of keys[index] when a rebuild is due. Returns
    // whether the rows were rebuilt.
    bool show(const std::vector<std::string>& keys, const Make& make);
    // Like show(), but the rows of keys that stay are kept and moved into their new places; only
    // new keys get rows made, and rows of keys gone are deleted. Returns whether anything changed.
    bool showKeeping(const std::vector<std::string>& keys, const Make& make);

    const std::vector<std::string>& keys() const { return keys_; }
    const std::vector<QWidget*>& rows() const { return rows_; }
    // The rows' layout, for margins and spacing.
    QVBoxLayout& rowLayout() const { return *layout_; }

  private:
    // Whether the rows may change now; asks for another sync while the user holds a control.
    bool mayChange(const std::vector<std::string>& keys);
    // Runs `change` with the list out of sight when it is on screen, so that rows added come on
    // screen together instead of each laying out the whole window again.
    void outOfSight(const std::function<void()>& change);

    ModelSync& sync_;
    QVBoxLayout* layout_;
    std::vector<std::string> keys_;
    std::vector<QWidget*> rows_;
    bool shown_ = false;
};

}  // namespace velmora
