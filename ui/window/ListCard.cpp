// Rows of a list card wrapped with their insets and the divider below every row but the last, and
// the measures of rows left for later.
#include "ui/window/ListCard.hpp"

#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>
#include <QWidgetItem>
#include <algorithm>
#include <array>

#include "ui/look/Theme.hpp"
#include "ui/sync/KeyedList.hpp"
#include "ui/widgets/Hairline.hpp"

namespace velmora {

namespace {

// The divider is a point high: a hairline.
constexpr int kDividerHeight = 1;

// The row with its side insets and, unless it is the last, the divider under it, which the entry
// paints: a widget for each line cost a list of hundreds of rows half a kilobyte of widget data
// per line, and two layouts.
class Entry : public QWidget {
  public:
    // The row is made in the entry, and the entry in `parent`, never without one: a widget made
    // without a parent is a window until a layout adopts it, and keeps a window's extra data.
    Entry(QWidget& parent, const ListCard::MakeIn& makeRow, bool divided, int dividerInset)
        : QWidget(&parent), row_(makeRow(*this)), dividerInset_(dividerInset) {
        column_ = new QVBoxLayout(this);
        column_->setSpacing(0);
        column_->addWidget(row_);
        setDivided(divided);
    }

    QWidget* row() const { return row_; }
    // A kept row that became the last, or stopped being it.
    void setDivided(bool divided) {
        divided_ = divided;
        column_->setContentsMargins(ListCard::rowInset, 0, ListCard::rowInset,
                                    divided ? kDividerHeight : 0);
        update();
    }
    bool isDivided() const { return divided_; }
    // Where the divider is, from under the row content to the entry's edge, below the row.
    QRect divider() const {
        return {dividerInset_, height() - kDividerHeight, width() - dividerInset_, kDividerHeight};
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        if (divided_) {
            QPainter painter(this);
            paintHairline(painter, divider(), Theme::hairline());
        }
    }

  private:
    QWidget* row_;
    int dividerInset_;
    QVBoxLayout* column_;
    bool divided_ = false;
};

// A row left for later, measured as its entry will be laid out: the stand-in's entry with this
// row's texts, asked through the same kind of layout item the list will hold the entry in. The
// stand-in is divided; the last row's entry is as much shorter as the divider is tall.
class LaterEntry : public LaterRow {
  public:
    LaterEntry(QWidget& list, QWidget& aside, ListCard::MakeIn make,
               std::function<void(QWidget&)> update, ListCard::Measure& measure,
               std::function<void()> relabel, int dividerInset)
        : list_(list),
          aside_(aside),
          make_(std::move(make)),
          update_(std::move(update)),
          measure_(measure),
          relabel_(std::move(relabel)),
          dividerInset_(dividerInset) {}

    ~LaterEntry() override { delete ready_; }
    LaterEntry(const LaterEntry&) = delete;
    LaterEntry& operator=(const LaterEntry&) = delete;

    void prepare() override { ready_ = new Entry(aside_, make_, true, dividerInset_); }
    QWidget* make(bool last) override {
        if (ready_ == nullptr) {
            return new Entry(list_, make_, !last, dividerInset_);
        }
        // Made some syncs ago.
        Entry* ready = ready_;
        ready_ = nullptr;
        update_(*ready->row());
        ready->setDivided(!last);
        return ready;
    }

    int heightForWidth(int width, bool last) override {
        // The layouts ask at a few widths in turn (the page with and without its scroll bar).
        auto known = std::find_if(heights_.begin(), heights_.end(),
                                  [width](const Height& height) { return height.width == width; });
        if (known == heights_.end()) {
            known = heights_.begin() + static_cast<std::ptrdiff_t>(nextHeight_);
            *known = {width, QWidgetItem(&labelled()).heightForWidth(width)};
            nextHeight_ = (nextHeight_ + 1) % heights_.size();
        }
        return known->height - lastCut(last);
    }
    QSize sizeHint(bool last) override {
        measureSizes();
        return hint_ - QSize(0, lastCut(last));
    }
    QSize minimumSize(bool last) override {
        measureSizes();
        return minimum_ - QSize(0, lastCut(last));
    }
    QSize maximumSize(bool /*last*/) override {
        measureSizes();
        return maximum_;
    }
    Qt::Orientations expandingDirections() override {
        measureSizes();
        return expanding_;
    }

  private:
    static constexpr std::size_t kWidthsKept = 4;
    struct Height {
        int width = -1;
        int height = 0;
    };

