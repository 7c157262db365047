// A white card holding a list of setting rows, one per element, with a hairline between rows
// that starts under the row content and runs to the card's edge. Rows are keyed by the element's
// id: shown again with the same ids, the rows stay; with other ids they are rebuilt, or, for the
// catalog's rows, kept where their id stays. The catalog's rows do not follow the model
// themselves: each show() hands them the sync's cache, so the rows of a page that is not on
// screen are left alone until the page is synced again as it comes back. An empty list is an
// empty card of its top and bottom insets. A card whose rows pad themselves more gives its own
// insets. A list that can grow to hundreds of rows (Browse at a large catalog) makes its rows
// past the first screenful later (makeRowsLater), measuring each on a stand-in row meanwhile.
//
//     auto* tweaks = new TweakListCard(window.model);
//     layout->addWidget(tweaks);
//     tweaks->show(view.derived.enabledStandaloneTweaks);     // at every sync
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "kit/PowerTweak.hpp"
#include "kit/SliderTweak.hpp"
#include "kit/Tweak.hpp"
#include "ui/components/PowerToggleRow.hpp"
#include "ui/components/SliderRow.hpp"
#include "ui/components/TweakRow.hpp"
#include "ui/sync/KeyedList.hpp"
#include "ui/sync/ModelSync.hpp"
#include "ui/sync/RowBuilder.hpp"
#include "ui/widgets/Card.hpp"

namespace velmora {

class ListCard : public Card {
    Q_OBJECT

  public:
    static constexpr int rowInset = 14;
    static constexpr int verticalInset = 3;

    // The space above the first row and below the last, and where each divider starts.
    struct Insets {
        int vertical = verticalInset;
        int divider = rowInset;
    };

    // A row of one shape (a stand-in, never shown) in its entry, re-labelled with the texts of
    // each row left for later that is measured on it.
    struct Measure {
        QWidget* entry;
        const void* labelledFor = nullptr;
    };

    // Makes the row of keys[index] in `parent`.
    using Make = std::function<QWidget*(std::size_t index, QWidget& parent)>;
    using MakeIn = std::function<QWidget*(QWidget& parent)>;

    explicit ListCard(ModelSync& sync, QWidget* parent = nullptr);
    ListCard(ModelSync& sync, Insets insets, QWidget* parent = nullptr);

    // One row per key, `make` building the row of keys[index]; returns whether they were rebuilt.
    bool show(const std::vector<std::string>& keys, const Make& make);
    // The same for rows that follow the sync themselves and depend only on their key: rows whose
    // key stays are kept in their new places. Returns whether anything changed.
    bool showKeeping(const std::vector<std::string>& keys, const Make& make);

    // The rows as made (none of those left for later), without their insets and dividers.
    std::vector<QWidget*> rows() const;
    // How many rows are left for later.
    std::size_t laterCount() const;
    // The keys of the rows shown.
    const std::vector<std::string>& keys() const;
    int dividerCount() const;
    // Where the dividers shown are painted, in the card, top to bottom.
    std::vector<QRect> dividers() const;

  protected:
    // The measure around the stand-in `makeStandIn` makes, which the card keeps.
    Measure& measureOn(const MakeIn& makeStandIn);
    // A row left for later: `make` makes it, `update` brings one made ahead up to date as it is
    // put in the list; until then it is measured on `measure` once `relabel` has given the
    // stand-in its texts.
    std::unique_ptr<LaterRow> later(MakeIn make, std::function<void(QWidget&)> update,
                                    Measure& measure, std::function<void()> relabel);
    // showKeeping() with the rows past what `builder` lets the card make at once left for it.
    bool showKeeping(const std::vector<std::string>& keys, const Make& make,
                     const KeyedList::Later& later, RowBuilder& builder);

  private:
    // The entry of keys[index] of `count`, made in the list.
    QWidget* entry(std::size_t index, std::size_t count, const Make& make);
    // Never shown: where stand-ins and rows made ahead wait.
    QWidget& aside();
    // Each row's divider under it, but not under the last.
    void placeDividers();

