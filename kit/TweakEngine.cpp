// The change engine's algorithms: write with rollback, undo, state reads and reverting everything.
#include "kit/TweakEngine.hpp"

#include <algorithm>
#include <exception>

#include "kit/DefaultsKey.hpp"
#include "kit/VelmoraError.hpp"

namespace velmora {

namespace {

// Two keys that end up in the same stored value, the global domain's two names included.
bool sameStoredKey(const DefaultsKey& a, const DefaultsKey& b) {
    return a.key == b.key &&
           (a.domain == b.domain || (isGlobalDomain(a.domain) && isGlobalDomain(b.domain)));
}

void appendIfMissing(std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(name);
    }
}

}  // namespace

const TweakEngine::Clock& TweakEngine::systemClock() {
    static const Clock clock = [] { return std::chrono::system_clock::now(); };
    return clock;
}

const TweakEngine::IdSource& TweakEngine::randomIds() {
    static const IdSource source = [] { return Uuid::random(); };
    return source;
}

TweakEngine::TweakEngine(std::shared_ptr<DefaultsBackend> backend_,
                         std::shared_ptr<ServiceController> services_,
                         std::shared_ptr<HistoryStore> history_, Clock now_, IdSource makeID_)
    : backend(std::move(backend_)),
      services(std::move(services_)),
      history(std::move(history_)),
      now(std::move(now_)),
      makeID(std::move(makeID_)) {}

void TweakEngine::restore(const KeyChange& change) {
    if (change.previousValue) {
        backend->write(change.key, *change.previousValue);
    } else {
        backend->remove(change.key);
    }
}

// A record that changed one key twice holds the key's original value only in its first change;
// restoring the later ones too would leave the key at a value it held in between.
void TweakEngine::restoreFirstChanges(const ChangeRecord& record) {
    for (auto change = record.changes.begin(); change != record.changes.end(); ++change) {
        const bool seenBefore = std::any_of(
            record.changes.begin(), change,
            [&](const KeyChange& earlier) { return sameStoredKey(earlier.key, change->key); });
        if (!seenBefore) {
            restore(*change);
        }
    }
}

ChangeRecord TweakEngine::setEnabled(bool enabled, const Tweak& tweak) {
    std::vector<KeyChange> changes;
    std::vector<std::string> restartServices;
    try {
        for (const auto& toggle : tweak.toggles) {
            std::optional<TweakValue> previous = backend->read(toggle.key);
            std::optional<TweakValue> next =
                enabled ? std::optional(toggle.enabledValue) : toggle.disabledValue;
            if (next) {
                backend->write(toggle.key, *next);
            } else {
                backend->remove(toggle.key);
            }
            changes.push_back(KeyChange{toggle.key, std::move(previous), std::move(next)});
            if (toggle.restartService) {
                appendIfMissing(restartServices, *toggle.restartService);
            }
        }
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        // Newest first, so a key changed twice ends at what it held before this call.
        for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
            try {
                restore(*change);
            } catch (...) {
                // The original failure is what the caller needs to see; keep putting back the rest.
            }
        }
        std::rethrow_exception(failure);
    }

    ChangeRecord record;
    record.id = makeID();
    record.tweakID = tweak.id;
    record.changes = std::move(changes);
    record.restartServices = std::move(restartServices);
    record.timestamp = now();
    history->append(record);

    for (const auto& service : record.restartServices) {
        services->restart(service);
    }
    return record;
}

void TweakEngine::undo(const ChangeRecord& record) {
    restoreFirstChanges(record);
    // The record may be the history's own element, gone once removed.
    const std::vector<std::string> restartServices = record.restartServices;
    history->remove(record.id);
    for (const auto& service : restartServices) {
        services->restart(service);
    }
}

bool TweakEngine::isEnabled(const Tweak& tweak) {
    for (const auto& toggle : tweak.toggles) {
        const std::optional<TweakValue> value = backend->read(toggle.key);
        if (!value || !(*value == toggle.enabledValue)) {
            return false;
        }
    }
    return true;
}

std::optional<TweakValue> TweakEngine::currentValue(const Tweak& tweak) {
    return backend->read(tweak.toggle().key);
}

std::optional<TweakValue> TweakEngine::rawValue(const DefaultsKey& key) {
    try {
        return backend->read(key);
    } catch (...) {
        return std::nullopt;
    }
}

void TweakEngine::setRawValue(const TweakValue& value, const DefaultsKey& key,
                              const std::optional<std::string>& restart) {
    backend->write(key, value);
    if (restart) {
        services->restart(*restart);
    }
}

void TweakEngine::undoLast() {
    if (const auto last = history->last()) {
        undo(*last);
    }
}

void TweakEngine::revertAll() {
    std::vector<std::string> toRestart;
    const std::vector<ChangeRecord>& records = history->records();
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        restoreFirstChanges(*record);
        for (const auto& service : record->restartServices) {
            appendIfMissing(toRestart, service);
        }
    }
    history->clear();

    std::vector<std::string> failed;
    for (const auto& service : toRestart) {
        try {
            services->restart(service);
        } catch (...) {
            failed.push_back(service);
        }
    }
    if (!failed.empty()) {
        throw VelmoraError::restartsFailed(std::move(failed));
    }
}

}  // namespace velmora
