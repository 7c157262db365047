// Appending and removing change records in order.
#include "kit/HistoryStore.hpp"

#include <algorithm>

namespace velmora {

std::optional<ChangeRecord> HistoryStore::last() const {
    if (records_.empty()) {
        return std::nullopt;
    }
    return records_.back();
}

void HistoryStore::append(ChangeRecord record) {
    records_.push_back(std::move(record));
}

void HistoryStore::remove(const Uuid& id) {
    // `id` may be a field of one of our own records, which erasing moves other records over.
    const Uuid target = id;
    std::erase_if(records_, [&](const ChangeRecord& record) { return record.id == target; });
}

void HistoryStore::clear() {
    records_.clear();
}

}  // namespace velmora