    Insets insets_;
    KeyedList* list_;
    // Never shown: the parent of the measures' entries and of rows made ahead, which would be
    // windows without one.
    std::unique_ptr<QWidget> measuring_;
    std::deque<Measure> measures_;
};

// A row measured, while it is left for later, on a stand-in of its shape given its texts.
template <class Row, class Item>
concept MeasuredByRelabelling = requires(Row& row, const Item& item) {
    row.relabel(item);
    Row::shapeOf(item);
};

// A row that shows the model's state (a switch, a star) rather than only its own.
template <class Row>
concept FollowsSync = requires(Row& row, const SyncCache& now) {
    row.follow(now);
};

// A list card of one kind of catalog row.
template <class Item, class Row>
class RowListCard : public ListCard {
  public:
    explicit RowListCard(AppModel& model, QWidget* parent = nullptr)
        : ListCard(ModelSync::of(model), parent), model_(model), sync_(ModelSync::of(model)) {}

    // Shows one row per item and hands every row the cache of the sync running (the last
    // one outside a sync). Returns whether the rows changed.
    bool show(const std::vector<Item>& items) { return showItems(items); }
    // A search's hits, which point into the catalog (a template, so that `show({})` still means
    // the items).
    template <class Hit, std::enable_if_t<std::is_same_v<Hit, const Item*>, int> = 0>
    bool show(const std::vector<Hit>& hits) {
        return showItems(hits);
    }

    // Rows past the first screenful are left for `builder` to make later (for lists that can be
    // hundreds long).
    void makeRowsLater(RowBuilder& builder) { builder_ = &builder; }

    // Shows `items`, or hides the card when there are none.
    void showOrHide(const std::vector<Item>& items) { showOrHideItems(items); }
    template <class Hit, std::enable_if_t<std::is_same_v<Hit, const Item*>, int> = 0>
    void showOrHide(const std::vector<Hit>& hits) {
        showOrHideItems(hits);
    }

  private:
    static const Item& itemOf(const Item& item) { return item; }
    static const Item& itemOf(const Item* item) { return *item; }

    template <class Element>
    bool showItems(const std::vector<Element>& items) {
        std::vector<std::string> ids;
        ids.reserve(items.size());
        for (const Element& item : items) {
            ids.push_back(itemOf(item).id);
        }
        // Catalog rows depend on nothing but their item: a row whose id stays is kept.
        const auto make = [&](std::size_t i, QWidget& parent) {
            return new Row(model_, itemOf(items[i]), &parent);
        };
        bool changed = false;
        if constexpr (MeasuredByRelabelling<Row, Item>) {
            if (builder_ != nullptr) {
                const KeyedList::Later later{builder_->takeNow(ids.size()), [&](std::size_t i) {
                                                 return laterRow(itemOf(items[i]));
                                             }};
                changed = ListCard::showKeeping(ids, make, later, *builder_);
            } else {
                changed = ListCard::showKeeping(ids, make);
            }
        } else {
            changed = ListCard::showKeeping(ids, make);
        }
        if constexpr (FollowsSync<Row>) {
            const SyncCache& now = sync_.cache();
            for (QWidget* row : rows()) {
                static_cast<Row*>(row)->follow(now);
            }
        }
        return changed;
    }

    template <class Element>
    void showOrHideItems(const std::vector<Element>& items) {
        setVisible(!items.empty());
        if (!items.empty()) {
            showItems(items);
        }
    }

    std::unique_ptr<LaterRow> laterRow(const Item& item) {
        auto kept = std::make_shared<const Item>(item);
        const int shape = Row::shapeOf(item);
        auto found = standIns_.find(shape);
        if (found == standIns_.end()) {
            Row* standIn = nullptr;
            Measure& measure = measureOn([&](QWidget& parent) {
                standIn = new Row(model_, item, &parent);
                return standIn;
            });
            found = standIns_.emplace(shape, std::make_pair(standIn, &measure)).first;
        }
        Row* standIn = found->second.first;
        const auto update = [this](QWidget& row) {
            if constexpr (FollowsSync<Row>) {
                static_cast<Row&>(row).follow(sync_.cache());
            }
        };
        return later([this, kept](QWidget& parent) { return new Row(model_, *kept, &parent); },
                     update, *found->second.second, [standIn, kept] { standIn->relabel(*kept); });
    }

    AppModel& model_;
    ModelSync& sync_;
    RowBuilder* builder_ = nullptr;
    // By shape, the stand-in rows that rows left for later are measured on.
    std::map<int, std::pair<Row*, Measure*>> standIns_;
};

using TweakListCard = RowListCard<Tweak, TweakRow>;
using PowerListCard = RowListCard<PowerTweak, PowerToggleRow>;
using SliderListCard = RowListCard<SliderTweak, SliderRow>;

}  // namespace velmora
