// Rows of a list card wrapped with their insets and the divider below every row but the last.
#include "ui/window/ListCard.hpp"

#include <QVBoxLayout>
#include <algorithm>

#include "ui/sync/KeyedList.hpp"
#include "ui/widgets/Hairline.hpp"

namespace velmora {

namespace {

constexpr const char* kDividerName = "listCard.divider";

// The row with its side insets and, unless it is the last, the divider under it. The divider is
// made inside the entry: a widget shown before it has a parent becomes a window of its own on the
// display, made and destroyed again as soon as a layout adopts it.
class Entry : public QWidget {
  public:
    Entry(QWidget* row, bool divided, int dividerInset) : row_(row), divider_(new Hairline(this)) {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        auto* inset = new QVBoxLayout;
        inset->setContentsMargins(ListCard::rowInset, 0, ListCard::rowInset, 0);
        inset->addWidget(row);
        column->addLayout(inset);
        auto* line = new QVBoxLayout;
        line->setContentsMargins(dividerInset, 0, 0, 0);
        divider_->setObjectName(QString::fromLatin1(kDividerName));
        divider_->setVisible(divided);
        line->addWidget(divider_);
        column->addLayout(line);
    }

    QWidget* row() const { return row_; }
    // A kept row that became the last, or stopped being it.
    void setDivided(bool divided) { divider_->setVisible(divided); }

  private:
    QWidget* row_;
    QWidget* divider_;
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

bool ListCard::show(const std::vector<std::string>& keys,
                    const std::function<QWidget*(std::size_t index)>& make) {
    return list_->show(keys, [&](std::size_t index) {
        return new Entry(make(index), index + 1 < keys.size(), insets_.divider);
    });
}

bool ListCard::showKeeping(const std::vector<std::string>& keys,
                           const std::function<QWidget*(std::size_t index)>& make) {
    const bool changed = list_->showKeeping(keys, [&](std::size_t index) {
        return new Entry(make(index), index + 1 < keys.size(), insets_.divider);
    });
    if (changed) {
        placeDividers();
    }
    return changed;
}

void ListCard::placeDividers() {
    const std::vector<QWidget*>& entries = list_->rows();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        static_cast<Entry*>(entries[i])->setDivided(i + 1 < entries.size());
    }
}

std::vector<QWidget*> ListCard::rows() const {
    std::vector<QWidget*> rows;
    for (QWidget* entry : list_->rows()) {
        rows.push_back(static_cast<Entry*>(entry)->row());
    }
    return rows;
}

const std::vector<std::string>& ListCard::keys() const {
    return list_->keys();
}

int ListCard::dividerCount() const {
    // Rows of an earlier list wait hidden for their deletion.
    const auto dividers = findChildren<QWidget*>(QString::fromLatin1(kDividerName));
    return static_cast<int>(std::count_if(dividers.begin(), dividers.end(), [this](QWidget* line) {
        return line->isVisibleTo(this);
    }));
}

}  // namespace velmora