    Entry& labelled() {
        if (measure_.labelledFor != this) {
            relabel_();
            measure_.labelledFor = this;
        }
        return *static_cast<Entry*>(measure_.entry);
    }
    static int lastCut(bool last) { return last ? kDividerHeight : 0; }
    void measureSizes() {
        if (measured_) {
            return;
        }
        const QWidgetItem item(&labelled());
        hint_ = item.sizeHint();
        minimum_ = item.minimumSize();
        maximum_ = item.maximumSize();
        expanding_ = item.expandingDirections();
        measured_ = true;
    }

    QWidget& list_;
    QWidget& aside_;
    ListCard::MakeIn make_;
    std::function<void(QWidget&)> update_;
    ListCard::Measure& measure_;
    std::function<void()> relabel_;
    int dividerInset_;
    // Prepared: never shown, aside until it is put in the list. The card deletes what is aside
    // before its list, with its stand-ins, goes: by then this is null.
    QPointer<Entry> ready_;
    std::array<Height, kWidthsKept> heights_{};
    std::size_t nextHeight_ = 0;
    bool measured_ = false;
    QSize hint_;
    QSize minimum_;
    QSize maximum_;
    Qt::Orientations expanding_;
};

}  // namespace

ListCard::ListCard(ModelSync& sync, QWidget* parent) : ListCard(sync, Insets{}, parent) {}

ListCard::ListCard(ModelSync& sync, Insets insets, QWidget* parent)
    : Card(listRadius, parent), insets_(insets) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, insets_.vertical, 0, insets_.vertical);
    column->setSpacing(0);
    list_ = new KeyedList(sync);
    column->addWidget(list_);
}

QWidget* ListCard::entry(std::size_t index, std::size_t count, const Make& make) {
    return new Entry(
        *list_, [&](QWidget& parent) { return make(index, parent); }, index + 1 < count,
        insets_.divider);
}

bool ListCard::show(const std::vector<std::string>& keys, const Make& make) {
    return list_->show(keys, [&](std::size_t index) { return entry(index, keys.size(), make); });
}

bool ListCard::showKeeping(const std::vector<std::string>& keys, const Make& make) {
    const bool changed = list_->showKeeping(
        keys, [&](std::size_t index) { return entry(index, keys.size(), make); });
    if (changed) {
        placeDividers();
    }
    return changed;
}

bool ListCard::showKeeping(const std::vector<std::string>& keys, const Make& make,
                           const KeyedList::Later& later, RowBuilder& builder) {
    const bool changed = list_->showKeeping(
        keys, [&](std::size_t index) { return entry(index, keys.size(), make); }, &later);
    if (changed) {
        placeDividers();
    }
    if (list_->laterCount() > 0) {
        builder.add(*list_);
    }
    return changed;
}

QWidget& ListCard::aside() {
    if (measuring_ == nullptr) {
        measuring_ = std::make_unique<QWidget>();
        measuring_->setAttribute(Qt::WA_DontShowOnScreen);
    }
    return *measuring_;
}

ListCard::Measure& ListCard::measureOn(const MakeIn& makeStandIn) {
    // A child of a widget never shown: laid out like any entry, never on the display.
    auto* entry = new Entry(aside(), makeStandIn, true, insets_.divider);
    measures_.push_back(Measure{entry});
    return measures_.back();
}

std::unique_ptr<LaterRow> ListCard::later(MakeIn make, std::function<void(QWidget&)> update,
                                          Measure& measure, std::function<void()> relabel) {
    return std::make_unique<LaterEntry>(*list_, aside(), std::move(make), std::move(update),
                                        measure, std::move(relabel), insets_.divider);
}

void ListCard::placeDividers() {
    const std::vector<QWidget*>& entries = list_->rows();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] != nullptr) {
            static_cast<Entry*>(entries[i])->setDivided(i + 1 < entries.size());
        }
    }
}

std::vector<QWidget*> ListCard::rows() const {
    std::vector<QWidget*> rows;
    for (QWidget* entry : list_->rows()) {
        if (entry != nullptr) {
            rows.push_back(static_cast<Entry*>(entry)->row());
        }
    }
    return rows;
}

std::size_t ListCard::laterCount() const {
    return list_->laterCount();
}

const std::vector<std::string>& ListCard::keys() const {
    return list_->keys();
}

int ListCard::dividerCount() const {
    return static_cast<int>(dividers().size());
}

std::vector<QRect> ListCard::dividers() const {
    std::vector<QRect> lines;
    for (QWidget* widget : list_->rows()) {
        const auto* entry = static_cast<const Entry*>(widget);
        if (entry != nullptr && entry->isDivided() && entry->isVisibleTo(this)) {
            const QRect line = entry->divider();
            lines.emplace_back(entry->mapTo(this, line.topLeft()), line.size());
        }
    }
    return lines;
}

}  // namespace velmora
