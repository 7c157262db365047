// The change records of the running application, oldest first; kept in memory only.
#pragma once

#include <optional>
#include <vector>

#include "kit/ChangeRecord.hpp"

namespace velmora {

// Shared by reference between the engine and whoever created it; not safe for concurrent use.
class HistoryStore {
  public:
    const std::vector<ChangeRecord>& records() const { return records_; }
    // The newest record.
    std::optional<ChangeRecord> last() const;

    void append(ChangeRecord record);
    // Removes every record with this id; nothing happens when none has it.
    void remove(const Uuid& id);
    void clear();

  private:
    std::vector<ChangeRecord> records_;
};

}  // namespace velmora
