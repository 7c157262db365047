// Rows of a list card wrapped with their insets and the divider below every row but the last.
#include "ui/window/ListCard.hpp"

#include <QVBoxLayout>
#include <algorithm>

#include "ui/sync/KeyedList.hpp"
#include "ui/widgets/Hairline.hpp"

namespace velmora {

namespace {

constexpr const char* kDividerName = "listCard.divider";

// The row with its side insets and, unless it is the last, the divider under it.
class Entry : public QWidget {
  public:
    Entry(QWidget* row, bool divided, int dividerInset) : row_(row) {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        auto* inset = new QVBoxLayout;
        inset->setContentsMargins(ListCard::rowInset, 0, ListCard::rowInset, 0);
        inset->addWidget(row);
        column->addLayout(inset);
        if (divided) {
            auto* line = new QVBoxLayout;
            line->setContentsMargins(dividerInset, 0, 0, 0);
            auto* divider = new Hairline;
            divider->setObjectName(QString::fromLatin1(kDividerName));
            line->addWidget(divider);
            column->addLayout(line);
        }
    }

    QWidget* row() const { return row_; }

  private:
    QWidget* row_;
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
