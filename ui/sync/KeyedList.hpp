// A vertical run of rows keyed by id. Shown again with the same ids, the rows stay as they are
// (each follows the sync itself, so switch states, stars and texts update in place, and a hover,
// an open menu or a tool tip survives the automation monitor's tick); with other ids the old rows
// go (hidden at once, deleted later) and new ones are made. While the user holds a control
// (InteractionHold) the rebuild waits and runs at the sync that follows the release.
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

    const std::vector<std::string>& keys() const { return keys_; }
    const std::vector<QWidget*>& rows() const { return rows_; }
    // The rows' layout, for margins and spacing.
    QVBoxLayout& rowLayout() const { return *layout_; }

  private:
    ModelSync& sync_;
    QVBoxLayout* layout_;
    std::vector<std::string> keys_;
    std::vector<QWidget*> rows_;
    bool shown_ = false;
};

}  // namespace velmora
