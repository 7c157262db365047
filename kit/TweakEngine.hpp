// Switches tweaks on and off as all-or-nothing changes of their keys, and undoes those changes.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "kit/ChangeRecord.hpp"
#include "kit/DefaultsBackend.hpp"
#include "kit/HistoryStore.hpp"
#include "kit/Tweak.hpp"

namespace velmora {

class TweakEngine {
  public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    using IdSource = std::function<Uuid()>;

    static const Clock& systemClock();
    static const IdSource& randomIds();

    TweakEngine(std::shared_ptr<DefaultsBackend> backend,
                std::shared_ptr<ServiceController> services, std::shared_ptr<HistoryStore> history,
                Clock now = systemClock(), IdSource makeID = randomIds());
    TweakEngine(const TweakEngine&) = delete;
    TweakEngine& operator=(const TweakEngine&) = delete;

    const std::shared_ptr<DefaultsBackend> backend;
    const std::shared_ptr<ServiceController> services;
    const std::shared_ptr<HistoryStore> history;
    const Clock now;
    const IdSource makeID;

    // Writes every key of the tweak (or puts back what it held when a step fails), records the
    // change, then restarts its processes; a failed restart is thrown and the record stays.
    ChangeRecord setEnabled(bool enabled, const Tweak& tweak);
    // Restores what the record's keys held before it, drops it from the history, restarts its
    // processes. Works also for a record no longer in the history.
    void undo(const ChangeRecord& record);
    // True when every key holds exactly its enabled value (same kind, equal payload).
    bool isEnabled(const Tweak& tweak);
    std::optional<TweakValue> currentValue(const Tweak& tweak);
    // The key's value; a read error counts as no value.
    std::optional<TweakValue> rawValue(const DefaultsKey& key);
    // Writes one key outside the history, then restarts `restart` if given.
    void setRawValue(const TweakValue& value, const DefaultsKey& key,
                     const std::optional<std::string>& restart);
    void undoLast();
    // Undoes the whole history newest first; every restart is tried, and the ones that failed are
    // thrown together as `VelmoraError::restartsFailed`.
    void revertAll();

  private:
    void restore(const KeyChange& change);
    void restoreFirstChanges(const ChangeRecord& record);
};

}  // namespace velmora
