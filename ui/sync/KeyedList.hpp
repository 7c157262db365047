// A vertical run of rows keyed by id. Shown again with the same ids, the rows stay as they are
// (their owner updates switch states, stars and texts in place, so a hover, an open menu or a
// tool tip survives the automation monitor's tick); with other ids the old rows go (hidden at
// once, deleted later) and new ones are made. While the user holds a control in the list's
// window (InteractionHold) the rebuild waits and runs at the sync that follows the release. Rows
// that depend on nothing but their key can be kept across a change of keys too (showKeeping): a
// search narrowed by a keystroke then only loses rows. A long list can leave rows for later
// (LaterRow): each stands in the layout at the size its row will have, so the list is as tall
// as it will be, until something (a RowBuilder) makes it.
//
//     auto* list = new KeyedList(sync, parent);
//     list->show(ids, [&](std::size_t i) { return new TweakRow(model, tweaks[i]); });
#pragma once

#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class ModelSync;

// A row left to be made later, and the size it will have, worked out without making it. `last`:
// no row follows it in the list. It may be made ahead, out of the list (prepare), and put in the
// list later with others at once.
class LaterRow {
  public:
    LaterRow() = default;
    virtual ~LaterRow() = default;
    LaterRow(const LaterRow&) = delete;
    LaterRow& operator=(const LaterRow&) = delete;

    // Makes the row out of the list, without showing it.
    virtual void prepare() = 0;
    // The row, prepared or made now, showing the current state.
    virtual QWidget* make(bool last) = 0;
    virtual int heightForWidth(int width, bool last) = 0;
    virtual QSize sizeHint(bool last) = 0;
    virtual QSize minimumSize(bool last) = 0;
    virtual QSize maximumSize(bool last) = 0;
    virtual Qt::Orientations expandingDirections() = 0;
};

class KeyedList : public QWidget {
    Q_OBJECT

  public:
    using Make = std::function<QWidget*(std::size_t index)>;
    // Which rows wait: those from `makeNow` on that are not made yet, each standing in as `later`
    // gives it.
    struct Later {
        std::size_t makeNow;
        std::function<std::unique_ptr<LaterRow>(std::size_t index)> later;
    };

    explicit KeyedList(ModelSync& sync, QWidget* parent = nullptr);

    // Shows one row per key; `make` builds the row of keys[index] when a rebuild is due. Returns
    // whether the rows were rebuilt.
    bool show(const std::vector<std::string>& keys, const Make& make);
    // Like show(), but the rows of keys that stay are kept and moved into their new places; only
    // new keys get rows made, and rows of keys gone are deleted. Returns whether anything changed.
    // With `later`, rows past its first ones are left for later.
    bool showKeeping(const std::vector<std::string>& keys, const Make& make,
                     const Later* later = nullptr);

    const std::vector<std::string>& keys() const { return keys_; }
    // One per key; null for a row left for later.
    const std::vector<QWidget*>& rows() const { return rows_; }
    // How many rows wait to be made.
    std::size_t laterCount() const;
    // Makes up to `count` of the waiting rows, top to bottom; returns how many it made.
    std::size_t makeLater(std::size_t count);
    // Prepares up to `count` of the waiting rows not prepared yet, top to bottom, without putting
    // them in the list.
    void prepareLater(std::size_t count);
    // How many waiting rows are not prepared.
    std::size_t unpreparedCount() const;
    // Makes the waiting rows that stand within `area` (in the list's coordinates).
    void makeLaterWithin(const QRect& area);
    // The rows' layout, for margins and spacing.
    QVBoxLayout& rowLayout() const { return *layout_; }

  private:
    // Whether the rows may change now; asks for another sync while the user holds a control.
    bool mayChange(const std::vector<std::string>& keys);
    // Runs `change` with the list out of sight when it is on screen, so that rows added come on
    // screen together instead of each laying out the whole window again.
    void outOfSight(const std::function<void()>& change);
    // Puts the row waiting at `index` in place of its stand-in.
    void makeAt(std::size_t index);
    // Makes up to `count` of the waiting rows that are `wanted`, top to bottom.
    void makeAll(const std::function<bool(std::size_t index)>& wanted, std::size_t count);

    ModelSync& sync_;
    QVBoxLayout* layout_;
    std::vector<std::string> keys_;
    std::vector<QWidget*> rows_;
    bool shown_ = false;
};

}  // namespace velmora
